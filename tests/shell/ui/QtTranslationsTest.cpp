#include "shell/ui/QtTranslations.h"

#include <QMessageBox>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

using vorlix::shell::QtTranslations;

// Qt's own buttons speak the locale's language, Japanese when the locale names none; a language
// Qt has no translation for leaves Qt's English.
TEST(QtTranslationsTest, QtsOwnButtonsSpeakTheLocalesLanguage)
{
    struct Case {
        const char* locale;
        bool installed;
        const char* yes;
    };
    const Case cases[] = {
        { "ja_JP", true, "はい(&Y)" },
        { "C", true, "はい(&Y)" },
        { "en_US", false, "&Yes" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale);
        const QtTranslations translations { QLocale(QString::fromLatin1(c.locale)) };
        EXPECT_EQ(translations.installed(), c.installed);
        QMessageBox box(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("q"),
            QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(box.button(QMessageBox::Yes)->text(), QString::fromUtf8(c.yes));
    }
}

}

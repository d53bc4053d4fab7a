#pragma once

#include <QLocale>
#include <QTranslator>

namespace vorlix::shell {

// Qt's own texts (the buttons of message boxes, the file and print dialogs, the editor's context
// menu) in the language of the locale, from Qt's translations, for as long as the object lives.
// The program's own texts are Japanese whatever the locale, so a locale that names no language
// (C, POSIX) gets Qt's Japanese too.
class QtTranslations {
public:
    explicit QtTranslations(const QLocale& locale = QLocale::system());
    ~QtTranslations();
    QtTranslations(const QtTranslations&) = delete;
    QtTranslations& operator=(const QtTranslations&) = delete;

    // Whether Qt has a translation for the language and it is in use.
    [[nodiscard]] bool installed() const { return m_installed; }

    // The language whose translation is looked for.
    [[nodiscard]] static QLocale languageOf(const QLocale& locale);

private:
    QTranslator m_translator;
    bool m_installed = false;
};

}

#include "shell/ui/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace vorlix::shell {

QLocale QtTranslations::languageOf(const QLocale& locale)
{
    if (locale.language() == QLocale::C || locale.language() == QLocale::AnyLanguage)
        return QLocale(QLocale::Japanese, QLocale::Japan);
    return locale;
}

QtTranslations::QtTranslations(const QLocale& locale)
{
    if (!QCoreApplication::instance())
        return;
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    m_installed = m_translator.load(
                      languageOf(locale), QStringLiteral("qtbase"), QStringLiteral("_"), folder)
        && QCoreApplication::installTranslator(&m_translator);
}

QtTranslations::~QtTranslations()
{
    if (m_installed && QCoreApplication::instance())
        QCoreApplication::removeTranslator(&m_translator);
}

}

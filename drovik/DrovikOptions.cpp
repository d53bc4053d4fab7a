#include "drovik/DrovikOptions.h"

namespace vorlix::drovik {

namespace {

    DrovikOptions usageError(const QString& error)
    {
        DrovikOptions options;
        options.action = DrovikOptions::Action::UsageError;
        options.error = error;
        return options;
    }

    DrovikOptions unattended(const QStringList& arguments)
    {
        if (arguments.size() > 2)
            return usageError(QStringLiteral("too many arguments"));
        DrovikOptions options;
        options.action = DrovikOptions::Action::Unattended;
        if (arguments.size() == 2) {
            options.url = arguments[1].trimmed();
            if (options.url.isEmpty())
                return usageError(QStringLiteral("empty URL"));
            if (options.url.startsWith(QLatin1Char('-')))
                return usageError(QStringLiteral("unknown option ") + options.url);
        }
        return options;
    }

}

DrovikOptions DrovikOptions::parse(const QStringList& arguments)
{
    if (arguments.isEmpty())
        return {};
    const QString& first = arguments.front();
    if (first == u"-y")
        return unattended(arguments);
    if (first == u"--help" || first == u"--version") {
        if (arguments.size() > 1)
            return usageError(QStringLiteral("too many arguments"));
        return DrovikOptions { first == u"--help" ? Action::Help : Action::Version, {}, {} };
    }
    if (first.startsWith(QLatin1Char('-')))
        return usageError(QStringLiteral("unknown option ") + first);
    return usageError(QStringLiteral("a URL needs -y before it"));
}

QString DrovikOptions::helpText()
{
    return QStringLiteral(
        "Usage: drovik [-y [URL]]\n"
        "Downloads the sample sheets listed in the file list2 of a web folder into the\n"
        "standard sheet folder, replacing files of the same name.\n"
        "\n"
        "  (none)     open the window; the web folder is sheet/www of vorlix.ini\n"
        "  -y [URL]   download without a window, answering yes; the transcript goes to\n"
        "             standard error; URL is the web folder for this run only\n"
        "  --help     show this help and end\n"
        "  --version  show the version and end\n"
        "\n"
        "Exit status with -y: 0 when every listed file was saved, 1 when the list could\n"
        "not be fetched or a listed file failed or was refused, 2 for a usage error.\n");
}

}

#pragma once

#include <QString>
#include <QStringList>

namespace vorlix::drovik {

// What the command line asks of the downloader.
struct DrovikOptions {
    enum class Action {
        Window, // no arguments: the window
        Unattended, // -y [URL]: download without a window, answering yes
        Help, // --help
        Version, // --version
        UsageError, // anything else
    };

    Action action = Action::Window;
    // The web folder of -y URL, used instead of sheet/www for this run; empty without one.
    QString url;
    // What was wrong with the command line.
    QString error;

    // Reads the arguments after the program name.
    [[nodiscard]] static DrovikOptions parse(const QStringList& arguments);

    // The text of --help.
    [[nodiscard]] static QString helpText();
};

}

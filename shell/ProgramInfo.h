#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <span>

// What a program of this project tells before anything of it starts (no settings file, no
// application object, no display): its usage, its version, and whether a window could be shown.
// vorlix and drovik share them so that both answer alike.
namespace vorlix::shell {

// One switch of a usage text: the switch as it is typed and what it does.
struct UsageLine {
    const char* switchText;
    const char* meaning;
};

// The usage: the synopsis lines, then every switch on a line of its own, meanings aligned.
[[nodiscard]] QString usageText(const QString& synopsis, std::span<const UsageLine> switches);

// "<program> <version of the build>", then "Qt <version of the Qt library in use>", one per line.
[[nodiscard]] QString versionText(const QString& program);

// Answers "--help" (the usage) and "--version" as the first argument on standard output; the exit
// status when it did, nothing when the arguments ask for something else.
[[nodiscard]] std::optional<int> answerHelpOrVersion(
    const QStringList& arguments, const QString& program, const QString& usage);

// Whether a window can be shown: a display to connect to, or a Qt platform the user chose that
// needs none (an X11 or Wayland platform still needs its display). Without one, Qt would abort
// when the application object starts.
[[nodiscard]] bool hasDisplay();

}

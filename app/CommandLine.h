#pragma once

#include <QString>
#include <QStringList>

// The command-line grammar of vorlix: a mode switch in the first three characters ("-p ", "-v ",
// "-m=", "-e="), value switches, then the input file, which takes the rest of the line.
// Positions are 1-based character positions in the prepared line.
namespace vorlix::app {

// Joins the program's arguments into the one line the grammar reads: arguments holding blanks
// (or empty ones) are quoted, leading blanks removed, and exactly two blanks appended, so that an
// unquoted file name at the end may contain blanks.
[[nodiscard]] QString prepareCommandLine(const QStringList& arguments);

// What "vorlix --help" prints: the synopsis and every switch, one line each.
[[nodiscard]] QString usage();

// Records the line in the settings, sets the run mode and every switch value of the module state
// and logs what it found.
void ParseCommandLine(const QString& line);

// The first switch value of the last parsed line that the switch cannot take ("-n=0", "-c=A9",
// "-o=7", "-s=2"), saying what it expects; empty when every value was usable.
[[nodiscard]] const QString& commandLineProblem();

// The first position at or after `position` that is neither a blank nor a tab.
[[nodiscard]] int SkipBlanks(const QString& line, int position);

// A switch value: quoted up to the next double quote, else up to the next blank.
[[nodiscard]] QString NextArg(const QString& line, int& position);

// The input file: quoted up to the next double quote, else the rest of the line but its last
// character; blanks and tabs around it removed (other white space belongs to the name).
[[nodiscard]] QString RestArg(const QString& line, int& position);

}

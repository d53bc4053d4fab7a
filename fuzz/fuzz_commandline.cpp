// Runs the command-line grammar on arbitrary text, and on argument lists built from the input.
// On any line no value may invent characters (each is a piece of the line) and an unquoted input
// file is the rest of the line; on argument lists joined as the program joins them every switch
// value and the file name come back exactly as given.
#include "app/CommandLine.h"
#include "shell/ModuleState.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using vorlix::shell::CommandLineOptions;
using vorlix::shell::moduleState;
using vorlix::shell::RunModes;

namespace {

void fail(const char* what, const QString& line)
{
    std::fprintf(stderr, "%s: [%s]\n", what, line.toUtf8().constData());
    std::abort();
}

void resetState()
{
    // A mode no line can give, so that a parse that sets none shows.
    moduleState().commandLine = CommandLineOptions {};
    moduleState().commandLine.RunMode = static_cast<RunModes>(-1);
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// Whether the name follows a double quote in the line, blanks and tabs between them aside.
bool quoted(const QString& line, const QString& name)
{
    for (qsizetype at = line.indexOf(u'"'); at >= 0; at = line.indexOf(u'"', at + 1)) {
        qsizetype start = at + 1;
        while (start < line.size() && isBlank(line[start]))
            ++start;
        if (QStringView(line).mid(start).startsWith(name))
            return true;
    }
    return false;
}

void checkAnyLine(const QString& line)
{
    resetState();
    vorlix::app::ParseCommandLine(line);
    const auto& state = moduleState().commandLine;
    if (state.RunMode < RunModes::Window || state.RunMode > RunModes::Export)
        fail("no run mode", line);
    for (const QString* value :
        { &state.InputFile, &state.OutputFile, &state.ArgSheetPath, &state.ArgFaceFile,
            &state.ArgTitle, &state.ArgPrinter, &state.ArgPaper, &state.ArgPages })
        if (!line.contains(*value))
            fail("a value that is not in the line", line);
    // A file name is quoted, or runs to the line's last character, blanks and tabs aside.
    if (!state.InputFile.isEmpty() && !quoted(line, state.InputFile)) {
        qsizetype end = line.size() - 1;
        while (end > 0 && isBlank(line[end - 1]))
            --end;
        if (!line.left(end).endsWith(state.InputFile))
            fail("the input file is not the rest of the line", line);
    }
}

// A switch's name and where its value lands.
struct SwitchField {
    const char16_t* name;
    QString CommandLineOptions::*field;
};

constexpr std::array<SwitchField, 6> kTextSwitches { {
    { u"-d=", &CommandLineOptions::ArgSheetPath },
    { u"-f=", &CommandLineOptions::ArgFaceFile },
    { u"-t=", &CommandLineOptions::ArgTitle },
    { u"-r=", &CommandLineOptions::ArgPrinter },
    { u"-c=", &CommandLineOptions::ArgPaper },
    { u"-s=", &CommandLineOptions::ArgPages },
} };

// A value the joined line can carry: no double quote (nothing escapes one), no line break, and
// not empty (a switch with no value takes the next argument, as "-d= Default" does).
bool carriable(const QString& value)
{
    return !value.isEmpty() && !value.contains(u'"') && !value.contains(u'\n')
        && !value.contains(u'\r');
}

// The input is lines: the first picks the mode, the last is the file, the others are values of
// switches chosen by their first character.
void checkArguments(const QString& text)
{
    QStringList lines = text.split(u'\n');
    if (lines.size() < 2)
        return;
    const QString mode = lines.takeFirst();
    const QString file = lines.takeLast();
    // A file name that starts like a switch is read as one; blanks around it are not kept.
    if (file.isEmpty() || !carriable(file) || isBlank(file.front()) || isBlank(file.back())
        || file.front() == u'-' || file.front() == u'/' || file.front() == u'"')
        return;
    QStringList arguments;
    std::array<QString, kTextSwitches.size()> expected;
    const bool output = !mode.isEmpty() && carriable(mode.mid(1));
    if (output)
        arguments << (mode.front().unicode() % 2 ? QStringLiteral("-m=") : QStringLiteral("-e="))
                + mode.mid(1);
    for (const QString& value : lines) {
        if (!carriable(value.mid(1)))
            return;
        const std::size_t which = value.front().unicode() % kTextSwitches.size();
        expected[which] = value.mid(1);
        arguments << QString::fromUtf16(kTextSwitches[which].name) + value.mid(1);
    }
    arguments << file;

    const QString line = vorlix::app::prepareCommandLine(arguments);
    resetState();
    vorlix::app::ParseCommandLine(line);
    const auto& state = moduleState().commandLine;
    if (state.InputFile != file)
        fail("the file name did not come back", line);
    if (output && state.OutputFile != mode.mid(1))
        fail("the output file did not come back", line);
    for (std::size_t i = 0; i < kTextSwitches.size(); ++i)
        if (state.*(kTextSwitches[i].field) != expected[i])
            fail("a switch value did not come back", line);
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text
        = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    checkAnyLine(text);
    checkAnyLine(text + QStringLiteral("  "));
    checkArguments(text);
    return 0;
}

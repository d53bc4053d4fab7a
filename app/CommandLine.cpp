#include "app/CommandLine.h"

#include "shell/Common.h"
#include "shell/Convert.h"
#include "shell/Log.h"
#include "shell/ModuleState.h"
#include "shell/ProgramInfo.h"
#include "shell/RunError.h"
#include "shell/Setting.h"

#include <QRegularExpression>
#include <optional>

namespace vorlix::app {

using shell::CommandLineOptions;
using shell::moduleState;
using shell::RunModes;
using shell::WriteLog;

namespace {

    // The character at a 1-based position, or NUL past either end.
    QChar charAt(const QString& line, int position)
    {
        if (position < 1 || position > line.size())
            return QChar();
        return line[position - 1];
    }

    // Up to three characters at a 1-based position, lower-cased.
    QString threeAt(const QString& line, int position)
    {
        if (position < 1 || position > line.size())
            return {};
        return line.mid(position - 1, 3).toLower();
    }

    // The text without the blanks and tabs around it; other white space belongs to a file name.
    QString trimBlanks(const QString& text)
    {
        qsizetype b = 0;
        qsizetype e = text.size();
        while (b < e && (text[b] == u' ' || text[b] == u'\t'))
            ++b;
        while (e > b && (text[e - 1] == u' ' || text[e - 1] == u'\t'))
            --e;
        return text.mid(b, e - b);
    }

    // 1-based position of `c` at or after `from`, or 0.
    int findFrom(const QString& line, QChar c, int from)
    {
        const qsizetype at = line.indexOf(c, from - 1);
        return at < 0 ? 0 : static_cast<int>(at) + 1;
    }

    // A whole number of a switch: rounded to even; text that is no number, or out of range, counts
    // as not given.
    std::int32_t wholeNumber(const QString& text)
    {
        const auto value = shell::parseNumber(text);
        if (!value)
            return 0;
        try {
            return shell::toInt32(*value);
        } catch (const shell::RunError&) {
            return 0;
        }
    }

    // A value switch: its letter, whether the slash form counts too, and the option it sets (a
    // text, or a whole number).
    struct ValueSwitch {
        char16_t letter;
        bool slashForm;
        QString CommandLineOptions::*text;
        std::int32_t CommandLineOptions::*number;
    };

    constexpr ValueSwitch kValueSwitches[] = {
        { u'd', true, &CommandLineOptions::ArgSheetPath, nullptr },
        { u'f', true, &CommandLineOptions::ArgFaceFile, nullptr },
        { u't', false, &CommandLineOptions::ArgTitle, nullptr },
        { u'r', true, &CommandLineOptions::ArgPrinter, nullptr },
        { u'c', true, &CommandLineOptions::ArgPaper, nullptr },
        { u'n', true, nullptr, &CommandLineOptions::ArgCopies },
        { u'o', true, nullptr, &CommandLineOptions::ArgOrient },
        { u's', true, &CommandLineOptions::ArgPages, nullptr },
    };

    // The value switch three lower-cased characters name ("-d=", "/d=", but "-t=" only).
    const ValueSwitch* switchOf(const QString& three)
    {
        if (three.size() != 3 || (three[0] != u'-' && three[0] != u'/') || three[2] != u'=')
            return nullptr;
        for (const ValueSwitch& entry : kValueSwitches) {
            if (three[1] == entry.letter && (three[0] == u'-' || entry.slashForm))
                return &entry;
        }
        return nullptr;
    }

    QString& firstProblem()
    {
        static QString problem;
        return problem;
    }

    bool knownPaper(const QString& value)
    {
        const QString upper = value.toUpper();
        for (const shell::PaperName& entry : shell::kPaperNames) {
            if (upper == QStringView(entry.name))
                return true;
        }
        bool ok = false;
        const int code = value.toInt(&ok);
        if (!ok)
            return false;
        for (const shell::PaperSize& paper : shell::kPaperSizes) {
            if (paper.code == code)
                return true;
        }
        return code == 256;
    }

    bool wholeNumberIn(const QString& value, int low, int high)
    {
        bool ok = false;
        const int number = value.toInt(&ok);
        return ok && number >= low && number <= high;
    }

    // What a value switch expects, when the value is not of it; nothing for switches that take
    // any text.
    QString expectation(char16_t letter, const QString& value)
    {
        static const QRegularExpression pages(QStringLiteral("^-?\\d+,-?\\d*$"));
        switch (letter) {
        case u'n':
            return wholeNumberIn(value, 1, 9999)
                ? QString()
                : QStringLiteral("the number of copies, a whole number from 1 to 9999");
        case u'o':
            return wholeNumberIn(value, 1, 2) ? QString()
                                              : QStringLiteral("1 (portrait) or 2 (landscape)");
        case u'c':
            return knownPaper(value)
                ? QString()
                : QStringLiteral(
                    "a paper: A3 A4 A4S A5 B4 B5 LETTER 10X14 11X17 15X11 USER, or a paper code");
        case u's':
            return pages.match(value).hasMatch()
                ? QString()
                : QStringLiteral("the first and the last page, as in -s=2,3");
        default:
            return {};
        }
    }

    // Stores and logs a switch's value: "  -d=" and the text, or the number it was read as.
    void storeSwitch(const ValueSwitch& which, const QString& value)
    {
        auto& options = moduleState().commandLine;
        const QString prefix = QStringLiteral("  -") + QChar(which.letter) + u'=';
        if (const QString expected = expectation(which.letter, value);
            !expected.isEmpty() && firstProblem().isEmpty())
            firstProblem() = QStringLiteral("-") + QChar(which.letter) + u'=' + value
                + QStringLiteral(": expected ") + expected;
        if (which.text) {
            options.*which.text = value;
            WriteLog(prefix + value);
        } else {
            options.*which.number = wholeNumber(value);
            WriteLog(prefix + QString::number(options.*which.number));
        }
    }

    // Reads the mode switch of the first three characters; returns the position where switches
    // start.
    int parseMode(const QString& line)
    {
        auto& options = moduleState().commandLine;
        const QString three = threeAt(line, 1);
        const bool slashOrHyphen = three.size() == 3 && (three[0] == u'-' || three[0] == u'/');
        const QChar letter = slashOrHyphen ? three[1] : QChar();
        const QChar third = slashOrHyphen ? three[2] : QChar();
        options.RunMode = RunModes::Window;
        if (third == u' ' && letter == u'p') {
            options.RunMode = RunModes::Print;
            return 4;
        }
        if (third == u' ' && letter == u'v') {
            options.RunMode = RunModes::View;
            return 4;
        }
        if (third == u'=' && (letter == u'm' || letter == u'e')) {
            options.RunMode = letter == u'm' ? RunModes::Merge : RunModes::Export;
            int position = 4;
            options.OutputFile = NextArg(line, position);
            return position;
        }
        return 1;
    }

}

QString usage()
{
    static const shell::UsageLine switches[] = {
        { "(none)", "open FILE in the main window: the source editor beside the page preview" },
        { "-v", "open FILE in the main window showing only the preview" },
        { "-p", "print FILE without a window and end" },
        { "-m=OUT", "merge the data document FILE and write the paged command text to OUT" },
        { "-e=OUT", "export the pages without a printer: OUT ending in .pdf, .png or .svg" },
        { "-d=SHEETS", "the sheet folder for the face: a key of section [sheet], or CurDir" },
        { "-f=FACE", "use this face instead of the one the data document names" },
        { "-t=TITLE", "the document title" },
        { "-r=PRINTER", "the printer (a CUPS queue); default keeps the system's default printer" },
        { "-c=PAPER",
            "paper for this run: A3 A4 A4S A5 B4 B5 LETTER 10X14 11X17 15X11 USER, or a code" },
        { "-n=COPIES", "number of copies" },
        { "-o=ORIENTATION", "orientation for this run: 1 portrait, 2 landscape" },
        { "-s=FIRST,LAST", "the pages to print or export, for example -s=2,3" },
        { "--help", "show this help and end" },
        { "--version", "show the versions of vorlix and Qt and end" },
    };
    return shell::usageText(
        QStringLiteral(
            "Usage: vorlix [-p | -v | -m=OUT | -e=OUT] [-d=SHEETS] [-f=FACE] [-t=TITLE]\n"
            "              [-r=PRINTER] [-c=PAPER] [-n=COPIES] [-o=ORIENTATION]\n"
            "              [-s=FIRST,LAST] FILE\n"
            "The mode switch comes first, the file name last; a value with blanks "
            "goes in double quotes.\n"),
        switches);
}

QString prepareCommandLine(const QStringList& arguments)
{
    QStringList parts;
    for (const QString& argument : arguments) {
        const bool blanks = argument.contains(u' ') || argument.contains(u'\t');
        // A switch keeps its name in front ("-t=" then the quoted value) so that it is still read
        // as a switch.
        const bool isSwitch = argument.size() >= 3 && (argument[0] == u'-' || argument[0] == u'/')
            && argument[2] == u'=';
        if (blanks && isSwitch)
            parts << argument.left(3) + u'"' + argument.mid(3) + u'"';
        else if (argument.isEmpty() || blanks)
            parts << u'"' + argument + u'"';
        else
            parts << argument;
    }
    QString line = parts.join(u' ');
    qsizetype start = 0;
    while (start < line.size() && (line[start] == u' ' || line[start] == u'\t'))
        ++start;
    return line.mid(start) + QStringLiteral("  ");
}

int SkipBlanks(const QString& line, int position)
{
    while (charAt(line, position) == u' ' || charAt(line, position) == u'\t')
        ++position;
    return position;
}

QString NextArg(const QString& line, int& position)
{
    position = SkipBlanks(line, position);
    int start = position;
    QChar delimiter = u' ';
    if (charAt(line, position) == u'"') {
        delimiter = u'"';
        ++start;
    }
    const int end = findFrom(line, delimiter, start);
    if (end > 0) {
        position = end + 1;
        return line.mid(start - 1, end - start);
    }
    position = static_cast<int>(line.size());
    return line.mid(start - 1);
}

QString RestArg(const QString& line, int& position)
{
    position = SkipBlanks(line, position);
    QString name;
    if (charAt(line, position) == u'"') {
        const int start = position + 1;
        const int end = findFrom(line, u'"', start);
        if (end > 0) {
            name = line.mid(start - 1, end - start);
            position = end + 1;
        } else {
            name = line.mid(start - 1);
            position = static_cast<int>(line.size()) + 1;
        }
    } else {
        name = line.mid(position - 1, line.size() - position);
        position = static_cast<int>(line.size()) + 1;
    }
    return trimBlanks(name);
}

void ParseCommandLine(const QString& line)
{
    auto& options = moduleState().commandLine;
    firstProblem().clear();
    shell::storeSetting(QStringLiteral("general"), QStringLiteral("Command"), line);
    int position = parseMode(line);
    WriteLog(QStringLiteral("Vorlix/Main>Mode=")
        + QString::number(static_cast<std::int32_t>(options.RunMode)));
    if (options.RunMode == RunModes::Merge || options.RunMode == RunModes::Export)
        WriteLog(QStringLiteral("  OutputFile=") + options.OutputFile);
    for (;;) {
        position = SkipBlanks(line, position);
        const QString three = threeAt(line, position);
        if (const ValueSwitch* which = switchOf(three)) {
            position += 3;
            storeSwitch(*which, NextArg(line, position));
            continue;
        }
        if (!three.isEmpty()) {
            options.InputFile = RestArg(line, position);
            WriteLog(QStringLiteral("  InputFile=") + options.InputFile);
        }
        return;
    }
}

const QString& commandLineProblem()
{
    return firstProblem();
}

}

#pragma once

#include <QString>
#include <cstdint>

namespace vorlix::shell {

// What the program was started to do. The numbers are the ones the log reports
// ("Vorlix/Main>Mode=1"); any number other than the two window modes counts as unattended.
enum class RunModes : std::int32_t {
    // The main window with the document for editing.
    Window = 0,
    // Print the file unattended, then end.
    Print = 1,
    // The main window with the document for viewing.
    View = 2,
    // Write the merged paged document of a data document unattended, then end.
    Merge = 3,
    // Write the pages to a PDF, PNG or SVG file unattended, then end.
    Export = 4,
};

// The values of one command line, read once by the command-line parser. Every string starts empty
// and every number at 0.
struct CommandLineOptions {
    // What the program was started to do ("-p ", "-v ", "-m=", "-e=" or nothing).
    RunModes RunMode = RunModes::Window;
    // The file named at the end of the line; empty when none is.
    QString InputFile;
    // Where "-m=" writes the merged text or "-e=" the pages.
    QString OutputFile;
    // "-d=": the sheet folder to search for faces, a key of section [sheet] or "CurDir".
    QString ArgSheetPath;
    // "-f=": the face to use instead of the one the data document names.
    QString ArgFaceFile;
    // "-t=": the document title to use instead of the document's own.
    QString ArgTitle;
    // "-r=": the printer to select ("default" keeps the system's).
    QString ArgPrinter;
    // "-c=": the paper, by name ("A4") or by paper code.
    QString ArgPaper;
    // "-o=": the orientation, 1 portrait or 2 landscape; 0 when not given.
    std::int32_t ArgOrient = 0;
    // "-n=": the number of copies; 0 when not given (one copy).
    std::int32_t ArgCopies = 0;
    // "-s=": the page range, first and last page separated by a comma.
    QString ArgPages;

    // Nobody is at the screen: every run mode but the two window modes.
    [[nodiscard]] bool unattended() const
    {
        return RunMode != RunModes::Window && RunMode != RunModes::View;
    }
};

}

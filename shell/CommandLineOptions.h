#pragma once

#include <QString>
#include <cstdint>

namespace vorlix::shell {

// What the program was started to do. The numbers are the ones the log reports
// ("Vorlix/Main>Mode=1"); any number other than the two window modes counts as unattended.
enum class RunModes : std::int32_t {
    Window = 0, // the main window with the document for editing
    Print = 1, // "-p ": print the file unattended, then end
    View = 2, // "-v ": the main window with the document for viewing
    Merge = 3, // "-m=": write the merged paged document of a data document, then end
    Export = 4, // "-e=": write the pages to a PDF, PNG or SVG file, then end
};

// The values of one command line, read once by the command-line parser. Every string starts empty
// and every number at 0.
struct CommandLineOptions {
    RunModes RunMode = RunModes::Window; // what the program was started to do
    QString InputFile; // the file named at the end of the line; empty when none is
    QString OutputFile; // where "-m=" writes the merged text or "-e=" the pages
    QString ArgSheetPath; // "-d=": the sheet to search for faces, a key of [sheet] or CurDir
    QString ArgFaceFile; // "-f=": the face to use instead of the one the data names
    QString ArgTitle; // "-t=": the document title to use instead of the document's own
    QString ArgPrinter; // "-r=": the printer to select ("default" keeps the system's)
    QString ArgPaper; // "-c=": the paper, by name ("A4") or by paper code
    std::int32_t ArgOrient = 0; // "-o=": 1 portrait, 2 landscape; 0 when not given
    std::int32_t ArgCopies = 0; // "-n=": the number of copies; 0 when not given (one copy)
    QString ArgPages; // "-s=": the page range, first and last page separated by a comma

    // Nobody is at the screen: every run mode but the two window modes.
    [[nodiscard]] bool unattended() const
    {
        return RunMode != RunModes::Window && RunMode != RunModes::View;
    }
};

}

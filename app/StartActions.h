#pragma once

#include <QString>

// What the program does once it has started: open the start document in the window, or run one
// unattended job (print, merge, export) and tell how it went.
namespace vorlix::app {

// How an unattended job ended; the process's exit status.
enum class JobStatus : int { Success = 0, Failed = 1, MissingFile = 2, UsageError = 2 };

// Window modes: selects the default printer and opens the input file, or starts an empty document.
void OpenStartDocument();

// Prints a face program or data document on the current printer.
JobStatus CommandLinePrint(const QString& file);

// Merges a data document and writes the paged document to the output file.
JobStatus CommandLineMerg(const QString& inputFile, const QString& outputFile);

// Renders a face program or data document into a PDF, PNG or SVG file instead of a printer.
JobStatus CommandLineExport(const QString& inputFile, const QString& outputFile);

// Writes one line "vorlix: <text>" to standard error, line breaks of the text folded into blanks.
void reportToStandardError(const QString& text);

}

#pragma once

#include "shell/Report.h"

#include <QString>
#include <cstdint>

namespace vorlix::document {

// What one print run came to, as the run returns it: the callers switch on the status and take
// the first problem, the file it concerns and the counts from here.
struct JobOutcome {
    enum class Status {
        // Every copy went out and the output was completed.
        Printed,
        // There was no merged document to print, or its merge failed beside the run.
        NotMerged,
        // The printer dialog was cancelled: nothing was printed.
        Cancelled,
        // The interpreter reported an error or a warning; no further copy was made.
        InterpreterProblem,
        // There was no printer to print on (the user was told at once).
        NoPrinter,
        // The output could not be completed: a file that could not be written, a printer that
        // refused or lost the job.
        OutputFailed,
    };

    Status status = Status::NotMerged;
    // What the interpreter met during the run, its first problem first.
    shell::Report report;
    // The file the first problem concerns: the face for the interpreter's, the export file (or
    // the printer's name) for the output's.
    QString file;
    // Pages the output took, every copy counted.
    std::int32_t pages = 0;
    // The printer's number for the job; 0 when it went to a file or never reached a printer.
    int jobId = 0;
    // The output could not be completed; also after an interpreter problem, which came first.
    bool outputFailed = false;
    // The output went to a file, not a printer.
    bool toFile = false;
    // Why the output failed, in the system's words; may be empty when nobody gave a reason.
    QString outputError;

    [[nodiscard]] bool printed() const { return status == Status::Printed; }
    explicit operator bool() const { return printed(); }

    // The output's failure in the user's words, naming the output as `target` ("out.pdf:
    // 書き込めませんでした (No space left on device)", "Laser: <the printer's reason>"); empty when
    // the output did not fail, or when there was no printer (which was told already).
    [[nodiscard]] QString outputProblem(const QString& target) const;
};

}

#pragma once

#include "render/PageOutput.h"

#include <QString>

namespace vorlix::render {

// A print job's output (a file, a printer queue): its pages go in as a page output, and nothing
// of it counts until it is committed; a job that is discarded, or ends without a commit, leaves
// nothing behind.
class PrintOutput : public PageOutput {
public:
    // Completes the output: a file takes its name, a queue's job is handed over; false when
    // anything could not be written or was refused (error() says what).
    [[nodiscard]] virtual bool commit() = 0;
    // Drops what was written so far.
    virtual void discard() = 0;
    // What went wrong, in words for the user; empty when nothing did or the output has none.
    [[nodiscard]] virtual QString error() const { return {}; }
    // The printer's number for the job; 0 for a file.
    [[nodiscard]] virtual int jobId() const { return 0; }
};

}

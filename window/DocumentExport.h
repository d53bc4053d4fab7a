#pragma once

#include <QString>

class QWidget;

namespace vorlix::document {
class Source;
}

namespace vorlix::window {

// The window's export: the document's pages written to a PDF (or PNG or SVG) file by the same
// writers and the same print path as the command line's export, the file and the page range
// chosen by the user.
class DocumentExport {
public:
    // What came of an export.
    struct Outcome {
        enum class Status {
            NotWritten, // cancelled, or the document could not be merged
            Written,
            Failed, // the file could not be written
        };
        Status status = Status::NotWritten;
        QString file;
        // Why the file could not be written, in the system's words; may be empty.
        QString error;
    };

    // The file dialog, starting from the document's name as a PDF: a name without the suffix of
    // one of the types takes that of the type chosen. Empty when cancelled.
    [[nodiscard]] static QString chooseFile(QWidget* owner, const QString& documentName);

    // Writes the document to `file` once it has been merged and the page range chosen (over the
    // owner), one copy; the window's printer dialog is the document's again afterwards.
    [[nodiscard]] static Outcome write(
        document::Source& source, const QString& file, QWidget* owner);
};

}

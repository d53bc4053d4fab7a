#pragma once

#include "document/DataRecords.h"
#include "document/Merge.h"
#include "document/MergedDocument.h"
#include "document/Tree.h"
#include "shell/Report.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace vorlix::document {

class Compiler;
class Merge;
class SourceCaret;
class SourceFile;

// The merge pipeline of the document: reads a data document into the data tree (a face program
// is read as the one-line document that names itself), finds the face through the sheet folders
// of the settings (and last beside the document), and merges the tree into it. The result is the
// paged document the preview and the print job render.
class SourceMerge {
public:
    // The face of the last merge: what it was called, the file it was read from and its text,
    // so that a merge problem can be reported by file, line and column.
    struct Face {
        QString name;
        QString file;
        QString text;
        // It was found in no sheet folder; the merge ran on the one-page failure message.
        bool missing = false;
    };

    // The text and its type come from the file, a read error moves the caret to the problem, and
    // the result goes to the merged document.
    SourceMerge(SourceFile& file, SourceCaret& caret, MergedDocument& merged);

    // A merge handed to work that runs beside it: the paged document it writes, the merge itself
    // (run on a thread of the work's own; false when a record could not be read again), and the
    // taking of its result on the calling thread once it has ended, as a merge on the calling
    // thread would (flags, report, log lines); true when it succeeded. Until then the data tree
    // is the merge's alone.
    struct Pending {
        std::shared_ptr<PagedDocument> growing;
        std::function<bool()> work;
        std::function<bool()> take;
    };
    // The work beside a merge; it runs the merge and takes its result, once, before it returns.
    using Beside = std::function<void(Pending pending)>;

    // Reads and merges the text; true when merged.ManuScript is ready. What went wrong is shown
    // to the user and kept in report(). With `beside`, the merge runs on a thread of its own
    // while `beside` runs here (a face read over the network is merged here first).
    bool SrcMerg(QString text, const Beside& beside = {});
    // Unattended runs read a data document once: its text goes as soon as the tree holds it.
    void setReleaseText(bool release) { m_releaseText = release; }
    // New text came in: what was read and merged from the old one goes.
    void forget();

    // The last read's report, or the merge's once the read went well.
    [[nodiscard]] const shell::Report& report() const { return m_report; }
    [[nodiscard]] const Face& face() const { return m_face; }
    // The statements the last merge dropped for a reference it did not find.
    [[nodiscard]] const Merge::Dropped& dropped() const { return m_dropped; }

    // The sheet name of a face found beside the data document rather than in a sheet folder
    // (the data item "path" then holds it, and "dir" that folder).
    static const QString DocumentSheet;

    // The data tree of the last read, with the items this document adds.
    Tree Tr;
    // The data document was read without error or warning.
    bool fTagOn = false;

    // "line:column" of a position in the data document read last (the text, or the file read in
    // a stream).
    [[nodiscard]] QString lineColumn(std::int32_t position) const;
    // "line:column" of a 1-based position in a text.
    [[nodiscard]] static QString lineColumnIn(const QString& text, std::int32_t position);

private:
    bool ReadTD(const QString& document);
    // Reads the document file in a stream: the head into the tree, the records left to m_records.
    bool ReadTDStreamed();
    bool readData(const std::function<void(Compiler&)>& read);
    bool Mergeup(const Beside& beside);
    bool mergeBeside(std::unique_ptr<Merge> owned, const Beside& beside);
    // Runs the merge; false when a record could not be read again (reported against the data
    // document).
    bool runMerge(Merge& merge);
    bool takeResult(const Merge& merge);
    QString SeScPath(const QString& sheetName);
    // Where the face search stands: the sheet and folder tried last, every folder tried, and the
    // face's text once a folder had it.
    struct FaceSearch {
        QString sheet;
        QString folder = QStringLiteral("/");
        QStringList tried;
        bool open = false;
        QString text;

        void attempt(const QString& nextSheet, const QString& nextFolder, const QString& face);
    };

    QString ReadFace(const QString& face);
    void searchSheets(const QString& face, FaceSearch& search);
    void searchBesideDocument(const QString& face, FaceSearch& search);
    [[nodiscard]] QString documentFolder() const;
    [[nodiscard]] static bool tryOpenFace(
        const QString& folder, const QString& face, QString& text);
    void writeSystemItems();
    void writeSheetFolders();
    void takeTitle();
    [[nodiscard]] static QString defaultSheetName(bool first);

    SourceFile& m_file;
    SourceCaret& m_caret;
    MergedDocument& m_merged;
    shell::Report m_report;
    Face m_face;
    Merge::Dropped m_dropped;
    bool m_releaseText = false;
    // The records of a document read in a stream, which the merge reads one at a time.
    std::unique_ptr<DataRecords> m_records;
};

}

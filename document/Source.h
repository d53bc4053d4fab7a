#pragma once

#include "document/Tree.h"
#include "lang/DControl.h"
#include "shell/CodePage.h"
#include "shell/Log.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

namespace vorlix::document {

class PreviewTarget;
class SourceEditor;

// The document object: the text being edited (a face program or a data document), its file, the
// data tree of the last read, the merged paged document, and the printing and preview of it.
// Exactly one exists while the program runs.
class Source {
    // First member: the creation is logged before the interpreter and the tree are made, the end
    // after they are gone.
    shell::LifeLog m_life { QStringLiteral("Source") };

public:
    // File types by extension.
    enum FileTypes : std::int32_t { FaceProgram = 1, DataDocument = 3, OtherFile = 4 };

    Source();
    ~Source();
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;

    // ---- Document and files ----
    [[nodiscard]] const QString& FileName() const { return m_fileName; }
    // An empty name is ignored.
    void setFileName(const QString& name);
    [[nodiscard]] QString Text() const;
    void setText(const QString& text);
    // A new document of a type from its template.
    void Clear(std::int32_t type);
    // Opens the named file (asking for a name when ask is true or none is set); true when read.
    bool InBuff(bool ask);
    // Saves (asking for a name when fNSD or none is set); fOWA allows overwriting. True when
    // written.
    bool OutBuff(bool fNSD, bool fOWA);
    // Reads and merges the text; true when ManuScript is ready.
    bool SrcMerg(const QString& text);
    void SetDocTitle(const QString& title);
    // The application title as the document set it.
    [[nodiscard]] const QString& title() const { return m_title; }

    // ---- Binding, preview and printing ----
    void SetObject(SourceEditor* editor, PreviewTarget* picture);
    [[nodiscard]] std::int32_t Width() const { return m_width; }
    [[nodiscard]] std::int32_t Height() const { return m_height; }
    [[nodiscard]] double PicRatio() const { return m_picRatio; }
    void setPicRatio(double ratio);
    // Merges the text and prints it; true when the job ran to its end.
    bool DocPrint();
    void PreView(std::int32_t page);
    void PageView(std::int32_t page, bool reload);
    // Rebinds the preview to the current paper.
    void bindPreview();

    // ---- Editor caret operations ----
    [[nodiscard]] std::int32_t PLT() const;
    void setPLT(std::int32_t position);
    void topPLT();
    void prevPLT();
    void nextPLT();
    QString DefaultLine();
    void AddItem(const QString& text);

    // ---- Hooks of the window layer ----
    // Shows the open or save dialog and returns the chosen path (empty when cancelled). Without
    // one, no name can be chosen.
    using FileDialog = std::function<QString(bool save)>;
    void setFileDialog(FileDialog dialog) { m_fileDialog = std::move(dialog); }
    // Receives the application title whenever it changes.
    using TitleSink = std::function<void(const QString&)>;
    void setTitleSink(TitleSink sink) { m_titleSink = std::move(sink); }
    // The printer dialog: given the page count, returns false when cancelled; may change the
    // paper, orientation, range and copies. Without one (or in the unattended modes) the current
    // printer is used as it is.
    using PrintDialog = std::function<bool(Source&)>;
    void setPrintDialog(PrintDialog dialog) { m_printDialog = std::move(dialog); }

    // ---- Public fields ----
    lang::DControl oCt;
    Tree Tr;
    QString DeviceName;
    std::int16_t PaperSize = 9;
    std::int16_t Orientation = 1;
    std::int32_t FromPage = 1;
    std::int32_t ToPage = 9999;
    std::int32_t Copies = 1;
    std::int32_t PaperLeftLag = 0;
    std::int32_t PaperTopLag = 0;
    bool fTagOn = false;
    bool fMaScOn = false;
    bool fPrCpOn = false;
    std::int32_t Page = 0;
    std::int32_t FileType = OtherFile;
    bool fFileEdit = false;
    QString ManuScript;
    bool fError = false;
    bool fWarning = false;
    std::int32_t nErrPit = -1;
    QString sErrMsg;
    // The print job's output could not be completed (a file that could not be written, a printer
    // that refused the job).
    bool fOutputFailed = false;
    // The interpreter reported an error or warning during the last print or preview.
    bool fInterpreterProblem = false;
    // The last merge could not find its face file in any sheet folder and merged the failure
    // page instead.
    bool fFaceMissing = false;
    // The face of the last merge: its name, the file it was read from and its text, so that a
    // merge problem can be reported by file, line and column.
    QString faceName;
    QString faceFile;
    QString faceText;

    // The type of a file name by its extension.
    [[nodiscard]] static std::int32_t fileTypeOf(const QString& name);
    // The new-document templates (date and time as given).
    [[nodiscard]] static QString faceTemplate(const QString& date, const QString& time);
    [[nodiscard]] static QString dataTemplate(const QString& date, const QString& time);
    // The page range of a "-s=" value.
    static void pageRange(const QString& pages, std::int32_t& from, std::int32_t& to);

private:
    bool ReadTD(const QString& document);
    bool Mergeup();
    QString SeScPath(const QString& sheetName);
    QString ReadFace(const QString& face);
    bool tryOpenFace(const QString& folder, const QString& face, QString& text);
    void writeSystemItems();
    void writeSheetFolders();
    [[nodiscard]] QString defaultSheetName(bool first);
    bool PrintGo();
    bool OpenPrintDlg(std::int32_t& xOffset, std::int32_t& yOffset);
    void SetWidth(std::int32_t w);
    void SetHeight(std::int32_t h);
    std::int32_t LineStart();
    void setApplicationTitle(const QString& title);
    void reportInterpreter(lang::DControl& control, const QString& endText);
    [[nodiscard]] QString settingsSection() const;

    SourceEditor* m_editor = nullptr;
    PreviewTarget* m_picture = nullptr;
    bool noEditor = true;
    QString bufferText;
    QString m_fileName;
    shell::TextEncoding m_encoding = shell::TextEncoding::Cp932;
    bool m_encodingKnown = false;
    std::int32_t DPI = 400;
    std::int32_t m_width = 2100;
    std::int32_t m_height = 2970;
    double m_picRatio = 1.0;
    QString m_title;
    QString m_savedTitle;
    FileDialog m_fileDialog;
    TitleSink m_titleSink;
    PrintDialog m_printDialog;
};

}

#pragma once

#include "document/SourceFile.h"
#include "window/SaveQuestion.h"

#include <QString>
#include <functional>

namespace vorlix::window {

// The file commands of the main window over the document file: new, open, reload, save,
// save as, the file name box and closing, each with the save question where the text could be
// lost. A file that cannot be read leaves the current document as it was, and a save that did
// not reach the disk keeps the document marked as edited, so that nothing is discarded unasked.
class FileCommands {
public:
    // What the window does for the commands.
    struct Host {
        // Renders the current page (描画実行).
        std::function<void()> render;
        // Rewrites the caption and the file name box from the document's file name.
        std::function<void()> showTitle;
        // The open dialog: the chosen name, empty when cancelled.
        std::function<QString()> chooseOpenFile;
        // Removes the shown page (a new document has none yet).
        std::function<void()> clearPreview;
    };

    FileCommands(document::SourceFile& file, Host host);

    // "新規作成": a new face program or data document.
    void newFile(document::SourceFile::FileTypes type);
    void open();
    void reload();
    // "上書き保存" and "名前を付けて保存"; true when the text reached the disk.
    bool overwrite();
    bool saveAs();
    // Enter in the file name box, or a dropped file: opens the named file.
    void openName(const QString& name);
    // Closing the window or "終了": true when the window may close.
    [[nodiscard]] bool queryClose();

    // Why a file cannot be opened ("" when it can): missing, a folder, or unreadable. Addresses
    // of web files are not checked here.
    [[nodiscard]] static QString whyNotReadable(const QString& name);

private:
    // Asks and saves as the answer says; false when the command must stop.
    bool askAndSave(FileCommand command);
    bool save(bool askName);
    // Reads the named file into the document, keeping the current one when it cannot be read.
    bool readFile(const QString& name);

    document::SourceFile& m_file;
    Host m_host;
};

}

#pragma once

#include "shell/Log.h"
#include "window/Arrange.h"
#include "window/EditorBinding.h"
#include "window/FileCommands.h"
#include "window/MenuTable.h"
#include "window/WindowSettings.h"

#include <QMainWindow>
#include <exception>
#include <functional>
#include <map>
#include <memory>

class QAction;
class QMenu;

namespace vorlix::document {
class Source;
class SourceCaret;
class SourceFile;
class SourceMerge;
class SourcePreview;
struct MergedDocument;
struct PrinterSettings;
}

namespace vorlix::window {

class BottomBar;
class FindBar;
class PreviewPane;
class SourceEdit;
class Splitter;
class TopBar;

// The main window: the source editor beside the page preview, the top bar with the file name box
// and the status texts, the bottom bar with the printer's name, and the menus. It owns the
// controls and leaves every piece of document work to the source document's parts: the file,
// the caret, the merge and its result, the preview and the printer. While it exists it also lends
// the interpreter the handling of pending events, so that long renders leave it responsive.
class Menu final : public QMainWindow {
    Q_OBJECT

public:
    explicit Menu(document::Source& source, QWidget* parent = nullptr);
    ~Menu() override;

    // ---- Parts, for the program and its tests ----
    [[nodiscard]] SourceEdit& editor() { return *m_editor; }
    [[nodiscard]] EditorBinding& binding() { return m_binding; }
    [[nodiscard]] PreviewPane& preview() { return *m_preview; }
    [[nodiscard]] TopBar& topBar() { return *m_topBar; }
    [[nodiscard]] BottomBar& bottomBar() { return *m_bottomBar; }
    [[nodiscard]] Splitter& splitter() { return *m_splitter; }
    [[nodiscard]] FindBar& findBar() { return *m_findBar; }
    [[nodiscard]] FileCommands& fileCommands() { return m_files; }
    [[nodiscard]] QAction* action(MenuId id) const;
    [[nodiscard]] QMenu* menu(MenuId id) const;

    // ---- Layout ----
    [[nodiscard]] const Arrange::Layout& layoutNow() const { return m_layout; }
    [[nodiscard]] double splitSaved() const { return m_splitSaved; }
    // Client size in twips.
    [[nodiscard]] int formWidth() const;
    [[nodiscard]] int formHeight() const;
    void arrange(double split);
    // Releasing the splitter with the pointer at x (twips of the client area).
    void releaseSplitter(int x);

    // ---- Commands ----
    // 描画実行.
    void render();
    // Opens the files of a drop (the first one only).
    void dropFiles(const QStringList& names);
    // Caption and file name box from the document's file name.
    void showTitle();
    // The settings the window writes when it closes (also used by the tests).
    void writeSettings();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void connectCommands();
    void connectFileCommands();
    void connectEditCommands();
    void toolClicked(int tool);
    void connectViewCommands();
    void applySettings();
    void placeWindow();
    void firstActivation();
    void textEdited(bool modified);
    void afterRender();
    void selectProblem();
    void selectInterpreterProblem();
    void selectMergeProblem();
    // Selects a statement of the interpreter's report in the editor, when the text holds it;
    // its line number (1 for the first), 0 when the text does not hold it.
    int selectStatement(const QString& statement);
    // Selects the face statement at a 1-based position of the editor's text; its line number.
    int selectPlace(std::int32_t position);
    // After a render: the one message box of an interpreter problem of the page shown.
    void tellInterpreterProblem();
    void startSplitterDrag();
    void dragSplitter(int x);
    void printDocument();
    // Without any printer, says so before the printer dialog and offers the export; true when
    // there is none.
    bool offerExportWithoutPrinter();
    void exportDocument();
    // Runs a print or an export with the busy flag and the wait cursor; what it threw comes back
    // instead of leaving the Qt slot.
    std::exception_ptr runJob(const std::function<void()>& job);
    // Why a command that would replace the document or start a job cannot run now (a render or
    // a print job is running); empty when it can.
    [[nodiscard]] QString busyText() const;
    // Refuses such a command with a status text in the bottom bar; true when it was refused.
    bool refusedWhileBusy();
    void paperSetup();
    void showOptions();
    void showAbout();
    void setTool(int tool);
    void placeFindBar();

    // First member: the creation is logged before the controls are made, the end after.
    shell::LifeLog m_life { QStringLiteral("Menu") };
    // The owner, for what spans its parts: binding the editor and the picture, merging and
    // then showing or printing.
    document::Source& m_source;
    document::SourceFile& m_file;
    document::SourceCaret& m_caret;
    document::SourceMerge& m_merge;
    const document::MergedDocument& m_merged;
    document::SourcePreview& m_pages;
    const document::PrinterSettings& m_printer;
    // The pending-events hook in place before the window's, put back when the window goes.
    std::function<void()> m_previousPendingEvents;
    QWidget* m_form = nullptr;
    TopBar* m_topBar = nullptr;
    SourceEdit* m_editor = nullptr;
    FindBar* m_findBar = nullptr;
    Splitter* m_splitter = nullptr;
    PreviewPane* m_preview = nullptr;
    BottomBar* m_bottomBar = nullptr;
    EditorBinding m_binding;
    FileCommands m_files;
    WindowSettings m_settings;
    std::map<MenuId, QAction*> m_actions;
    std::map<MenuId, QMenu*> m_menus;
    Arrange::Layout m_layout;
    double m_splitSaved = 0.4;
    bool m_firstActivation = true;
    bool m_closePending = false;
    // A print job runs (its printer dialog included).
    bool m_printing = false;
    // The editor's line of the statement the last page failed at, 0 when the editor has none.
    int m_problemLine = 0;
    // For a data document's page: the face's file and line of that statement ("bill.fae:12").
    QString m_problemWhere;
};

}

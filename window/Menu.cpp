#include "window/Menu.h"

#include "document/Source.h"
#include "render/FontSubstitutions.h"
#include "render/PrinterObject.h"
#include "shell/Common.h"
#include "shell/InitFile.h"
#include "shell/ModuleState.h"
#include "shell/RunError.h"
#include "shell/UserInterface.h"
#include "window/About.h"
#include "window/ApplicationIcon.h"
#include "window/BottomBar.h"
#include "window/CommonDialogs.h"
#include "window/DocumentDialogs.h"
#include "window/DocumentExport.h"
#include "window/FindBar.h"
#include "window/PreviewPane.h"
#include "window/SourceEdit.h"
#include "window/SourceHighlighter.h"
#include "window/Splitter.h"
#include "window/TopBar.h"
#include "window/ViewRules.h"
#include "window/frmOptions.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <exception>
#include <new>
#include <optional>

namespace vorlix::window {

using shell::WriteLog;

namespace {

    constexpr int Twips = Arrange::TwipsPerPixel;

    int px(int twips)
    {
        return static_cast<int>(std::lround(twips / double(Twips)));
    }

    QStringList droppedFiles(const QMimeData* data)
    {
        QStringList names;
        if (!data || !data->hasUrls())
            return names;
        for (const QUrl& url : data->urls()) {
            if (url.isLocalFile())
                names << url.toLocalFile();
        }
        return names;
    }

}

Menu::Menu(document::Source& source, QWidget* parent)
    : QMainWindow(parent)
    , m_source(source)
    , m_file(source.document())
    , m_caret(source.caret())
    , m_merge(source.merge())
    , m_merged(source.merged())
    , m_pages(source.preview())
    , m_printer(source.printer())
    , m_form(new QWidget(this))
    , m_topBar(new TopBar(m_form))
    , m_editor(new SourceEdit(m_form))
    , m_findBar(new FindBar(*m_editor, m_form))
    , m_splitter(new Splitter(m_form))
    , m_preview(new PreviewPane(
          { m_pages, m_merged, m_file, [&source](std::int32_t page) { source.PreView(page); } },
          m_form))
    , m_bottomBar(new BottomBar(m_form))
    , m_binding(*m_editor)
    , m_files(m_file,
          { [this] { render(); }, [this] { showTitle(); },
              [this] { return OpenFileDialog(this, QString(), documentFilter()); },
              [this] { m_preview->box().clearPicture(); } })
{
    setObjectName(QStringLiteral("Menu"));
    setCentralWidget(m_form);
    setAcceptDrops(true);
    auto& pendingEvents = shell::moduleState().ui.pendingEvents;
    m_previousPendingEvents = std::move(pendingEvents);
    pendingEvents = [] { QCoreApplication::processEvents(); };
    buildControls();
    buildMenus();
    connectCommands();
    applySettings();
    DocumentDialogs::install(source, this);
    // The window tells of a page's problem itself, once per render.
    m_pages.tellsProblems = false;
}

Menu::~Menu()
{
    // The document object must not keep the editor and the picture beyond the window, nor the
    // interpreter hand events to it.
    m_source.SetObject(nullptr, nullptr);
    DocumentDialogs::remove(m_source);
    m_pages.tellsProblems = true;
    shell::moduleState().ui.pendingEvents = std::move(m_previousPendingEvents);
}

void Menu::buildControls()
{
    m_form->setObjectName(QStringLiteral("Form"));
    // Drops anywhere on the window open the file: the controls that take drops of their own
    // hand files to the window.
    for (QObject* target : { static_cast<QObject*>(m_editor->viewport()),
             static_cast<QObject*>(&m_topBar->nameBox()) })
        target->installEventFilter(this);
    m_file.setFileDialog([this](bool save) {
        return save ? SaveFileDialog(this, m_file.FileName(), documentFilter())
                    : OpenFileDialog(this, QString(), documentFilter());
    });
}

void Menu::applySettings()
{
    auto& state = shell::moduleState();
    if (state.SettingsFile)
        m_settings = WindowSettings::read(*state.SettingsFile);
    m_splitSaved = m_settings.splitSaved;
    render::installFontSubstitutions();
    QFont font(m_settings.fontName);
    font.setStyleHint(QFont::TypeWriter);
    m_editor->setFont(font);
    placeWindow();
    m_preview->box().setTool(PreviewBox::Tool::Hand);
    m_source.SetObject(&m_binding, &m_preview->box());
    m_preview->box().setScale(m_pages.Width(), m_pages.Height());
    const bool normal = state.commandLine.RunMode == shell::RunModes::Window;
    m_layout.splitNow = normal ? m_splitSaved : 0.0;
    m_bottomBar->setPrinterName(m_printer.DeviceName);
    arrange(m_layout.splitNow);
}

// Later starts put the window where it was left; the first one has no place stored and gives
// the window two thirds of the screen, in its middle (the defaults would make it a stamp).
void Menu::placeWindow()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!m_settings.placed && screen) {
        const QRect area = screen->availableGeometry();
        resize(area.width() * 2 / 3, area.height() * 2 / 3);
        move(area.left() + area.width() / 6, area.top() + area.height() / 6);
        return;
    }
    const QRect place = m_settings.placement;
    resize(std::max(200, px(place.width())), std::max(150, px(place.height())));
    move(px(place.left()), px(place.top()));
    bool onScreen = false;
    for (const QScreen* each : QGuiApplication::screens())
        onScreen = onScreen || each->geometry().intersects(frameGeometry());
    if (!onScreen)
        CenterForm(*this);
}

int Menu::formWidth() const
{
    return m_form->width() * Twips;
}

int Menu::formHeight() const
{
    return m_form->height() * Twips;
}

void Menu::arrange(double split)
{
    m_layout = Arrange::layout(formWidth(), formHeight(), split);
    const int top = px(Arrange::TopBarHeight);
    const int content = std::max(0, px(m_layout.contentHeight));
    m_topBar->setGeometry(0, 0, m_form->width(), top);
    m_editor->setVisible(m_layout.editorVisible);
    if (QMenu* editing = menu(MenuId::Edit))
        editing->setEnabled(m_layout.editorVisible);
    int editorTop = top;
    if (m_findBar->isVisible() && m_layout.editorVisible) {
        const int h = m_findBar->sizeHint().height();
        m_findBar->setGeometry(0, top, px(m_layout.editorWidth), h);
        editorTop += h;
    }
    m_editor->setGeometry(0, editorTop, px(m_layout.editorWidth), content - (editorTop - top));
    m_splitter->setGeometry(px(m_layout.splitterLeft), top, px(Arrange::SplitterWidth), content);
    const int previewWidth
        = m_layout.previewWidth > 0 ? px(m_layout.previewWidth + Arrange::ScrollBarWidth) : 0;
    m_preview->setVisible(previewWidth > 0);
    m_preview->setGeometry(px(m_layout.previewLeft), top, previewWidth, content);
    m_preview->setScrollBarsVisible(m_layout.scrollBarsVisible);
    m_bottomBar->setGeometry(0, top + content, m_form->width(), px(Arrange::BottomBarHeight));
    m_bottomBar->setSeparator(px(m_layout.splitterLeft));
    m_splitter->raise();
}

void Menu::placeFindBar()
{
    arrange(m_layout.splitNow);
}

void Menu::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (isMinimized())
        return;
    if (formHeight() >= Arrange::MinimumHeight) {
        arrange(Arrange::resizeSplit(m_layout.splitNow, m_splitSaved));
        return;
    }
    // Too low to arrange: the window is made taller first.
    QTimer::singleShot(0, this, [this] { resize(width(), height() + px(Arrange::GrowHeight)); });
}

void Menu::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Without a window manager (a bare X server) a window is never activated: what the first
    // activation does happens when the window is first shown.
    if (m_firstActivation) {
        m_firstActivation = false;
        QTimer::singleShot(0, this, &Menu::firstActivation);
    }
}

void Menu::firstActivation()
{
    if (m_file.Text().isEmpty())
        m_file.Clear(document::SourceFile::FileTypes::DataDocument);
    showTitle();
    render();
}

void Menu::showTitle()
{
    using FileTypes = document::SourceFile::FileTypes;
    const QString title = shell::BaseName(m_file.FileName());
    setWindowTitle(
        (m_file.fFileEdit ? QStringLiteral("vorlix 更新 ") : QStringLiteral("vorlix ")) + title);
    QLineEdit& box = m_topBar->nameBox();
    box.setText(m_file.FileName());
    box.setCursorPosition(static_cast<int>(box.text().size()));
    if (!m_file.fFileEdit)
        m_editor->document()->setModified(false);
    m_editor->highlighter().setMode(m_file.FileType == FileTypes::FaceProgram
            ? SourceHighlighter::Mode::Face
            : m_file.FileType == FileTypes::DataDocument ? SourceHighlighter::Mode::Data
                                                         : SourceHighlighter::Mode::None);
}

// The editor's modification mark follows its undo history: undoing back to the text as loaded
// or saved is no edit any more, so the caption loses "更新" and closing asks nothing.
void Menu::textEdited(bool modified)
{
    if (m_binding.loading() || m_file.fFileEdit == modified)
        return;
    m_file.fFileEdit = modified;
    showTitle();
}

QString Menu::busyText() const
{
    if (m_printing)
        return QStringLiteral("印刷中です。終わってからもう一度どうぞ");
    if (m_preview->busy())
        return QStringLiteral("描画中です。終わってからもう一度どうぞ");
    return {};
}

bool Menu::refusedWhileBusy()
{
    const QString why = busyText();
    if (why.isEmpty())
        return false;
    m_bottomBar->setMessage(why);
    return true;
}

void Menu::render()
{
    if (refusedWhileBusy())
        return;
    m_bottomBar->setMessage(QString());
    m_problemLine = 0;
    m_problemWhere.clear();
    m_preview->render();
    tellInterpreterProblem();
}

// The box names what failed and where; it comes once per render, while zooming and turning
// pages leave the problem to the bottom bar.
void Menu::tellInterpreterProblem()
{
    if (!m_merged.fMaScOn || !m_pages.fInterpreterProblem)
        return;
    const shell::Report& report = m_pages.report();
    constexpr int CriticalStyle = 16;
    constexpr int ExclamationStyle = 48;
    QString text = report.ErrNumber != 0
        ? QStringLiteral("インタプリタエラー %1: %2").arg(report.ErrNumber).arg(report.sErrMsg)
        : QStringLiteral("インタプリタ警告");
    if (!report.statement.isEmpty()) {
        text += QStringLiteral("\r\n")
            + (m_problemLine > 0                ? QStringLiteral("%1 行目: ").arg(m_problemLine)
                    : !m_problemWhere.isEmpty() ? m_problemWhere + QStringLiteral(": ")
                                                : QStringLiteral("文: "))
            + report.statement.left(120);
    }
    shell::ShowMessage(text, report.ErrNumber != 0 ? CriticalStyle : ExclamationStyle);
}

void Menu::afterRender()
{
    m_bottomBar->setPrinterName(m_printer.DeviceName);
    selectProblem();
}

// A merge that failed leaves the last page's interpreter report behind: only a merged text's
// page speaks for itself.
void Menu::selectProblem()
{
    if (m_merged.fMaScOn)
        selectInterpreterProblem();
    else
        selectMergeProblem();
}

void Menu::selectInterpreterProblem()
{
    m_problemWhere.clear();
    if (!m_pages.fInterpreterProblem)
        return;
    const shell::Report& report = m_pages.report();
    QString message = report.ErrNumber != 0
        ? QStringLiteral("インタプリタエラー %1:%2").arg(report.ErrNumber).arg(report.sErrMsg)
        : QStringLiteral("インタプリタ警告: ") + report.statement.left(60);
    std::optional<document::StatementMap::Place> place;
    if (!report.problems.empty() && m_merged.ManuScript)
        place = m_merged.ManuScript->placeOf(report.problems.front(), m_merge.face().text);
    if (m_file.FileType == document::SourceFile::FileTypes::FaceProgram) {
        m_problemLine = place ? selectPlace(place->position) : selectStatement(report.statement);
    } else {
        // The editor holds the data document: the bottom bar names the face's file and line.
        m_problemLine = selectStatement(report.statement);
        if (place)
            m_problemWhere = QFileInfo(m_merge.face().file).fileName()
                + QStringLiteral(":%1").arg(place->line);
    }
    m_bottomBar->setMessage(
        m_problemWhere.isEmpty() ? message : m_problemWhere + QStringLiteral(": ") + message);
}

int Menu::selectPlace(std::int32_t position)
{
    const QString text = m_binding.text();
    const qsizetype start = std::clamp<qsizetype>(position - 1, 0, text.size());
    qsizetype end = text.indexOf(u';', start);
    if (end < 0)
        end = text.size();
    m_binding.setSelectionStart(static_cast<int>(start));
    m_binding.setSelectionLength(static_cast<int>(end - start));
    m_editor->ensureCursorVisible();
    return static_cast<int>(QStringView(text).left(start).count(u'\n')) + 1;
}

void Menu::selectMergeProblem()
{
    const shell::Report& report = m_merge.report();
    // A text of another type is not merged at all: the report would be an older text's.
    if (report.clean() || m_file.FileType == document::SourceFile::FileTypes::OtherFile)
        return;
    m_bottomBar->setMessage(report.sErrMsg);
    // A problem of the merge lies in the face; the editor holds it only for a face program
    // (the merge already selects a problem of a data document).
    if (m_merge.fTagOn && m_file.FileType == document::SourceFile::FileTypes::FaceProgram
        && report.nErrPit >= 0) {
        m_caret.setPLT(std::max(0, report.nErrPit - 1));
        m_caret.DefaultLine();
    }
    m_editor->ensureCursorVisible();
}

int Menu::selectStatement(const QString& statement)
{
    // The merged page holds the statement as the face wrote it unless a value was put in.
    if (statement.isEmpty())
        return 0;
    const QString text = m_binding.text();
    const qsizetype at = text.indexOf(statement);
    if (at < 0)
        return 0;
    m_binding.setSelectionStart(static_cast<int>(at));
    m_binding.setSelectionLength(static_cast<int>(statement.size()));
    m_editor->ensureCursorVisible();
    return static_cast<int>(QStringView(text).left(at).count(u'\n')) + 1;
}

void Menu::dropFiles(const QStringList& names)
{
    if (names.isEmpty() || refusedWhileBusy())
        return;
    activateWindow();
    WriteLog(QStringLiteral("Menu/Text1/OLEDragDrop>") + names.constFirst());
    m_topBar->nameBox().setText(names.constFirst());
    m_files.openName(names.constFirst());
}

void Menu::closeEvent(QCloseEvent* event)
{
    // A close while the interpreter runs waits for the page or the job to end.
    if (!busyText().isEmpty()) {
        m_closePending = true;
        event->ignore();
        return;
    }
    if (!m_files.queryClose()) {
        m_closePending = false;
        event->ignore();
        return;
    }
    writeSettings();
    event->accept();
}

void Menu::writeSettings()
{
    auto& settings = shell::moduleState().SettingsFile;
    if (!settings)
        return;
    std::optional<QRect> placement;
    if (!isMinimized() && !isMaximized() && !isFullScreen())
        placement = QRect(x() * Twips, y() * Twips, width() * Twips, height() * Twips);
    WindowSettings::write(*settings, m_pages.PicRatio(), m_splitSaved, placement);
}

void Menu::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void Menu::dropEvent(QDropEvent* event)
{
    const QStringList names = droppedFiles(event->mimeData());
    if (names.isEmpty())
        return;
    event->acceptProposedAction();
    dropFiles(names);
}

bool Menu::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (!droppedFiles(drag->mimeData()).isEmpty()) {
            drag->acceptProposedAction();
            return true;
        }
        break;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList names = droppedFiles(drop->mimeData());
        if (!names.isEmpty()) {
            drop->acceptProposedAction();
            dropFiles(names);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void Menu::startSplitterDrag()
{
    m_editor->setEnabled(false);
    m_preview->setEnabled(false);
}

void Menu::dragSplitter(int x)
{
    const int position = Arrange::splitterDragPosition(x * Twips, formWidth());
    m_splitter->move(px(position), m_splitter->y());
}

void Menu::releaseSplitter(int x)
{
    m_editor->setEnabled(true);
    m_preview->setEnabled(true);
    const auto release = Arrange::splitterRelease(x, formWidth());
    if (release.remember)
        m_splitSaved = release.split;
    arrange(release.split);
    if (release.focusEditor)
        m_editor->setFocus();
    else
        m_preview->box().setFocus();
    m_preview->scrollHome();
}

// ---- Menus and commands ----

void Menu::buildMenus()
{
    for (const auto& entry : kMenuEntries) {
        const QString caption = QString::fromUtf16(entry.caption);
        QMenu* parentMenu = entry.parent == MenuId::None ? nullptr : m_menus.at(entry.parent);
        const bool hasItems = std::any_of(kMenuEntries.begin(), kMenuEntries.end(),
            [&entry](const MenuEntry& e) { return e.parent == entry.id; });
        if (hasItems) {
            QMenu* submenu
                = parentMenu ? parentMenu->addMenu(caption) : menuBar()->addMenu(caption);
            submenu->setObjectName(QString::fromLatin1(entry.name));
            m_menus[entry.id] = submenu;
            m_actions[entry.id] = submenu->menuAction();
            continue;
        }
        QAction* action
            = parentMenu ? parentMenu->addAction(caption) : menuBar()->addAction(caption);
        action->setObjectName(QString::fromLatin1(entry.name));
        m_actions[entry.id] = action;
    }
    for (MenuId id : { MenuId::Cross, MenuId::Hand })
        m_actions.at(id)->setCheckable(true);
    m_actions.at(MenuId::Hand)->setChecked(true);
    for (const auto& [id, keys] : kMenuShortcuts)
        m_actions.at(id)->setShortcuts(QKeySequence::listFromString(QString::fromLatin1(keys)));
    // Rendering also answers F5 and Ctrl+R, as editors do today.
    m_actions.at(MenuId::View)
        ->setShortcuts({ QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_R) });
    auto* zoomIn = new QAction(this);
    zoomIn->setShortcuts({ QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal) });
    connect(zoomIn, &QAction::triggered, m_preview, &PreviewPane::zoomIn);
    auto* zoomOut = new QAction(this);
    zoomOut->setShortcut(QKeySequence::ZoomOut);
    connect(zoomOut, &QAction::triggered, m_preview, &PreviewPane::zoomOut);
    addActions({ zoomIn, zoomOut });
}

QAction* Menu::action(MenuId id) const
{
    const auto found = m_actions.find(id);
    return found == m_actions.end() ? nullptr : found->second;
}

QMenu* Menu::menu(MenuId id) const
{
    const auto found = m_menus.find(id);
    return found == m_menus.end() ? nullptr : found->second;
}

void Menu::connectCommands()
{
    connectFileCommands();
    connectEditCommands();
    connectViewCommands();
    connect(m_editor->document(), &QTextDocument::modificationChanged, this, &Menu::textEdited);
    connect(m_splitter, &Splitter::dragStarted, this, &Menu::startSplitterDrag);
    connect(m_splitter, &Splitter::dragged, this, &Menu::dragSplitter);
    connect(m_splitter, &Splitter::released, this, [this](int x) { releaseSplitter(x * Twips); });
    connect(m_findBar, &FindBar::visibilityChanged, this, &Menu::placeFindBar);
    connect(m_topBar, &TopBar::nameEntered, this, [this](const QString& name) {
        if (!refusedWhileBusy())
            m_files.openName(name);
    });
    connect(m_topBar, &TopBar::toolClicked, this, &Menu::toolClicked);
    connect(m_preview, &PreviewPane::statusText, m_topBar,
        [this](int slot, const QString& text) { m_topBar->ShowStatus(slot, text); });
    connect(m_preview, &PreviewPane::menuRequested, this,
        [this](const QPoint& where) { m_menus.at(MenuId::Disp)->popup(where); });
    m_preview->afterRender = [this] {
        afterRender();
        if (m_closePending) {
            m_closePending = false;
            QTimer::singleShot(0, this, &QWidget::close);
        }
    };
}

void Menu::connectFileCommands()
{
    connect(action(MenuId::NewFace), &QAction::triggered, this, [this] {
        if (!refusedWhileBusy())
            m_files.newFile(document::SourceFile::FileTypes::FaceProgram);
    });
    connect(action(MenuId::NewData), &QAction::triggered, this, [this] {
        if (!refusedWhileBusy())
            m_files.newFile(document::SourceFile::FileTypes::DataDocument);
    });
    connect(action(MenuId::Open), &QAction::triggered, this, [this] {
        if (!refusedWhileBusy())
            m_files.open();
    });
    connect(action(MenuId::ReLoad), &QAction::triggered, this, [this] {
        if (!refusedWhileBusy())
            m_files.reload();
    });
    connect(action(MenuId::Over), &QAction::triggered, this, [this] { m_files.overwrite(); });
    connect(action(MenuId::Save), &QAction::triggered, this, [this] { m_files.saveAs(); });
    connect(action(MenuId::Printer), &QAction::triggered, this, &Menu::printDocument);
    connect(action(MenuId::Export), &QAction::triggered, this, &Menu::exportDocument);
    connect(action(MenuId::PrnDet), &QAction::triggered, this, &Menu::paperSetup);
    connect(action(MenuId::End), &QAction::triggered, this, &QWidget::close);
    connect(action(MenuId::Setup), &QAction::triggered, this, &Menu::showOptions);
    connect(action(MenuId::Aboutbox), &QAction::triggered, this, &Menu::showAbout);
}

// The editing commands work on the editor, and only while it is shown.
void Menu::connectEditCommands()
{
    const std::pair<MenuId, std::function<void()>> commands[] = {
        { MenuId::Undo, [this] { m_editor->undo(); } },
        { MenuId::Redo, [this] { m_editor->redo(); } },
        { MenuId::Cut, [this] { m_editor->cut(); } },
        { MenuId::CopyText, [this] { m_editor->copy(); } },
        { MenuId::Paste, [this] { m_editor->paste(); } },
        { MenuId::SelectAll, [this] { m_editor->selectAll(); } },
        { MenuId::Find, [this] { m_findBar->open(); } },
    };
    for (const auto& entry : commands) {
        connect(action(entry.first), &QAction::triggered, this, [this, command = entry.second] {
            if (m_layout.editorVisible)
                command();
        });
    }
    for (MenuId id : { MenuId::Undo, MenuId::Redo, MenuId::Cut, MenuId::CopyText })
        action(id)->setEnabled(false);
    connect(m_editor, &QPlainTextEdit::undoAvailable, action(MenuId::Undo), &QAction::setEnabled);
    connect(m_editor, &QPlainTextEdit::redoAvailable, action(MenuId::Redo), &QAction::setEnabled);
    connect(m_editor, &QPlainTextEdit::copyAvailable, action(MenuId::Cut), &QAction::setEnabled);
    connect(
        m_editor, &QPlainTextEdit::copyAvailable, action(MenuId::CopyText), &QAction::setEnabled);
}

// The tool labels of the top bar: the window modes, page turning and the zoom.
void Menu::toolClicked(int tool)
{
    constexpr std::array<MenuId, 6> commands { MenuId::None, MenuId::EWind, MenuId::DWind,
        MenuId::VWind, MenuId::Previous, MenuId::Next };
    if (tool >= 1 && tool < static_cast<int>(commands.size()))
        action(commands[static_cast<std::size_t>(tool)])->trigger();
    else if (tool == 6)
        m_preview->zoomOut();
    else if (tool == 7)
        m_preview->zoomIn();
}

void Menu::connectViewCommands()
{
    connect(action(MenuId::View), &QAction::triggered, this, &Menu::render);
    connect(action(MenuId::Next), &QAction::triggered, this, [this] { m_preview->pageStep(+1); });
    connect(
        action(MenuId::Previous), &QAction::triggered, this, [this] { m_preview->pageStep(-1); });
    connect(action(MenuId::Cross), &QAction::triggered, this, [this] { setTool(0); });
    connect(action(MenuId::Hand), &QAction::triggered, this, [this] { setTool(1); });
    for (const auto& entry : kMenuEntries) {
        if (entry.parent == MenuId::ZoomS) {
            const int percent = entry.index;
            connect(action(entry.id), &QAction::triggered, this,
                [this, percent] { m_preview->zoom(percent); });
        }
    }
    connect(action(MenuId::Copy), &QAction::triggered, this, [this] { m_preview->copyImage(); });
    connect(action(MenuId::EWind), &QAction::triggered, this, [this] {
        arrange(1.0);
        m_editor->setFocus();
    });
    connect(action(MenuId::DWind), &QAction::triggered, this, [this] { arrange(m_splitSaved); });
    connect(action(MenuId::VWind), &QAction::triggered, this, [this] {
        arrange(0.0);
        m_preview->box().setFocus();
    });
}

void Menu::setTool(int tool)
{
    m_preview->box().setTool(tool == 0 ? PreviewBox::Tool::Cross : PreviewBox::Tool::Hand);
    action(MenuId::Cross)->setChecked(tool == 0);
    action(MenuId::Hand)->setChecked(tool == 1);
}

namespace {

    // The wait cursor for as long as a command runs, however it ends.
    struct WaitCursor {
        WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
        ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
        WaitCursor(const WaitCursor&) = delete;
        WaitCursor& operator=(const WaitCursor&) = delete;
    };

    // What a job that threw came to, in words for the user.
    QString failureText(const std::exception_ptr& failure)
    {
        try {
            std::rethrow_exception(failure);
        } catch (const std::bad_alloc&) {
            return QStringLiteral("メモリが不足しています。");
        } catch (const shell::RunError& error) {
            return QString::number(error.number()) + u':' + error.description();
        } catch (const std::exception& error) {
            return QString::fromLocal8Bit(error.what());
        } catch (...) {
            return QStringLiteral("原因の分からない失敗");
        }
    }

}

// The printer dialog chooses printer, range, copies and paper; a new paper shows page 1 on it
// before the job prints. A job that fails outside its statements (a page worker that threw,
// memory exhausted) is told and leaves the window and the text as they were: an exception must
// not leave a Qt slot, which would end the program with the unsaved edits.
void Menu::printDocument()
{
    if (refusedWhileBusy())
        return;
    if (offerExportWithoutPrinter())
        return;
    document::JobOutcome outcome;
    const std::exception_ptr failure = runJob([this, &outcome] { outcome = m_source.DocPrint(); });
    if (const QString problem = outcome.outputProblem(outcome.file); !problem.isEmpty())
        shell::ShowMessage(problem, 0);
    m_preview->box().setScale(m_pages.Width(), m_pages.Height());
    m_bottomBar->setPrinterName(m_printer.DeviceName);
    m_topBar->ShowStatus(3, ViewRules::pageText(m_preview->currentPage(), m_merged.Page));
    if (failure) {
        const QString text = QStringLiteral("印刷できませんでした: ") + failureText(failure);
        WriteLog(QStringLiteral("Menu/mnuPrinter>") + text);
        m_bottomBar->setMessage(text);
        constexpr int CriticalStyle = 16;
        shell::ShowMessage(text, CriticalStyle);
    }
    if (m_closePending) {
        m_closePending = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

std::exception_ptr Menu::runJob(const std::function<void()>& job)
{
    const QScopedValueRollback printing(m_printing, true);
    const WaitCursor waiting;
    try {
        job();
    } catch (...) {
        return std::current_exception();
    }
    return nullptr;
}

bool Menu::offerExportWithoutPrinter()
{
    const auto& printer = render::PrinterObject::current();
    if (printer.canPrint())
        return false;
    const QString problem = printer.serverProblem();
    constexpr int YesNoExclamation = 4 + 48;
    constexpr int Yes = 6;
    if (shell::ShowMessage((problem.isEmpty() ? QStringLiteral("プリンタがありません") : problem)
                + QStringLiteral("\r\nPDF に出力しますか?"),
            YesNoExclamation)
        == Yes)
        exportDocument();
    return true;
}

// PDF に出力: the export of the command line, to the file and the pages the user chooses. A file
// that could not be written is told in a box naming it, a written one in the bottom bar.
void Menu::exportDocument()
{
    if (refusedWhileBusy())
        return;
    const QString file = DocumentExport::chooseFile(this, m_file.FileName());
    if (file.isEmpty())
        return;
    DocumentExport::Outcome outcome;
    const std::exception_ptr failure = runJob(
        [this, &outcome, &file] { outcome = DocumentExport::write(m_source, file, this); });
    m_preview->box().setScale(m_pages.Width(), m_pages.Height());
    m_topBar->ShowStatus(3, ViewRules::pageText(m_preview->currentPage(), m_merged.Page));
    using Status = DocumentExport::Outcome::Status;
    if (failure || outcome.status == Status::Failed) {
        const QString reason = failure ? failureText(failure) : outcome.error;
        const QString text = file + QStringLiteral(": 書き込めませんでした")
            + (reason.isEmpty() ? QString() : QStringLiteral(" (") + reason + u')');
        WriteLog(QStringLiteral("Menu/mnuExport>") + text);
        m_bottomBar->setMessage(text);
        constexpr int CriticalStyle = 16;
        shell::ShowMessage(text, CriticalStyle);
    } else if (outcome.status == Status::Written) {
        m_bottomBar->setMessage(file + QStringLiteral(" に出力しました"));
    }
    if (m_closePending) {
        m_closePending = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

// 用紙の設定: the print details choose printer, paper, orientation and corrections; the preview
// shows the current page on the paper chosen.
void Menu::paperSetup()
{
    if (refusedWhileBusy())
        return;
    m_preview->box().clearPicture();
    m_source.OpenPrintDet();
    m_preview->paperChanged();
    m_bottomBar->setPrinterName(m_printer.DeviceName);
}

void Menu::showOptions()
{
    frmOptions options(this);
    options.exec();
}

void Menu::showAbout()
{
    About about(this);
    about.setIconRes(applicationPixmap(128));
    about.exec();
}

}

#include "window/Menu.h"

#include "render/PrinterObject.h"
#include "shell/RunError.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ModalAnswer.h"
#include "tests/window/WindowTestSupport.h"
#include "window/BottomBar.h"
#include "window/FindBar.h"
#include "window/PageClipboard.h"
#include "window/PreviewPane.h"
#include "window/SourceEdit.h"
#include "window/SourceHighlighter.h"
#include "window/Splitter.h"
#include "window/TopBar.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>
#include <new>

namespace {

using vorlix::document::Source;
using vorlix::document::SourceFile;
using vorlix::test::writeFileBytes;
using vorlix::window::Menu;
using vorlix::window::MenuId;
using vorlix::window::PreviewBox;

using enum vorlix::test::Answer;

// The main window on the offscreen platform over a fresh document, shown and activated once, in
// a temporary home that holds the invoice sample.
class MenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        menu = std::make_unique<Menu>(*w.source);
        menu->resize(1000, 700);
        menu->show();
        // The first activation starts a new data document and renders it.
        QCoreApplication::processEvents();
    }
    void TearDown() override
    {
        menu.reset();
        vorlix::render::PrinterObject::current().setExportFile(QString());
    }
    // Print jobs go to a file in place of the printer this machine lacks.
    void printToFile()
    {
        vorlix::render::PrinterObject::current().setExportFile(w.path("job.pdf"));
    }

    void open(const QString& name) { menu->fileCommands().openName(w.path(name)); }
    QString status(int slot) { return menu->topBar().statusText(slot); }
    Source& source() { return *w.source; }
    SourceFile& file() { return w.source->document(); }
    PreviewBox& box() { return menu->preview().box(); }
    QStringList prompts() const { return vorlix::test::promptTexts(messages); }

    vorlix::test::WindowEnvironment w;
    vorlix::test::MessageRecorder messages { Cancel };
    std::unique_ptr<Menu> menu;
};

TEST_F(MenuTest, EveryMenuCaptionOfTheTableIsThere)
{
    for (const auto& entry : vorlix::window::kMenuEntries) {
        QAction* action = menu->action(entry.id);
        ASSERT_NE(action, nullptr) << entry.name;
        EXPECT_EQ(action->text(), QString::fromUtf16(entry.caption)) << entry.name;
    }
    QStringList bar;
    for (QAction* action : menu->menuBar()->actions())
        bar << action->text();
    EXPECT_EQ(bar,
        QStringList({ QStringLiteral("ファイル(&F)"), QStringLiteral("編集(&E)"),
            QStringLiteral("描画実行(&G)"), QStringLiteral("ビュー(&V)"),
            QStringLiteral("ウィンドウ(&W)"), QStringLiteral("ヘルプ(&H)") }));
    EXPECT_EQ(menu->menu(MenuId::ZoomS)->actions().size(), 8);
}

TEST_F(MenuTest, FirstActivationStartsADataDocumentAndRendersIt)
{
    EXPECT_EQ(file().FileName(), QStringLiteral("newfile.mnd"));
    EXPECT_EQ(menu->topBar().nameBox().text(), QStringLiteral("newfile.mnd"));
    EXPECT_EQ(menu->windowTitle(), QStringLiteral("vorlix newfile"));
    EXPECT_EQ(status(3), QStringLiteral("ページ 1/1"));
    EXPECT_NE(box().picture(), nullptr);
}

TEST_F(MenuTest, TitleChangesOnTheFirstEditOnly)
{
    open(QStringLiteral("invoice.mnd"));
    EXPECT_EQ(menu->windowTitle(), QStringLiteral("vorlix invoice"));
    EXPECT_FALSE(file().fFileEdit);
    QSignalSpy titles(menu.get(), &QWidget::windowTitleChanged);
    menu->editor().setFocus();
    QTest::keyClick(&menu->editor(), Qt::Key_A);
    EXPECT_EQ(menu->windowTitle(), QStringLiteral("vorlix 更新 invoice"));
    EXPECT_TRUE(file().fFileEdit);
    QTest::keyClicks(&menu->editor(), QStringLiteral("bc"));
    EXPECT_EQ(titles.count(), 1);
    // Colouring the text is no edit.
    menu->editor().highlighter().rehighlight();
    EXPECT_EQ(titles.count(), 1);
}

// Undoing back to the text as it was read or saved is no edit: the caption loses "更新" and
// closing asks nothing; one more change is an edit again.
TEST_F(MenuTest, UndoingBackToTheSavedTextIsNoEdit)
{
    open(QStringLiteral("invoice.mnd"));
    menu->editor().setFocus();
    QTest::keyClicks(&menu->editor(), QStringLiteral("ab"));
    EXPECT_EQ(menu->windowTitle(), QStringLiteral("vorlix 更新 invoice"));
    menu->editor().undo();
    EXPECT_EQ(menu->windowTitle(), QStringLiteral("vorlix invoice"));
    EXPECT_FALSE(file().fFileEdit);
    EXPECT_TRUE(menu->fileCommands().queryClose());
    EXPECT_TRUE(prompts().isEmpty());

    // After a save the saved text is the one to come back to.
    QTest::keyClick(&menu->editor(), Qt::Key_X);
    ASSERT_TRUE(menu->fileCommands().overwrite());
    QTest::keyClick(&menu->editor(), Qt::Key_Y);
    EXPECT_TRUE(file().fFileEdit);
    menu->editor().undo();
    EXPECT_FALSE(file().fFileEdit);
    menu->editor().undo();
    EXPECT_TRUE(file().fFileEdit);
    EXPECT_EQ(menu->windowTitle(), QStringLiteral("vorlix 更新 invoice"));
}

TEST_F(MenuTest, PagesTurnWithinTheDocumentAndTheStatusIsRewritten)
{
    // Four invoices, the fourth of which goes on over a second page: five pages to turn.
    open(QStringLiteral("invoice.mnd"));
    EXPECT_EQ(status(3), QStringLiteral("ページ 1/5"));
    const auto first = box().picture();
    QTest::keyClick(&box(), Qt::Key_PageDown);
    EXPECT_EQ(status(3), QStringLiteral("ページ 2/5"));
    EXPECT_NE(box().picture(), first);
    for (int page = 3; page <= 5; ++page)
        menu->action(MenuId::Next)->trigger();
    EXPECT_EQ(menu->preview().currentPage(), 5);
    const auto last = box().picture();
    menu->topBar().ShowStatus(3, QString());
    menu->action(MenuId::Next)->trigger();
    EXPECT_EQ(menu->preview().currentPage(), 5);
    EXPECT_EQ(box().picture(), last);
    EXPECT_EQ(status(3), QStringLiteral("ページ 5/5"));
    QTest::keyClick(&box(), Qt::Key_PageUp);
    EXPECT_EQ(status(3), QStringLiteral("ページ 4/5"));

    // A shorter document rendered from page 2 shows its first page and says so.
    open(QStringLiteral("sample-face.fae"));
    EXPECT_EQ(menu->preview().currentPage(), 1);
    EXPECT_EQ(status(3), QStringLiteral("ページ 1/1"));
}

TEST_F(MenuTest, ZoomIsClampedAndResizesThePicture)
{
    open(QStringLiteral("invoice.mnd"));
    menu->action(MenuId::Zoom100)->trigger();
    const QSize full = box().size();
    menu->action(MenuId::Zoom40)->trigger();
    EXPECT_EQ(status(2), QStringLiteral("倍率 40%"));
    EXPECT_NEAR(box().width(), full.width() * 0.4, 1.0);
    // "－" at 40 % stays at 40 %.
    QTest::mouseClick(&menu->topBar().toolLabel(6), Qt::LeftButton);
    EXPECT_EQ(status(2), QStringLiteral("倍率 40%"));
    EXPECT_DOUBLE_EQ(source().preview().PicRatio(), 0.4);
    QTest::mouseClick(&menu->topBar().toolLabel(7), Qt::LeftButton);
    EXPECT_EQ(status(2), QStringLiteral("倍率 60%"));
    menu->preview().zoom(30);
    EXPECT_EQ(status(2), QStringLiteral("倍率 40%"));
    menu->preview().zoom(250);
    EXPECT_EQ(status(2), QStringLiteral("倍率 200%"));
    EXPECT_NEAR(box().width(), full.width() * 2.0, 1.0);
    EXPECT_NE(box().picture(), nullptr);

    // On a screen of twice the density the page is drawn with twice the pixels, not enlarged.
    menu->preview().zoom(40);
    const QImage sharp = box().pageImage(2.0);
    EXPECT_EQ(sharp.size(), box().size() * 2);
    EXPECT_EQ(sharp.devicePixelRatio(), 2.0);
    const QImage enlarged = box().pageImage(1.0).scaled(sharp.size());
    EXPECT_NE(sharp.convertToFormat(QImage::Format_RGB32),
        enlarged.convertToFormat(QImage::Format_RGB32));
}

// Besides the specified keys the usual ones work, the editing commands have a menu of their own,
// and every tool label says what it does and does it.
TEST_F(MenuTest, TheUsualKeysTheEditMenuAndTheToolLabels)
{
    open(QStringLiteral("invoice.mnd"));
    menu->activateWindow();
    menu->editor().setFocus();
    QTest::keyClicks(&menu->editor(), QStringLiteral("xy"));
    QTest::keyClick(&menu->editor(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(file().fFileEdit);
    EXPECT_TRUE(vorlix::test::readFileBytes(w.path("invoice.mnd")).startsWith("xy"));
    // The edit menu works on the editor also while the page has the focus.
    box().setFocus();
    menu->action(MenuId::Undo)->trigger();
    EXPECT_FALSE(file().Text().startsWith(QStringLiteral("xy")));
    menu->action(MenuId::SelectAll)->trigger();
    EXPECT_EQ(menu->editor().textCursor().selectedText().size(),
        menu->editor().document()->characterCount() - 1);
    menu->action(MenuId::Find)->trigger();
    EXPECT_TRUE(menu->findBar().isVisible());
    // Undone, the text differs from the one saved: the new face asks first.
    messages.answers = { No };
    QTest::keyClick(&box(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(file().FileType, SourceFile::FileTypes::FaceProgram);

    struct Label {
        int index;
        double split; // the window mode after a click, -1 when the mode stays
        QString pageStatus; // the page status after a click, empty when it stays
    };
    open(QStringLiteral("invoice.mnd"));
    const Label labels[] = {
        { 1, 1.0, {} },
        { 2, menu->splitSaved(), {} },
        { 3, 0.0, {} },
        { 5, -1, QStringLiteral("ページ 2/5") },
        { 4, -1, QStringLiteral("ページ 1/5") },
    };
    for (const Label& label : labels) {
        SCOPED_TRACE(label.index);
        QLabel& tool = menu->topBar().toolLabel(label.index);
        EXPECT_FALSE(tool.toolTip().isEmpty());
        QTest::mouseClick(&tool, Qt::LeftButton);
        if (label.split >= 0) {
            EXPECT_DOUBLE_EQ(menu->layoutNow().splitNow, label.split);
        }
        if (!label.pageStatus.isEmpty()) {
            EXPECT_EQ(status(3), label.pageStatus);
        }
    }
    EXPECT_FALSE(menu->menu(MenuId::Edit)->isEnabled());

    QTest::keyClick(&box(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(menu->isVisible());
}

TEST_F(MenuTest, ScrollRangesKeysAndHandPanning)
{
    open(QStringLiteral("invoice.mnd"));
    // A page smaller than the pane: a non-negative range.
    menu->action(MenuId::VWind)->trigger();
    menu->preview().zoom(40);
    EXPECT_GE(menu->preview().horizontalMaximum(), 0);
    EXPECT_GE(menu->preview().verticalMaximum(), 0);
    // A larger page: a negative range that reaches the far edge.
    menu->preview().zoom(200);
    auto& pane = menu->preview();
    ASSERT_LT(pane.verticalMaximum(), 0);
    QTest::keyClick(&box(), Qt::Key_End);
    EXPECT_EQ(pane.verticalValue(), pane.verticalMaximum());
    EXPECT_EQ(box().y() + box().height(), pane.viewport().height());
    EXPECT_EQ(box().x() + box().width(), pane.viewport().width());
    QTest::keyClick(&box(), Qt::Key_Home);
    EXPECT_EQ(pane.verticalValue(), 0);
    QTest::keyClick(&box(), Qt::Key_Down);
    EXPECT_EQ(pane.verticalValue(), -210);
    EXPECT_EQ(box().y(), -14);
    QTest::keyClick(&box(), Qt::Key_Up);
    QTest::keyClick(&box(), Qt::Key_Up);
    EXPECT_EQ(pane.verticalValue(), 0);
    // The hand drags the page; the scroll bars take its new place.
    QTest::mousePress(&box(), Qt::LeftButton, {}, QPoint(200, 200));
    QTest::mouseMove(&box(), QPoint(150, 120));
    QTest::mouseRelease(&box(), Qt::LeftButton, {}, QPoint(150, 120));
    EXPECT_EQ(pane.horizontalValue(), box().x() * 15);
    EXPECT_EQ(pane.verticalValue(), box().y() * 15);
    EXPECT_LT(pane.verticalValue(), 0);
    EXPECT_EQ(pane.verticalBar().value() * 15, -pane.verticalValue());
}

TEST_F(MenuTest, WindowModesAndTheSplitter)
{
    menu->action(MenuId::EWind)->trigger();
    EXPECT_EQ(menu->layoutNow().splitNow, 1.0);
    EXPECT_FALSE(menu->preview().isVisible());
    EXPECT_TRUE(menu->editor().isVisible());
    menu->action(MenuId::VWind)->trigger();
    EXPECT_EQ(menu->layoutNow().splitNow, 0.0);
    EXPECT_FALSE(menu->editor().isVisible());
    EXPECT_TRUE(menu->preview().horizontalBar().isVisible());
    menu->action(MenuId::DWind)->trigger();
    EXPECT_DOUBLE_EQ(menu->layoutNow().splitNow, menu->splitSaved());

    const int width = menu->formWidth();
    // Dragging the splitter with the mouse: the panes wait while it moves.
    auto& splitter = menu->splitter();
    const int before = splitter.x();
    QTest::mousePress(&splitter, Qt::LeftButton, {}, QPoint(2, 50));
    QTest::mouseMove(&splitter, QPoint(-100, 50));
    EXPECT_FALSE(menu->editor().isEnabled());
    // The splitter follows 50 twips left of the pointer.
    EXPECT_EQ(splitter.x(), qRound(((before - 100) * 15 - 50) / 15.0));
    QTest::mouseRelease(&splitter, Qt::LeftButton, {}, QPoint(-100, 50));
    EXPECT_TRUE(menu->editor().isEnabled());
    menu->releaseSplitter(840);
    EXPECT_EQ(menu->layoutNow().splitNow, 0.0);
    menu->releaseSplitter(width - 840);
    EXPECT_EQ(menu->layoutNow().splitNow, 1.0);
    menu->releaseSplitter(width / 2);
    EXPECT_DOUBLE_EQ(menu->splitSaved(), (width / 2) / double(width));
    EXPECT_EQ(menu->editor().width(), qRound(width / 2 / 15.0));
    // A resize keeps a single-pane mode.
    menu->action(MenuId::VWind)->trigger();
    menu->resize(900, 650);
    EXPECT_EQ(menu->layoutNow().splitNow, 0.0);
}

TEST_F(MenuTest, DroppingTwoFilesOpensTheFirst)
{
    QMimeData data;
    data.setUrls({ QUrl::fromLocalFile(w.path("invoice.mnd")),
        QUrl::fromLocalFile(w.path("sample-face.fae")) });
    QStringList logLines;
    {
        vorlix::test::LogCapture log;
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(menu->editor().viewport(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(menu->editor().viewport(), &drop);
        logLines = log.lines();
    }
    EXPECT_EQ(file().FileName(), w.path("invoice.mnd"));
    EXPECT_EQ(menu->topBar().nameBox().text(), w.path("invoice.mnd"));
    EXPECT_TRUE(
        logLines.contains(QStringLiteral("Menu/Text1/OLEDragDrop>") + w.path("invoice.mnd")));
    EXPECT_EQ(status(3), QStringLiteral("ページ 1/5"));

    // A folder dropped on the window: a message, and the document stays.
    QMimeData folder;
    folder.setUrls({ QUrl::fromLocalFile(w.env.root()) });
    QDragEnterEvent enterFolder(
        QPoint(5, 5), Qt::CopyAction, &folder, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&box(), &enterFolder);
    QDropEvent dropFolder(QPointF(5, 5), Qt::CopyAction, &folder, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&box(), &dropFolder);
    EXPECT_EQ(file().FileName(), w.path("invoice.mnd"));
    ASSERT_FALSE(prompts().isEmpty());
    EXPECT_TRUE(
        prompts().last().endsWith(QStringLiteral("フォルダです。ファイルを指定してください")));
}

TEST_F(MenuTest, SettingsAreWrittenAtUnloadWithThePlaceOnlyInTheNormalState)
{
    auto& settings = w.settings();
    menu->preview().zoom(60);
    menu->releaseSplitter(menu->formWidth() / 4);
    menu->move(30, 45);
    menu->close();
    EXPECT_EQ(settings.GetString("view", "kPsa", ""), QStringLiteral("0.6"));
    EXPECT_DOUBLE_EQ(settings.GetString("view", "bLps", "").toDouble(), menu->splitSaved());
    EXPECT_EQ(settings.GetString("menu", "width", ""), QString::number(menu->width() * 15));
    EXPECT_EQ(settings.GetString("menu", "height", ""), QString::number(menu->height() * 15));

    settings.SetString("menu", "width", "1234");
    menu->show();
    menu->showMaximized();
    QCoreApplication::processEvents();
    ASSERT_TRUE(menu->isMaximized());
    menu->writeSettings();
    EXPECT_EQ(settings.GetString("menu", "width", ""), QStringLiteral("1234"));
}

TEST(MenuStart, SettingsAreReadAtLoadAndTheViewModeShowsOnlyThePreview)
{
    vorlix::test::WindowEnvironment w(vorlix::shell::RunModes::View);
    vorlix::test::MessageRecorder messages;
    auto& settings = w.settings();
    settings.SetString("view", "bLps", "0.25");
    settings.SetString("menu", "left", "300");
    settings.SetString("menu", "top", "450");
    settings.SetString("menu", "width", "15000");
    settings.SetString("menu", "height", "9000");
    settings.SetString("menu", "fontname", "Terminal");
    Menu menu(*w.source);
    EXPECT_DOUBLE_EQ(menu.splitSaved(), 0.25);
    EXPECT_EQ(menu.layoutNow().splitNow, 0.0);
    EXPECT_EQ(menu.size(), QSize(1000, 600));
    EXPECT_EQ(menu.pos(), QPoint(20, 30));
    // "Terminal" stands for a fixed-pitch face.
    EXPECT_TRUE(QFontInfo(menu.editor().font()).fixedPitch())
        << QFontInfo(menu.editor().font()).family().toStdString();
    menu.action(MenuId::DWind)->trigger();
    EXPECT_DOUBLE_EQ(menu.layoutNow().splitNow, 0.25);
}

// With no place of its own stored yet the window takes two thirds of the screen; the next start
// puts it where it was left.
TEST(MenuStart, TheFirstStartTakesTwoThirdsOfTheScreen)
{
    vorlix::test::WindowEnvironment w;
    vorlix::test::MessageRecorder messages;
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    {
        Menu menu(*w.source);
        EXPECT_EQ(menu.size(), QSize(area.width() * 2 / 3, area.height() * 2 / 3));
        EXPECT_EQ(menu.pos(), QPoint(area.width() / 6, area.height() / 6));
        menu.resize(700, 500);
        menu.writeSettings();
    }
    Menu menu(*w.source);
    EXPECT_EQ(menu.size(), QSize(700, 500));
}

TEST_F(MenuTest, ClosingAnEditedDocumentAsks)
{
    QTest::keyClick(&menu->editor(), Qt::Key_X);
    messages.answers = { Cancel };
    EXPECT_FALSE(menu->close());
    EXPECT_TRUE(menu->isVisible());
    messages.answers = { No };
    EXPECT_TRUE(menu->close());
    EXPECT_EQ(prompts().size(), 2);
}

TEST_F(MenuTest, CopyImageWithTheHandPutsBitmapSvgAndPdf)
{
    open(QStringLiteral("invoice.mnd"));
    menu->action(MenuId::Copy)->trigger();
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->hasImage());
    const QImage image = qvariant_cast<QImage>(data->imageData());
    EXPECT_EQ(image.size(), box().size());
    EXPECT_TRUE(data->data(vorlix::window::PageClipboard::SvgType).startsWith("<?xml"));
    EXPECT_TRUE(data->data(vorlix::window::PageClipboard::PdfType).startsWith("%PDF"));
    EXPECT_TRUE(data->data(vorlix::window::PageClipboard::SvgType).contains("svg"));
}

TEST_F(MenuTest, CopyImageWithTheCrossCopiesTheRangeOrAsksForOne)
{
    open(QStringLiteral("invoice.mnd"));
    menu->action(MenuId::Cross)->trigger();
    EXPECT_EQ(box().tool(), PreviewBox::Tool::Cross);
    EXPECT_EQ(box().selection(), QRectF(200, 100, 300, 300));
    // Dragging from (a) to (b) selects and reports the range relative to the marker.
    const QPoint a = box().toPixels(QPointF(100, 200)).toPoint();
    const QPoint b = box().toPixels(QPointF(600, 500)).toPoint();
    QTest::mousePress(&box(), Qt::LeftButton, {}, a);
    QTest::mouseMove(&box(), b);
    QTest::mouseRelease(&box(), Qt::LeftButton, {}, b);
    EXPECT_TRUE(status(1).contains(QStringLiteral(" ⇒ "))) << status(1).toStdString();
    menu->action(MenuId::Copy)->trigger();
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    ASSERT_TRUE(data->hasImage());
    const QImage image = qvariant_cast<QImage>(data->imageData());
    EXPECT_NEAR(image.width(), b.x() - a.x(), 2);
    EXPECT_NEAR(image.height(), b.y() - a.y(), 2);
    EXPECT_FALSE(data->hasFormat(vorlix::window::PageClipboard::PdfType));
    EXPECT_TRUE(prompts().isEmpty());

    box().setSelection(QRectF(300, 300, 0, 50));
    menu->action(MenuId::Copy)->trigger();
    ASSERT_EQ(prompts().size(), 1);
    EXPECT_EQ(
        prompts().at(0), QStringLiteral("マウスポインタがクロスの時は先に範囲を指定してください"));
}

TEST_F(MenuTest, PointerStatusIsRelativeToTheMarker)
{
    open(QStringLiteral("invoice.mnd"));
    const QPoint at = box().toPixels(QPointF(1200, 455)).toPoint();
    QTest::mouseMove(&box(), at);
    const QPointF page = box().toPage(at);
    EXPECT_EQ(status(0), QStringLiteral("%1x%2").arg(qRound(page.x())).arg(qRound(page.y())));
    box().moveOrigin(QPointF(1000, 400));
    QTest::mouseMove(&box(), at + QPoint(1, 0));
    const QPointF moved = box().toPage(at + QPoint(1, 0));
    EXPECT_EQ(status(0),
        QStringLiteral("%1x%2").arg(qRound(moved.x() - 1000)).arg(qRound(moved.y() - 400)));
}

TEST_F(MenuTest, TheTitleIsTheFilesNameWithoutFolderAndExtension)
{
    ASSERT_TRUE(QFile::copy(w.path("invoice.mnd"), w.path("請求.mnd")));
    open(QStringLiteral("請求.mnd"));
    EXPECT_EQ(menu->windowTitle(), QStringLiteral("vorlix 請求"));
    EXPECT_EQ(menu->topBar().nameBox().text(), w.path("請求.mnd"));
    EXPECT_EQ(menu->topBar().nameBox().cursorPosition(), w.path("請求.mnd").size());
}

// Without a printer the print command says so before any dialog and offers the export instead:
// "no" ends it there, "yes" goes on to the export's file dialog.
TEST_F(MenuTest, PrintingWithoutAPrinterSaysSoBeforeAnyDialog)
{
    open(QStringLiteral("invoice.mnd"));
    const struct {
        int answer;
        QString dialog; // the class of the one dialog that follows, if any
    } cases[] = { { No, QString() }, { Yes, QStringLiteral("QFileDialog") } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        messages.prompts.clear();
        messages.answers = { c.answer };
        QString dialogs;
        vorlix::test::ModalAnswer answer([&](QWidget& dialog) {
            dialogs += QString::fromLatin1(dialog.metaObject()->className());
            qobject_cast<QDialog*>(&dialog)->reject();
        });
        menu->action(MenuId::Printer)->trigger();
        EXPECT_EQ(dialogs, c.dialog);
        ASSERT_EQ(prompts().size(), 1);
        EXPECT_EQ(prompts().at(0), QStringLiteral("プリンタがありません\r\nPDF に出力しますか?"));
        EXPECT_EQ(status(3), QStringLiteral("ページ 1/5"));
    }
}

// 用紙の設定 shows the print details; the preview takes the paper chosen and shows the page again.
TEST_F(MenuTest, PaperSetUpShowsTheCurrentPageOnTheNewPaper)
{
    open(QStringLiteral("invoice.mnd"));
    menu->action(MenuId::Next)->trigger();
    const int portraitWidth = box().width();
    vorlix::test::ModalAnswer answer([](QWidget& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("印刷の詳細"));
        dialog.findChild<QRadioButton*>(QStringLiteral("Option1_1"))->click();
        dialog.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    });
    menu->action(MenuId::PrnDet)->trigger();
    ASSERT_TRUE(answer.answered());
    EXPECT_EQ(source().printer().Orientation, 2);
    EXPECT_EQ(source().preview().Width(), 2970);
    EXPECT_GT(box().width(), portraitWidth);
    EXPECT_EQ(menu->preview().currentPage(), 2);
    EXPECT_NE(box().picture(), nullptr);
}

TEST_F(MenuTest, SettingsAndVersionOpenTheirDialogs)
{
    QStringList titles;
    {
        vorlix::test::ModalAnswer answer([&](QWidget& dialog) {
            titles << dialog.windowTitle();
            qobject_cast<QDialog*>(&dialog)->reject();
        });
        menu->action(MenuId::Setup)->trigger();
    }
    {
        vorlix::test::ModalAnswer answer([&](QWidget& dialog) {
            titles << dialog.windowTitle();
            EXPECT_FALSE(dialog.findChild<QLabel*>(QStringLiteral("Image1"))->pixmap().isNull());
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        menu->action(MenuId::Aboutbox)->trigger();
    }
    EXPECT_EQ(titles,
        QStringList({ QStringLiteral("vorlixの設定"), QStringLiteral("vorlixのバージョン情報") }));
    EXPECT_TRUE(prompts().isEmpty());
}

TEST_F(MenuTest, ADataDocumentErrorSelectsTheLineAndShowsTheMessage)
{
    writeFileBytes(
        w.path("bad.mnd"), "<?xml ?>\r\n<TZQ_002>\r\n<face>x.fae</fac>\r\n</TZQ_002>\r\n");
    messages.answers = { Ok };
    open(QStringLiteral("bad.mnd"));
    ASSERT_FALSE(prompts().isEmpty());
    EXPECT_TRUE(prompts().last().startsWith(QStringLiteral("ソースエラー")));
    EXPECT_FALSE(menu->bottomBar().message().isEmpty());
    EXPECT_EQ(menu->editor().textCursor().blockNumber(), 2);
    EXPECT_TRUE(menu->editor().textCursor().hasSelection());
}

TEST_F(MenuTest, AnInterpreterErrorSelectsTheFailedStatement)
{
    writeFileBytes(w.path("fails.fae"),
        "fs,1,\"ＭＳ 明朝\",9,0;\r\nh,100,100,500;\r\nh,100,x,500;\r\nv,1,2,3;\r\n");
    messages.answers = { Ok };
    open(QStringLiteral("fails.fae"));
    // One box names the failure, the statement and its line; zooming and turning pages show the
    // page again without another.
    ASSERT_EQ(prompts().size(), 1);
    EXPECT_EQ(prompts().at(0),
        QStringLiteral("インタプリタエラー 13: 型が一致しません。\r\n3 行目: h,100,x,500"));
    menu->preview().zoomIn();
    menu->preview().pageStep(+1);
    menu->preview().zoomOut();
    EXPECT_EQ(prompts().size(), 1);
    EXPECT_EQ(source().preview().report().statement, QStringLiteral("h,100,x,500"));
    EXPECT_EQ(menu->editor().textCursor().selectedText(), QStringLiteral("h,100,x,500"));
    EXPECT_EQ(menu->editor().textCursor().blockNumber(), 2);
    EXPECT_TRUE(menu->bottomBar().message().startsWith(QStringLiteral("インタプリタエラー 13:")))
        << menu->bottomBar().message().toStdString();

    // On a data document's page the bottom bar and the box name the face's file and line.
    writeFileBytes(w.path("fails.mnd"),
        "<?xml ?>\r\n<TZQ_002>\r\n<face>fails.fae</face>\r\n<piece><a>1</a></piece>\r\n"
        "</TZQ_002>\r\n");
    messages.answers = { Ok };
    open(QStringLiteral("fails.mnd"));
    EXPECT_EQ(prompts().last(),
        QStringLiteral("インタプリタエラー 13: 型が一致しません。\r\nfails.fae:3: h,100,x,500"));
    EXPECT_EQ(menu->bottomBar().message(),
        QStringLiteral("fails.fae:3: インタプリタエラー 13:型が一致しません。"));

    // A stray statement is a warning, found the same way.
    writeFileBytes(w.path("stray.fae"), "fs,1,\"ＭＳ 明朝\",9,0;\r\nzz,1,2;\r\nv,1,2,3;\r\n");
    messages.answers = { Ok };
    open(QStringLiteral("stray.fae"));
    EXPECT_EQ(prompts().last(), QStringLiteral("インタプリタ警告\r\n2 行目: zz,1,2"));
    EXPECT_EQ(menu->bottomBar().message(), QStringLiteral("インタプリタ警告: zz,1,2"));
    EXPECT_EQ(menu->editor().textCursor().selectedText(), QStringLiteral("zz,1,2"));

    // A document that does not even merge speaks for itself, not the last page shown.
    writeFileBytes(
        w.path("bad.mnd"), "<?xml ?>\r\n<TZQ_002>\r\n<face>x.fae</fac>\r\n</TZQ_002>\r\n");
    messages.answers = { Ok };
    open(QStringLiteral("bad.mnd"));
    EXPECT_EQ(menu->bottomBar().message(), source().merge().report().sErrMsg);
    EXPECT_FALSE(menu->bottomBar().message().startsWith(QStringLiteral("インタプリタ")));

    // A text of another type is not merged: the last document's problem is not repeated.
    writeFileBytes(w.path("notes.txt"), "just notes\r\n");
    messages.answers = { Ok };
    open(QStringLiteral("notes.txt"));
    EXPECT_EQ(prompts().last(), QStringLiteral("ファイルタイプが変です"));
    EXPECT_TRUE(menu->bottomBar().message().isEmpty()) << menu->bottomBar().message().toStdString();
}

TEST(MenuStart, TheWindowHandsOutEventsWhileTheInterpreterRuns)
{
    vorlix::test::WindowEnvironment w;
    vorlix::test::MessageRecorder messages;
    auto& hooks = vorlix::shell::moduleState().ui;
    EXPECT_FALSE(hooks.pendingEvents);
    {
        Menu menu(*w.source);
        ASSERT_TRUE(hooks.pendingEvents);
        w.source->document().Clear(SourceFile::FileTypes::FaceProgram);
        // An event posted before a render is handled while the render runs.
        bool duringRender = false;
        QMetaObject::invokeMethod(
            &menu, [&] { duringRender = menu.preview().busy(); }, Qt::QueuedConnection);
        menu.render();
        EXPECT_TRUE(duringRender);
    }
    // Without the window nothing is handed out.
    EXPECT_FALSE(hooks.pendingEvents);
}

TEST_F(MenuTest, FindSelectsTheNextOccurrence)
{
    open(QStringLiteral("invoice.mnd"));
    menu->editor().setFocus();
    QTest::keyClick(&menu->editor(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(menu->findBar().isVisible());
    QTest::keyClicks(&menu->findBar().field(), QStringLiteral("piece"));
    QTest::keyClick(&menu->findBar().field(), Qt::Key_Return);
    EXPECT_EQ(menu->editor().textCursor().selectedText(), QStringLiteral("piece"));
    const int first = menu->editor().textCursor().position();
    EXPECT_TRUE(menu->findBar().findNext());
    EXPECT_GT(menu->editor().textCursor().position(), first);
    EXPECT_FALSE(menu->findBar().field().text().isEmpty());
    menu->findBar().field().setText(QStringLiteral("no such text anywhere"));
    EXPECT_FALSE(menu->findBar().findNext());
}

TEST_F(MenuTest, ABinaryFileOpensAsText)
{
    QByteArray bytes;
    for (unsigned i = 0; i < 300000; ++i)
        bytes.append(static_cast<char>((i * 7919U) % 256U));
    writeFileBytes(w.path("binary.fae"), bytes);
    messages.answers = { Ok, Ok, Ok };
    open(QStringLiteral("binary.fae"));
    EXPECT_EQ(file().FileName(), w.path("binary.fae"));
    EXPECT_GT(menu->editor().document()->characterCount(), 1000);
    EXPECT_EQ(menu->windowTitle(), QStringLiteral("vorlix binary"));
}

TEST_F(MenuTest, AHugeFaceCanBeTypedInto)
{
    QByteArray face;
    const QByteArray line = "s,100,100,\"line of a very long face\";h,100,200,500; # comment\r\n";
    while (face.size() < 10 * 1024 * 1024)
        face += line;
    writeFileBytes(w.path("huge.fae"), face);
    menu->fileCommands().openName(w.path("huge.fae"));
    QTextCursor cursor = menu->editor().textCursor();
    cursor.movePosition(QTextCursor::End);
    menu->editor().setTextCursor(cursor);
    QTest::keyClicks(&menu->editor(), QStringLiteral("v,1,1,1;"));
    EXPECT_TRUE(file().fFileEdit);
    EXPECT_TRUE(file().Text().endsWith(QStringLiteral("v,1,1,1;")));
}

}

namespace {

// While a render runs (the interpreter hands out events), every command that would replace the
// document or start a job is refused with a status text: the document, its name and its text
// stay, and no question or dialog comes. A second print during the first is refused alike.
TEST_F(MenuTest, CommandsThatReplaceTheDocumentWaitForARender)
{
    QByteArray slow = "fs,1,\"ＭＳ 明朝\",9,0;\r\n";
    for (int i = 0; i < 40000; ++i)
        slow += "h,100,100,500;\r\n";
    writeFileBytes(w.path("slow.fae"), slow);
    open(QStringLiteral("slow.fae"));
    menu->editor().appendPlainText(QStringLiteral("v,1,1,1;"));
    ASSERT_TRUE(file().fFileEdit);
    const QString text = file().Text();
    const struct {
        const char* name;
        std::function<void()> command;
    } commands[] = {
        { "new face", [&] { menu->action(MenuId::NewFace)->trigger(); } },
        { "new data", [&] { menu->action(MenuId::NewData)->trigger(); } },
        { "open", [&] { menu->action(MenuId::Open)->trigger(); } },
        { "reload", [&] { menu->action(MenuId::ReLoad)->trigger(); } },
        { "name box",
            [&] {
                menu->topBar().nameBox().setText(w.path("invoice.mnd"));
                QTest::keyClick(&menu->topBar().nameBox(), Qt::Key_Return);
            } },
        { "drop", [&] { menu->dropFiles({ w.path("invoice.mnd") }); } },
        { "print", [&] { menu->action(MenuId::Printer)->trigger(); } },
        { "render", [&] { menu->action(MenuId::View)->trigger(); } },
    };
    for (const auto& c : commands) {
        SCOPED_TRACE(c.name);
        bool busy = false;
        QString status;
        QMetaObject::invokeMethod(
            menu.get(),
            [&] {
                busy = menu->preview().busy();
                c.command();
                status = menu->bottomBar().message();
            },
            Qt::QueuedConnection);
        menu->render();
        ASSERT_TRUE(busy);
        EXPECT_EQ(status, QStringLiteral("描画中です。終わってからもう一度どうぞ"));
        EXPECT_EQ(file().FileName(), w.path("slow.fae"));
        EXPECT_EQ(file().Text(), text);
        EXPECT_TRUE(prompts().isEmpty()) << prompts().join(u'|').toStdString();
    }

    // The printer dialog runs an event loop of its own: a second print asked meanwhile waits.
    printToFile();
    QString second;
    vorlix::test::ModalAnswer answer([&](QWidget& dialog) {
        menu->action(MenuId::Printer)->trigger();
        second = menu->bottomBar().message();
        qobject_cast<QDialog*>(&dialog)->reject();
    });
    menu->action(MenuId::Printer)->trigger();
    ASSERT_TRUE(answer.answered());
    EXPECT_EQ(second, QStringLiteral("印刷中です。終わってからもう一度どうぞ"));
}

// A print job that fails outside its statements says so and leaves the window and the edited
// text as they were, instead of ending the program inside the menu's slot.
TEST_F(MenuTest, AFailingPrintJobIsToldAndTheTextStays)
{
    open(QStringLiteral("sample-face.fae"));
    menu->editor().appendPlainText(QStringLiteral("v,1,1,1;"));
    const QString text = file().Text();
    printToFile();
    const struct {
        const char* name;
        std::function<void()> fail;
        QString told;
    } failures[] = {
        { "memory", [] { throw std::bad_alloc(); },
            QStringLiteral("印刷できませんでした: メモリが不足しています。") },
        { "page worker",
            [] { throw vorlix::shell::RunError(6, QStringLiteral("オーバーフローしました。")); },
            QStringLiteral("印刷できませんでした: 6:オーバーフローしました。") },
    };
    for (const auto& c : failures) {
        SCOPED_TRACE(c.name);
        source().printJob().setPrintDialog(
            [&](vorlix::document::PrinterSettings&, std::int32_t) -> bool {
                c.fail();
                return true;
            });
        messages.answers = { Ok };
        menu->action(MenuId::Printer)->trigger();
        ASSERT_FALSE(prompts().isEmpty());
        EXPECT_EQ(prompts().last(), c.told);
        EXPECT_EQ(menu->bottomBar().message(), c.told);
        EXPECT_EQ(file().Text(), text);
        EXPECT_TRUE(file().fFileEdit);
        EXPECT_TRUE(menu->isVisible());
        // The window goes on working.
        menu->render();
        EXPECT_GE(source().merged().Page, 1);
    }
}

}

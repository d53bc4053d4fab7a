#include "document/Source.h"
#include "render/PrinterObject.h"
#include "shell/CodePage.h"
#include "shell/InitFile.h"
#include "tests/support/CupsSandbox.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/MissingTool.h"
#include "tests/support/ModalAnswer.h"
#include "tests/support/ScopedModuleState.h"
#include "tests/support/TempEnvironment.h"
#include "window/BottomBar.h"
#include "window/DocumentDialogs.h"
#include "window/FileCommands.h"
#include "window/Menu.h"
#include "window/MenuTable.h"
#include "window/PrintDet.h"
#include "window/PrintDlg.h"
#include "window/frmOptions.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

using namespace vorlix;
using namespace vorlix::test;
using document::Source;
using document::SourceFile;

namespace {

// The dialogs print on cups-pdf queues of a private CUPS daemon, started once for the program.
class CupsDialogs : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        sandbox() = std::make_unique<CupsSandbox>(QStringList {
            QStringLiteral("VorlixA"), QStringLiteral("VorlixB"), QStringLiteral("VorlixGone") });
        if (sandbox()->unavailable().isEmpty())
            sandbox()->useInThisProcess();
    }
    static void TearDownTestSuite() { sandbox().reset(); }
    static std::unique_ptr<CupsSandbox>& sandbox()
    {
        static std::unique_ptr<CupsSandbox> daemon;
        return daemon;
    }

    void SetUp() override
    {
        if (!sandbox()->unavailable().isEmpty())
            VORLIX_SKIP_WITHOUT_TOOL(sandbox()->unavailable().toStdString());
        sandbox()->clearOutput();
        m_oldDir = QDir::currentPath();
        QDir::setCurrent(env.root());
        settings = &state.startSettings();
        auto& printer = render::PrinterObject::current();
        printer.setExportFile(QString());
        printer.setJobOptions({});
        printer.SelectPrinter(QStringLiteral("VorlixA"));
        printer.setPaperSize(9);
        printer.setOrientation(1);
    }
    void TearDown() override
    {
        if (!m_oldDir.isEmpty())
            QDir::setCurrent(m_oldDir);
    }

    // A source document of the window holding `text`, with both dialogs lent to it.
    std::unique_ptr<Source> document(const QString& text, SourceFile::FileTypes type)
    {
        auto source = std::make_unique<Source>();
        window::DocumentDialogs::install(*source, nullptr);
        source->document().setText(text);
        source->document().FileType = type;
        return source;
    }

    TempEnvironment env;
    ScopedModuleState state { shell::RunModes::Window };
    shell::InitFile* settings = nullptr;

private:
    QString m_oldDir;
};

template <typename T> T& child(QWidget& dialog, const char* name)
{
    T* found = dialog.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return *found;
}

void accept(QWidget& dialog)
{
    qobject_cast<QDialog*>(&dialog)->accept();
}

QString tool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pdfPages(const QString& pdf)
{
    for (const QString& line : tool(QStringLiteral("pdfinfo"), { pdf }).split(u'\n')) {
        if (line.startsWith(QStringLiteral("Pages:")))
            return line.mid(6).trimmed().toInt();
    }
    return -1;
}

// The top-left corner of everything drawn on the first page, in pixels at 72 dpi.
QPoint inkCorner(const QString& pdf, const QString& folder)
{
    const QString prefix = folder + QStringLiteral("/page");
    tool(QStringLiteral("pdftoppm"),
        { QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-png"),
            QStringLiteral("-singlefile"), pdf, prefix });
    const QImage page(prefix + QStringLiteral(".png"));
    QPoint corner(page.width(), page.height());
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (qGray(page.pixel(x, y)) < 128) {
                corner.setX(std::min(corner.x(), x));
                corner.setY(std::min(corner.y(), y));
            }
        }
    }
    return corner;
}

// The corrections typed into the print details move everything printed on that printer.
TEST_F(CupsDialogs, PrintDetailsCorrectionsMoveThePrintedLines)
{
    auto source = document(QStringLiteral("ps,1,40,0,0;h,500,600,1000;v,500,600,1000;"),
        SourceFile::FileTypes::FaceProgram);
    const auto details = [&](const char* left, const char* top) {
        ModalAnswer answer([&](QWidget& dialog) {
            child<QLineEdit>(dialog, "Text2_0").setText(QString::fromLatin1(left));
            child<QLineEdit>(dialog, "Text2_1").setText(QString::fromLatin1(top));
            child<QPushButton>(dialog, "Command1").click();
        });
        EXPECT_TRUE(source->OpenPrintDet());
    };
    const auto print = [&] {
        ModalAnswer answer(accept);
        EXPECT_TRUE(source->DocPrint());
    };
    details("0", "0");
    print();
    details("100", "50");
    EXPECT_EQ(source->printer().PaperLeftLag, 100);
    EXPECT_EQ(settings->GetString("VorlixA", "PaperLeftLag", "?"), QStringLiteral("100"));
    EXPECT_EQ(settings->GetString("VorlixA", "PaperTopLag", "?"), QStringLiteral("50"));
    print();
    const QStringList pdfs = sandbox()->waitForPdfs(2);
    ASSERT_EQ(pdfs.size(), 2);
    const QPoint plain = inkCorner(pdfs[0], env.root());
    const QPoint moved = inkCorner(pdfs[1], env.root());
    // 10 mm and 5 mm at 72 dpi.
    EXPECT_NEAR(moved.x() - plain.x(), 28.3, 2.0) << plain.x() << " " << moved.x();
    EXPECT_NEAR(moved.y() - plain.y(), 14.2, 2.0) << plain.y() << " " << moved.y();
    // Without corrections the corner lies where the face puts it, 50 mm and 60 mm from the
    // paper's, less half the pen's 40 dots at 400 dpi.
    EXPECT_NEAR(plain.x(), (500 - 12.7) / 254 * 72, 1.5);
    EXPECT_NEAR(plain.y(), (600 - 12.7) / 254 * 72, 1.5);
}

// The corrections are those of the printer a job goes to, whether the printer dialog chose it or
// it was selected before (the standard printer of the options): the job is moved by its own and
// the document, as it ends, writes them to its section only.
TEST_F(CupsDialogs, CorrectionsAreThoseOfThePrinterTheJobGoesTo)
{
    for (const bool inDialog : { true, false }) {
        SCOPED_TRACE(inDialog ? "chosen in the dialog" : "selected before");
        sandbox()->clearOutput();
        const std::pair<const char*, const char*> lags[] = { { "VorlixA", "200" },
            { "VorlixA", "100" }, { "VorlixB", "100" }, { "VorlixB", "50" } };
        for (int i = 0; i < 4; ++i)
            settings->SetString(lags[i].first, i % 2 ? "PaperTopLag" : "PaperLeftLag",
                QString::fromLatin1(lags[i].second));
        auto source = document(QStringLiteral("ps,1,40,0,0;h,500,600,1000;v,500,600,1000;"),
            SourceFile::FileTypes::FaceProgram);
        if (!inDialog)
            render::PrinterObject::current().SelectPrinter(QStringLiteral("VorlixB"));
        ModalAnswer answer([&](QWidget& dialog) {
            auto& printers = child<QComboBox>(dialog, "printers");
            if (inDialog)
                printers.setCurrentIndex(printers.findText(QStringLiteral("VorlixB")));
            EXPECT_EQ(printers.currentText(), QStringLiteral("VorlixB"));
            accept(dialog);
        });
        ASSERT_TRUE(source->DocPrint());
        source.reset();
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(
                settings->GetString(lags[i].first, i % 2 ? "PaperTopLag" : "PaperLeftLag", "?"),
                QString::fromLatin1(lags[i].second));
        const QStringList pdfs = sandbox()->waitForPdfs(1);
        ASSERT_EQ(pdfs.size(), 1);
        // VorlixB's 10 mm and 5 mm beyond where the face puts the corner.
        const QPoint corner = inkCorner(pdfs[0], env.root());
        EXPECT_NEAR(corner.x(), (500 + 100 - 12.7) / 254 * 72, 1.5);
        EXPECT_NEAR(corner.y(), (600 + 50 - 12.7) / 254 * 72, 1.5);
        render::PrinterObject::current().SelectPrinter(QStringLiteral("VorlixA"));
    }
}

// The printer dialog, accepted with a range and copies of the user's, prints exactly those, on
// the paper of the document.
TEST_F(CupsDialogs, ThePrinterDialogPrintsTheChosenRangeAndCopies)
{
    writeFileBytes(env.root() + QStringLiteral("/numbers.fae"), "piece;\r\ns,100,100,$n;\r\n");
    QString data = QStringLiteral("<?xml ?><TZQ_002><face>numbers.fae</face><path>CurDir</path>");
    for (int i = 1; i <= 4; ++i)
        data += QStringLiteral("<piece><n>%1</n></piece>").arg(i);
    auto source
        = document(data + QStringLiteral("</TZQ_002>"), SourceFile::FileTypes::DataDocument);
    source->printer().PaperSize = 8;
    int offeredPages = 0;
    ModalAnswer answer([&](QWidget& dialog) {
        offeredPages = child<QSpinBox>(dialog, "to").maximum();
        child<QAbstractButton>(dialog, "printRange").click();
        child<QSpinBox>(dialog, "from").setValue(2);
        child<QSpinBox>(dialog, "to").setValue(3);
        child<QSpinBox>(dialog, "copies").setValue(2);
        accept(dialog);
    });
    ASSERT_TRUE(source->DocPrint());
    EXPECT_EQ(offeredPages, 4);
    EXPECT_EQ(source->printer().FromPage, 2);
    EXPECT_EQ(source->printer().Copies, 2);
    EXPECT_EQ(source->printer().PaperSize, 8);
    EXPECT_EQ(render::PrinterObject::current().PaperSize(), 8);
    const QStringList pdfs = sandbox()->waitForPdfs(1);
    ASSERT_EQ(pdfs.size(), 1);
    EXPECT_EQ(pdfPages(pdfs[0]), 4);
    EXPECT_TRUE(tool(QStringLiteral("pdfinfo"), { pdfs[0] }).contains(QStringLiteral("(A3)")))
        << tool(QStringLiteral("pdfinfo"), { pdfs[0] }).toStdString();
}

// What the dialog offers beyond range and copies reaches the job (the reverse order and the
// colour were lost before): the server holds it with the job, looked at while the queue is
// stopped, and the queue applies it (the page set).
TEST_F(CupsDialogs, ThePrinterDialogsOtherChoicesReachTheJob)
{
    writeFileBytes(env.root() + QStringLiteral("/numbers.fae"), "piece;\r\ns,100,100,$n;\r\n");
    QString data = QStringLiteral("<?xml ?><TZQ_002><face>numbers.fae</face><path>CurDir</path>");
    for (int i = 1; i <= 4; ++i)
        data += QStringLiteral("<piece><n>頁%1</n></piece>").arg(i);
    const struct {
        // A combo box takes its second entry, a button is checked; "properties/" first: on the
        // properties dialog.
        const char* widget;
        int pages; // pages the queue wrote
        const char* recorded; // one of the job's attributes
    } cases[] = {
        { "pageSetCombo", 2, "page-set=odd" },
        { "reverse", 4, "outputorder=reverse" },
        { "grayscale", 4, "print-color-mode=monochrome" },
        { "properties/pagesPerSheetCombo", 2, "number-up=2" },
        // A dialog confirmed as it opens keeps the grayscale chosen before.
        { "", 4, "print-color-mode=monochrome" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.widget);
        sandbox()->clearOutput();
        auto source
            = document(data + QStringLiteral("</TZQ_002>"), SourceFile::FileTypes::DataDocument);
        const auto choose = [](QWidget& dialog, const QString& name) {
            if (auto* combo = dialog.findChild<QComboBox*>(name))
                combo->setCurrentIndex(1);
            else if (!name.isEmpty())
                child<QAbstractButton>(dialog, name.toLatin1().constData()).setChecked(true);
        };
        ModalAnswer answer([&](QWidget& dialog) {
            const QString widget = QString::fromLatin1(c.widget);
            if (widget.startsWith(u"properties/")) {
                ModalAnswer properties(
                    [&](QWidget& shown) {
                        choose(shown, widget.section(u'/', 1));
                        accept(shown);
                    },
                    "QPrintPropertiesDialog");
                child<QPushButton>(dialog, "properties").click();
                EXPECT_TRUE(properties.answered());
            } else {
                choose(dialog, widget);
            }
            accept(dialog);
        });
        ASSERT_EQ(
            sandbox()->client(QStringLiteral("cupsdisable"), { QStringLiteral("VorlixA") }), 0);
        const bool printed = source->DocPrint().printed();
        const QStringList recorded = sandbox()->newestJobAttributes();
        ASSERT_EQ(
            sandbox()->client(QStringLiteral("cupsenable"), { QStringLiteral("VorlixA") }), 0);
        ASSERT_TRUE(printed);
        EXPECT_TRUE(recorded.contains(QString::fromUtf8(c.recorded)))
            << recorded.join(u'\n').toStdString();
        const QStringList pdfs = sandbox()->waitForPdfs(1);
        ASSERT_EQ(pdfs.size(), 1);
        EXPECT_EQ(pdfPages(pdfs[0]), c.pages);
    }
}

// The page set-up of the printer dialog starts from the document's paper; a paper chosen there
// becomes the document's.
TEST_F(CupsDialogs, ThePageSetUpStartsFromTheDocumentsPaper)
{
    auto source = document(QStringLiteral("h,100,100,500;"), SourceFile::FileTypes::FaceProgram);
    source->printer().PaperSize = 8;
    QString offered;
    ModalAnswer answer([&](QWidget& dialog) {
        ModalAnswer setUp(
            [&](QWidget& properties) {
                auto& sizes = child<QComboBox>(properties, "pageSizeCombo");
                offered = sizes.currentText();
                sizes.setCurrentIndex(sizes.findText(QStringLiteral("A5")));
                accept(properties);
            },
            "QPrintPropertiesDialog");
        child<QPushButton>(dialog, "properties").click();
        EXPECT_TRUE(setUp.answered());
        accept(dialog);
    });
    ASSERT_TRUE(source->DocPrint());
    EXPECT_EQ(offered, QStringLiteral("A3"));
    EXPECT_EQ(source->printer().PaperSize, 11);
    const QStringList pdfs = sandbox()->waitForPdfs(1);
    ASSERT_EQ(pdfs.size(), 1);
    EXPECT_TRUE(tool(QStringLiteral("pdfinfo"), { pdfs[0] }).contains(QStringLiteral("(A5)")));
}

TEST_F(CupsDialogs, SwitchingThePrinterShowsItsStoredCorrections)
{
    settings->SetString("VorlixA", "PaperLeftLag", "5");
    settings->SetString("VorlixB", "PaperLeftLag", "33");
    settings->SetString("VorlixB", "PaperTopLag", "-7");
    for (const bool confirm : { false, true }) {
        window::PrintDet dialog;
        dialog.show();
        auto& printers = child<QComboBox>(dialog, "Combo0");
        EXPECT_EQ(printers.currentText(), QStringLiteral("VorlixA"));
        EXPECT_EQ(child<QLineEdit>(dialog, "Text2_0").text(), QStringLiteral("5"));
        printers.setCurrentIndex(printers.findText(QStringLiteral("VorlixB")));
        EXPECT_EQ(child<QLineEdit>(dialog, "Text2_0").text(), QStringLiteral("33"));
        EXPECT_EQ(child<QLineEdit>(dialog, "Text2_1").text(), QStringLiteral("-7"));
        EXPECT_EQ(render::PrinterObject::current().DeviceName(), QStringLiteral("VorlixB"));
        if (!confirm) {
            dialog.reject();
            EXPECT_EQ(render::PrinterObject::current().DeviceName(), QStringLiteral("VorlixA"));
            continue;
        }
        child<QPushButton>(dialog, "Command1").click();
        EXPECT_EQ(dialog.DeviceName(), QStringLiteral("VorlixB"));
        EXPECT_EQ(dialog.PaperLeftLag(), 33);
        EXPECT_EQ(dialog.PaperTopLag(), -7);
    }
}

TEST_F(CupsDialogs, APrinterRemovedWhileTheDialogIsOpenPrintsNothing)
{
    auto source = document(QStringLiteral("h,100,100,500;"), SourceFile::FileTypes::FaceProgram);
    MessageRecorder messages;
    ModalAnswer answer([&](QWidget& dialog) {
        auto& printers = child<QComboBox>(dialog, "printers");
        printers.setCurrentIndex(printers.findText(QStringLiteral("VorlixGone")));
        EXPECT_EQ(sandbox()->client(QStringLiteral("lpadmin"),
                      { QStringLiteral("-x"), QStringLiteral("VorlixGone") }),
            0);
        accept(dialog);
    });
    EXPECT_FALSE(source->DocPrint());
    ASSERT_TRUE(answer.answered());
    ASSERT_EQ(messages.prompts.size(), 1u);
    EXPECT_EQ(messages.prompts[0].text, QStringLiteral("VorlixGone: プリンタが見つかりません"));
    EXPECT_TRUE(sandbox()->waitForPdfs(1, 3000).isEmpty());
}

// The installed printers appear in the dialogs: the printer dialog offers them (and no printing
// to a file) and returns the one chosen; the options dialog selects the stored standard printer.
TEST_F(CupsDialogs, TheInstalledPrintersAreOffered)
{
    window::PrintDlg printDialog;
    printDialog.setFlags(1048836);
    EXPECT_EQ(printDialog.DeviceName(), QStringLiteral("VorlixA"));
    QStringList offered;
    ModalAnswer answer([&](QWidget& dialog) {
        auto& printers = child<QComboBox>(dialog, "printers");
        for (int i = 0; i < printers.count(); ++i)
            offered << printers.itemText(i);
        printers.setCurrentIndex(printers.findText(QStringLiteral("VorlixB")));
        accept(dialog);
    });
    ASSERT_TRUE(printDialog.ShowPrinter(nullptr));
    EXPECT_TRUE(offered.contains(QStringLiteral("VorlixA")));
    EXPECT_TRUE(offered.contains(QStringLiteral("VorlixB")));
    EXPECT_EQ(offered.size(), window::frmOptions::installedPrinters().size())
        << offered.join(u',').toStdString();
    EXPECT_EQ(printDialog.DeviceName(), QStringLiteral("VorlixB"));

    const QStringList installed = window::frmOptions::installedPrinters();
    ASSERT_GE(installed.size(), 2);
    settings->SetString("general", "DefaultPrinter", installed.last());
    window::frmOptions options;
    EXPECT_EQ(child<QComboBox>(options, "Combo1").currentText(), installed.last());
    EXPECT_EQ(child<QComboBox>(options, "Combo1").count(), installed.size() + 1);
}

// The window's 印刷 prints through the printer dialog: on the printer and the pages
// it confirms, and the bottom bar names the printer used.
TEST_F(CupsDialogs, TheWindowPrintsWhatItsPrinterDialogConfirms)
{
    const QString samples = qEnvironmentVariable("VORLIX_SOURCE_DIR") + QStringLiteral("/samples/");
    for (const char* name : { "invoice.mnd", "invoice.fae" })
        QFile::copy(
            samples + QString::fromLatin1(name), env.root() + u'/' + QString::fromLatin1(name));
    Source source;
    window::Menu menu(source);
    menu.fileCommands().openName(env.root() + QStringLiteral("/invoice.mnd"));
    ModalAnswer answer([&](QWidget& dialog) {
        auto& printers = child<QComboBox>(dialog, "printers");
        printers.setCurrentIndex(printers.findText(QStringLiteral("VorlixB")));
        child<QAbstractButton>(dialog, "printRange").click();
        child<QSpinBox>(dialog, "from").setValue(2);
        child<QSpinBox>(dialog, "to").setValue(3);
        accept(dialog);
    });
    menu.action(window::MenuId::Printer)->trigger();
    ASSERT_TRUE(answer.answered());
    EXPECT_EQ(menu.bottomBar().printerName(), QStringLiteral("VorlixB"));
    const QStringList pdfs = sandbox()->waitForPdfs(1);
    ASSERT_EQ(pdfs.size(), 1);
    EXPECT_EQ(pdfPages(pdfs[0]), 2);
    EXPECT_EQ(render::PrinterObject::current().DeviceName(), QStringLiteral("VorlixB"));
}

}

namespace {

// The default printer is looked up beside the start-up: its paper is the program's until a paper
// is chosen, and a paper chosen before the lookup ends is not taken back by it.
TEST_F(CupsDialogs, TheDefaultPrintersPaperHoldsUntilAnotherIsChosen)
{
    const auto lookUpBeside = [](const render::PrinterObject& printer) {
        std::thread([&] { printer.lookUpDefaultPrinter(); }).join();
    };
    ASSERT_EQ(sandbox()->client(QStringLiteral("lpadmin"),
                  { QStringLiteral("-p"), QStringLiteral("VorlixA"), QStringLiteral("-o"),
                      QStringLiteral("PageSize=Letter") }),
        0);
    {
        const render::PrinterObject unchosen;
        lookUpBeside(unchosen);
        EXPECT_EQ(unchosen.DeviceName(), QStringLiteral("VorlixA"));
        EXPECT_EQ(unchosen.PaperSize(), 1);
    }
    {
        render::PrinterObject chosen;
        lookUpBeside(chosen);
        chosen.setPaperSize(11);
        EXPECT_TRUE(chosen.exists());
        EXPECT_EQ(chosen.PaperSize(), 11);
        EXPECT_NEAR(chosen.pageWidthTwips(), 1480 * 5.67, 1e-6);
    }
    EXPECT_EQ(sandbox()->client(QStringLiteral("lpadmin"),
                  { QStringLiteral("-p"), QStringLiteral("VorlixA"), QStringLiteral("-o"),
                      QStringLiteral("PageSize=A4") }),
        0);
}

}

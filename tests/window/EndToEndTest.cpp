#include "tests/support/MissingTool.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <sys/types.h>
#include <vector>

namespace {

// How long a step may take before the test gives up. Under a sanitizer, on a machine that runs
// the rest of the suite beside, a window's first page takes many times its usual second; a wait
// ends as soon as what it waits for holds, so a generous bound costs a passing run nothing.
constexpr int patience = 120000;

using vorlix::test::TempEnvironment;
using vorlix::test::writeFileBytes;

QString binaryDir()
{
    return qEnvironmentVariable("VORLIX_BINARY_DIR");
}

// Waits for a condition, polling; false when it did not come within the time.
template <typename Condition> bool waitFor(Condition condition, int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.hasExpired(milliseconds))
            return false;
        QThread::msleep(50);
    }
    return true;
}

// A process of the test that is always stopped by its process id, also when the test fails.
class OwnedProcess {
public:
    OwnedProcess() = default;
    ~OwnedProcess() { stop(); }
    OwnedProcess(const OwnedProcess&) = delete;
    OwnedProcess& operator=(const OwnedProcess&) = delete;

    QProcess process;

    void stop()
    {
        const qint64 pid = process.processId();
        if (pid <= 0 || process.state() == QProcess::NotRunning)
            return;
        ::kill(static_cast<pid_t>(pid), SIGTERM);
        if (!process.waitForFinished(5000)) {
            ::kill(static_cast<pid_t>(pid), SIGKILL);
            process.waitForFinished(5000);
        }
    }
};

// A private X server on a display number nobody uses.
class PrivateXServer {
public:
    bool start()
    {
        for (int number = 91; number < 140; ++number) {
            if (QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(number))
                || QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)))
                continue;
            m_display = QStringLiteral(":%1").arg(number);
            m_server.process.start(QStringLiteral("Xvfb"),
                { m_display, QStringLiteral("-screen"), QStringLiteral("0"),
                    QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                    QStringLiteral("tcp") });
            if (!m_server.process.waitForStarted(5000))
                return false;
            const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(number);
            if (waitFor([&] { return QFileInfo::exists(socket); }, 10000))
                return true;
            m_server.stop();
        }
        return false;
    }
    [[nodiscard]] const QString& display() const { return m_display; }

private:
    QString m_display;
    OwnedProcess m_server;
};

// One window of the X server as xwininfo lists it.
struct WindowInfo {
    QString id;
    QString title;
    // Where it lies on the screen.
    QRect geometry;
};

std::optional<WindowInfo> findWindow(const QString& display, const QString& titleStart)
{
    QProcess query;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display);
    query.setProcessEnvironment(environment);
    query.start(QStringLiteral("xwininfo"), { QStringLiteral("-root"), QStringLiteral("-tree") });
    if (!query.waitForFinished(10000))
        return std::nullopt;
    static const QRegularExpression line(QStringLiteral(
        "(0x[0-9a-f]+) "
        "\"([^\"]*)\".*\\s(\\d+)x(\\d+)\\+-?\\d+\\+-?\\d+\\s+\\+(-?\\d+)\\+(-?\\d+)"));
    const QString listing = QString::fromUtf8(query.readAllStandardOutput());
    for (const QString& row : listing.split(u'\n')) {
        const auto match = line.match(row);
        if (match.hasMatch() && match.captured(2).startsWith(titleStart)) {
            return WindowInfo { match.captured(1), match.captured(2),
                QRect(match.captured(5).toInt(), match.captured(6).toInt(),
                    match.captured(3).toInt(), match.captured(4).toInt()) };
        }
    }
    return std::nullopt;
}

// Sends pointer moves, clicks and keys to the display as a user would (xdotool).
bool xdotool(const QString& display, const QStringList& arguments)
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display);
    tool.setProcessEnvironment(environment);
    tool.start(QStringLiteral("xdotool"), arguments);
    return tool.waitForFinished(10000) && tool.exitCode() == 0;
}

// The share of a row's pixels between two columns that carry ink.
double rowInk(const QImage& image, int y, int left, int right)
{
    int inked = 0;
    for (int x = left; x < right; ++x)
        inked += qGray(image.pixel(x, y)) < 200 ? 1 : 0;
    return double(inked) / std::max(1, right - left);
}

// How many rows around a row are inked across nearly their whole width (a solid line's width).
int solidRows(const QImage& image, int around, int left, int right)
{
    int rows = 0;
    for (int y = std::max(0, around - 20); y < std::min(image.height(), around + 20); ++y)
        rows += rowInk(image, y, left, right) > 0.9 ? 1 : 0;
    return rows;
}

// The most a row around a row is inked.
double mostInk(const QImage& image, int around, int left, int right)
{
    double most = 0.0;
    for (int y = std::max(0, around - 4); y < std::min(image.height(), around + 5); ++y)
        most = std::max(most, rowInk(image, y, left, right));
    return most;
}

// The white page inside the grey preview area: the columns and rows with many grey pixels make
// the area (stray grey pixels of anti-aliased text do not), and its white pixels the page.
QRect pageArea(const QImage& image)
{
    const QRgb grey = qRgb(128, 128, 128);
    std::vector<int> columns(image.width());
    std::vector<int> rows(image.height());
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == grey) {
                ++columns[x];
                ++rows[y];
            }
        }
    }
    QRect area;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (columns[x] > 50 && rows[y] > 50)
                area |= QRect(x, y, 1, 1);
        }
    }
    QRect page;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixel(x, y) == qRgb(255, 255, 255))
                page |= QRect(x, y, 1, 1);
        }
    }
    return page;
}

// Mean difference of two images' grey values after both are reduced to the same coarse size.
double difference(const QImage& a, const QImage& b)
{
    const QSize coarse(50, 70);
    const QImage x = a.scaled(coarse, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                         .convertToFormat(QImage::Format_Grayscale8);
    const QImage y = b.scaled(coarse, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                         .convertToFormat(QImage::Format_Grayscale8);
    double sum = 0.0;
    for (int row = 0; row < coarse.height(); ++row) {
        for (int column = 0; column < coarse.width(); ++column)
            sum += std::abs(qGray(x.pixel(column, row)) - qGray(y.pixel(column, row)));
    }
    return sum / (coarse.width() * coarse.height());
}

// The share of dark pixels.
double inkShare(const QImage& image)
{
    qint64 dark = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    }
    return image.isNull() ? 0.0 : double(dark) / (qint64(image.width()) * image.height());
}

class EndToEndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* tool : { "Xvfb", "xwininfo" }) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                VORLIX_SKIP_WITHOUT_TOOL(
                    std::string(tool) + " is not installed (scripts/install-deps installs it)");
        }
        const QString samples = qEnvironmentVariable("VORLIX_SOURCE_DIR") + "/samples/";
        for (const char* name : { "invoice.mnd", "invoice.fae" })
            ASSERT_TRUE(QFile::copy(samples + name, env.root() + '/' + name));
        // A wide window with the whole page in view at 50 %.
        writeFileBytes(env.configHome() + "/vorlix/vorlix.ini",
            "[menu]\r\nleft=0\r\ntop=0\r\nwidth=16500\r\nheight=12000\r\n"
            "[view]\r\nkPsa=0.5\r\nbLps=0.4\r\n");
    }

    QProcessEnvironment environment(
        const QString& display, const QString& language = QStringLiteral("C.UTF-8")) const
    {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("HOME"), env.root());
        e.insert(QStringLiteral("XDG_CONFIG_HOME"), env.configHome());
        e.insert(QStringLiteral("XDG_DATA_HOME"), env.dataHome());
        e.remove(QStringLiteral("LC_ALL"));
        e.remove(QStringLiteral("LC_MESSAGES"));
        e.insert(QStringLiteral("LANG"), language);
        e.remove(QStringLiteral("profiles"));
        if (display.isEmpty()) {
            e.remove(QStringLiteral("DISPLAY"));
        } else {
            e.insert(QStringLiteral("DISPLAY"), display);
            e.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        }
        return e;
    }

    // Starts the program on the display in the temporary home and waits for its main window.
    std::optional<WindowInfo> startWindow(OwnedProcess& vorlix, const QString& display,
        const QStringList& arguments, const QString& language = QStringLiteral("C.UTF-8"))
    {
        vorlix.process.setProcessEnvironment(environment(display, language));
        vorlix.process.setWorkingDirectory(env.root());
        vorlix.process.start(binaryDir() + "/app/vorlix", arguments);
        if (!vorlix.process.waitForStarted(10000))
            return std::nullopt;
        std::optional<WindowInfo> window;
        waitFor(
            [&] { return (window = findWindow(display, QStringLiteral("vorlix "))).has_value(); },
            patience);
        return window;
    }

    // Grabs the window until its page shows a condition; the page's image, null when it never
    // did.
    QImage pageWhen(const QString& display, const WindowInfo& window, const QString& file,
        const std::function<bool(const QImage&)>& condition)
    {
        QImage page;
        waitFor(
            [&] {
                const QImage shot = grab(display, window.id, file);
                const QRect area = shot.isNull() ? QRect() : pageArea(shot);
                page = area.width() > 300 ? shot.copy(area) : QImage();
                return !page.isNull() && condition(page);
            },
            patience);
        return page;
    }

    QImage grab(const QString& display, const QString& window, const QString& file)
    {
        QProcess grabber;
        grabber.setProcessEnvironment(environment(display));
        grabber.start(binaryDir() + "/tests/window/grab_window", { window, file });
        if (!grabber.waitForFinished(patience) || grabber.exitCode() != 0)
            return {};
        return QImage(file).convertToFormat(QImage::Format_RGB32);
    }

    TempEnvironment env;
};

TEST_F(EndToEndTest, TheWindowShowsTheInvoiceBesideItsSourceAsTheExportDrawsIt)
{
    // The same page, exported without a window.
    QProcess exporter;
    exporter.setProcessEnvironment(environment(QString()));
    exporter.setWorkingDirectory(env.root());
    exporter.start(
        binaryDir() + "/app/vorlix", { "-e=" + env.root() + "/page.png", "invoice.mnd" });
    ASSERT_TRUE(exporter.waitForFinished(patience));
    ASSERT_EQ(exporter.exitCode(), 0) << exporter.readAllStandardError().toStdString();
    const QImage exported
        = QImage(env.root() + "/page-1.png").convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(exported.isNull());

    PrivateXServer server;
    ASSERT_TRUE(server.start()) << "Xvfb did not start";
    OwnedProcess vorlix;
    vorlix.process.setProcessEnvironment(environment(server.display()));
    vorlix.process.setWorkingDirectory(env.root());
    vorlix.process.start(binaryDir() + "/app/vorlix", { "invoice.mnd" });
    ASSERT_TRUE(vorlix.process.waitForStarted(10000));

    std::optional<WindowInfo> window;
    ASSERT_TRUE(waitFor(
        [&] {
            return (window = findWindow(server.display(), QStringLiteral("vorlix "))).has_value();
        },
        patience))
        << "no window appeared: " << vorlix.process.readAllStandardError().toStdString()
        << vorlix.process.readAllStandardOutput().right(2000).toStdString();
    EXPECT_EQ(window->title, QStringLiteral("vorlix invoice"));

    // The page is drawn once the first render is done: grab until the preview shows it.
    const QString file = binaryDir() + "/tests/window/window-grab.png";
    QImage shot;
    QRect page;
    ASSERT_TRUE(waitFor(
        [&] {
            shot = grab(server.display(), window->id, file);
            if (shot.isNull())
                return false;
            page = pageArea(shot);
            return page.width() > 300 && page.height() > 400 && inkShare(shot.copy(page)) > 0.005;
        },
        patience))
        << "the preview never showed the page";
    // 50 % of A4 at 15 twips per pixel.
    EXPECT_NEAR(page.width(), 2100 * 5.67 * 0.5 / 15, 3);
    EXPECT_NEAR(page.height(), 2970 * 5.67 * 0.5 / 15, 3);

    const QImage preview = shot.copy(page);
    QImage blank(preview.size(), QImage::Format_RGB32);
    blank.fill(Qt::white);
    // The screen draws thin lines and small text heavier than a 400-dpi export, so the pages
    // differ a little everywhere; a page upside down or an empty one differs far more.
    const double toExport = difference(preview, exported);
    const double toBlank = difference(exported, blank);
    const double toTurned = difference(preview, exported.mirrored(false, true));
    EXPECT_GT(toBlank, 4.0) << "the exported page is empty";
    EXPECT_LT(toExport, toBlank * 0.6) << toExport << " against an empty page " << toBlank;
    EXPECT_LT(toExport, toTurned * 0.5) << toExport << " against the page turned " << toTurned;

    // The editor left of the page shows the source: dark text on white.
    const QImage editor = shot.copy(0, page.top(), page.left() - 20, page.height());
    EXPECT_GT(inkShare(editor), 0.02);
    vorlix.stop();
}

// The preview is where a form is judged: every pen shows at its printed width at the zoom, a
// one-dot pen too, and patterned pens keep their pattern. Shift+Enter in the editor ends a line:
// the two lines are two statements, and the file keeps its LF line ends.
TEST_F(EndToEndTest, PensShowAtTheirPrintedWidthAndShiftEnterEndsALine)
{
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        GTEST_SKIP() << "xdotool is not installed (scripts/install-deps installs it)";
    const QByteArray face = "ps,1,1,0,0;\nh,100,300,1500;\nps,2,95,0,0;\nh,100,600,1500;\n"
                            "ps,3,3,0,2;\nh,100,900,1500;\n";
    writeFileBytes(env.root() + "/pens.fae", face);
    PrivateXServer server;
    ASSERT_TRUE(server.start()) << "Xvfb did not start";
    OwnedProcess vorlix;
    const auto window = startWindow(vorlix, server.display(), { "pens.fae" });
    ASSERT_TRUE(window) << vorlix.process.readAllStandardError().toStdString();

    // At 50 % a face unit is 96 / 254 / 2 pixels: the lines lie at rows 57, 113 and 170 from
    // x = 19 to 302; 95 dots of 400 dpi are 11.4 pixels.
    const auto row = [](int faceY) { return int(faceY * 96.0 / 254.0 / 2.0 + 0.5); };
    const QString file = binaryDir() + "/tests/window/pens-grab.png";
    const QImage page = pageWhen(server.display(), *window, file,
        [&](const QImage& p) { return solidRows(p, row(600), 25, 295) > 0; });
    ASSERT_FALSE(page.isNull()) << "the preview never showed the page";
    EXPECT_GE(solidRows(page, row(300), 25, 295), 1) << "the one-dot line does not show";
    EXPECT_NEAR(solidRows(page, row(600), 25, 295), 11, 1);
    const double dotted = mostInk(page, row(900), 25, 295);
    EXPECT_GT(dotted, 0.2);
    EXPECT_LT(dotted, 0.8) << "the dotted pen lost its pattern";

    // Two lines typed with Shift+Enter between them, rendered and saved ("type" takes the rest
    // of xdotool's arguments as its text).
    const QPoint editor = window->geometry.topLeft() + QPoint(60, 200);
    ASSERT_TRUE(xdotool(server.display(),
        { "mousemove", QString::number(editor.x()), QString::number(editor.y()), "click", "1",
            "key", "ctrl+End" }));
    ASSERT_TRUE(xdotool(server.display(), { "type", "h,100,1200,1500;" }));
    ASSERT_TRUE(xdotool(server.display(), { "key", "shift+Return" }));
    ASSERT_TRUE(xdotool(server.display(), { "type", "h,100,1300,1500;" }));
    ASSERT_TRUE(xdotool(server.display(), { "key", "F5", "key", "ctrl+s" }));
    const QString saved = env.root() + "/pens.fae";
    EXPECT_TRUE(
        waitFor([&] { return vorlix::test::readFileBytes(saved).size() > face.size(); }, patience));
    EXPECT_EQ(vorlix::test::readFileBytes(saved), face + "h,100,1200,1500;\nh,100,1300,1500;");
    const QImage edited = pageWhen(server.display(), *window, file, [&](const QImage& p) {
        return mostInk(p, row(1200), 25, 295) > 0.2 && mostInk(p, row(1300), 25, 295) > 0.2;
    });
    EXPECT_FALSE(edited.isNull()) << "the two lines were not drawn as two statements";
    vorlix.stop();
}

// A new document goes through the save dialog, in the locale's language: the template's name is
// a suggestion, and an older file of that name stays as it was.
TEST_F(EndToEndTest, ANewDocumentIsSavedThroughTheSaveDialogInTheLocalesLanguage)
{
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        GTEST_SKIP() << "xdotool is not installed (scripts/install-deps installs it)";
    writeFileBytes(env.root() + "/newfile.fae", "the first new document");
    PrivateXServer server;
    ASSERT_TRUE(server.start()) << "Xvfb did not start";
    OwnedProcess vorlix;
    const auto window = startWindow(vorlix, server.display(), {}, QStringLiteral("ja_JP.UTF-8"));
    ASSERT_TRUE(window) << vorlix.process.readAllStandardError().toStdString();
    ASSERT_TRUE(xdotool(server.display(),
        { "mousemove", QString::number(window->geometry.x() + 60),
            QString::number(window->geometry.y() + 300), "click", "1", "key", "ctrl+End" }));
    ASSERT_TRUE(xdotool(server.display(), { "type", "x" }));
    ASSERT_TRUE(xdotool(server.display(), { "key", "ctrl+s" }));
    std::optional<WindowInfo> dialog;
    ASSERT_TRUE(waitFor(
        [&] { return (dialog = findWindow(server.display(), QStringLiteral("保存"))).has_value(); },
        patience))
        << "no save dialog";
    const QImage shot
        = grab(server.display(), dialog->id, binaryDir() + "/tests/window/save-dialog.png");
    EXPECT_FALSE(shot.isNull());
    const QPoint inside = dialog->geometry.center();
    ASSERT_TRUE(xdotool(server.display(),
        { "mousemove", QString::number(inside.x()), QString::number(inside.y()), "key",
            "ctrl+a" }));
    ASSERT_TRUE(xdotool(server.display(), { "type", "mine.fae" }));
    ASSERT_TRUE(xdotool(server.display(), { "key", "Return" }));
    EXPECT_TRUE(waitFor([&] { return QFileInfo::exists(env.root() + "/mine.fae"); }, patience));
    EXPECT_TRUE(vorlix::test::readFileBytes(env.root() + "/mine.fae").endsWith("x"));
    EXPECT_EQ(vorlix::test::readFileBytes(env.root() + "/newfile.fae"), "the first new document");
    EXPECT_TRUE(waitFor(
        [&] { return findWindow(server.display(), QStringLiteral("vorlix mine")).has_value(); },
        patience));
    vorlix.stop();
    // Qt's own dialogs were given Japanese.
    EXPECT_TRUE(QString::fromUtf8(vorlix.process.readAllStandardOutput())
                    .contains(QStringLiteral("Vorlix/Main>Qt の翻訳:ja_JP")));
}

}

// Times what a user of the main window waits for: a page switch of the invoice sample (the
// interpreter renders the page, the preview paints it), a render, a zoom change, opening and
// typing into a 10 MB face, and opening a data document of 3,000 pages at its first page. Runs
// on the offscreen platform in a temporary home; prints the figures.
#include "document/Source.h"
#include "shell/ModuleState.h"
#include "window/Menu.h"
#include "window/PreviewPane.h"
#include "window/SourceEdit.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextCursor>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using vorlix::document::Source;
using vorlix::window::Menu;

namespace {

struct Figures {
    std::vector<double> ms;
    void print(const char* what) const
    {
        std::vector<double> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        double sum = 0;
        for (double v : sorted)
            sum += v;
        std::printf("%-40s n=%3zu  mean %8.2f ms  median %8.2f ms  max %8.2f ms\n", what,
            sorted.size(), sum / sorted.size(), sorted[sorted.size() / 2], sorted.back());
    }
};

template <typename Step> Figures measure(int times, Step step)
{
    Figures figures;
    for (int i = 0; i < times; ++i) {
        QElapsedTimer clock;
        clock.start();
        step(i);
        figures.ms.push_back(clock.nsecsElapsed() / 1e6);
    }
    return figures;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

QByteArray manyPages(int pieces)
{
    QByteArray text = "<?xml version=\"1.0\"?>\r\n<TZQ_002>\r\n<face>invoice.fae</face>\r\n"
                      "<path>CurDir</path>\r\n";
    for (int i = 1; i <= pieces; ++i)
        text += "<piece><no>" + QByteArray::number(i) + "</no><to>X</to></piece>\r\n";
    return text + "</TZQ_002>\r\n";
}

}

int main(int argc, char** argv)
{
    QTemporaryDir home;
    const QByteArray root = home.path().toLocal8Bit();
    setenv("HOME", root.constData(), 1);
    setenv("XDG_CONFIG_HOME", (root + "/config").constData(), 1);
    setenv("XDG_DATA_HOME", (root + "/data").constData(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("CUPS_SERVER", (root + "/no-cups.sock").constData(), 1);
    QApplication application(argc, argv);
    const QString samples = QStringLiteral(VORLIX_SAMPLES_DIR);
    for (const char* name : { "invoice.mnd", "invoice.fae" })
        QFile::copy(samples + '/' + name, home.path() + '/' + name);
    QDir::setCurrent(home.path());
    vorlix::shell::moduleState().commandLine.RunMode = vorlix::shell::RunModes::Window;

    Source source;
    auto& file = source.document();
    Menu menu(source);
    menu.resize(1100, 800);
    menu.show();
    QCoreApplication::processEvents();
    auto& pane = menu.preview();
    menu.fileCommands().openName(home.path() + "/invoice.mnd");

    measure(5, [&](int i) { pane.pageStep(i % 2 ? -1 : 1); }); // warm the font caches
    measure(50, [&](int i) {
        pane.pageStep(i % 2 ? -1 : 1);
        pane.box().repaint();
    }).print("page switch (render + paint), invoice");
    measure(20, [&](int) {
        menu.render();
        pane.box().repaint();
    }).print("描画実行 (merge + render + paint)");
    measure(20, [&](int i) {
        pane.zoom(i % 2 ? 100 : 40);
        pane.box().repaint();
    }).print("zoom 100 % <-> 40 %");

    QByteArray face;
    const QByteArray line = "s,100,100,\"line of a very long face\";h,100,200,500; # comment\r\n";
    while (face.size() < 10 * 1024 * 1024)
        face += line;
    writeFile(home.path() + "/huge.fae", face);
    measure(1, [&](int) {
        file.setFileName(home.path() + "/huge.fae");
        file.InBuff(false);
    }).print("read a 10 MB face into the editor");
    measure(1, [&](int) {
        menu.showTitle();
        QCoreApplication::processEvents();
    }).print("highlight the 10 MB face");
    auto& editor = menu.editor();
    QTextCursor cursor = editor.textCursor();
    cursor.movePosition(QTextCursor::Start);
    editor.setTextCursor(cursor);
    measure(20, [&](int) {
        editor.textCursor().insertText(QStringLiteral("x"));
        editor.repaint();
    }).print("keystroke in the 10 MB face");

    // The edited face is dropped without asking.
    file.fFileEdit = false;
    writeFile(home.path() + "/many.mnd", manyPages(3000));
    measure(1, [&](int) {
        menu.fileCommands().openName(home.path() + "/many.mnd");
        pane.box().repaint();
    }).print("open 3,000 pages at the first page");
    measure(20, [&](int i) {
        pane.pageStep(i % 2 ? -1 : 1);
        pane.box().repaint();
    }).print("page switch in 3,000 pages");
    std::printf("pages: %d\n", source.merged().Page);
    return 0;
}

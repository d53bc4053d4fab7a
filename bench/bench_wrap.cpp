// Wrapped text (s with a width): long runs in narrow columns, on the installed fonts, recorded on
// a 400-dpi page. Prints the processor time of each case and the lines it made.
#include "render/EMF.h"
#include "render/PageCollector.h"

#include <QGuiApplication>
#include <cstdio>
#include <ctime>

using namespace vorlix::render;

namespace {

qint64 cpuNanoseconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

QString repeated(const QString& pattern, int length)
{
    QString text;
    text.reserve(length);
    while (text.size() < length)
        text += pattern;
    text.truncate(length);
    return text;
}

// One run of text wrapped at width (0.1 mm) in the face.
void wrapCase(const char* label, QString face, const QString& text, int width)
{
    PageCollector sink;
    EMF emf;
    emf.SetObject(sink, 0, 400, 1.0, 2100, 2970, 0, 0);
    emf.Start();
    emf.setFontType(1, face, 9, 0, 0);
    emf.XY(100, 100);
    QString run = text;
    const qint64 start = cpuNanoseconds();
    emf.LPK(run, width);
    const qint64 cpu = cpuNanoseconds() - start;
    emf.NewPage();
    emf.EndDoc();
    std::size_t lines = 0;
    for (const PageRecord& page : sink.pages()) {
        for (const PageRecord::Call& call : page.calls())
            lines += call.op == PageRecord::Op::TextOut ? 1 : 0;
    }
    std::printf("%-48s %8.3f s of processor time, %zu lines\n", label, cpu / 1e9, lines);
}

}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString japanese
        = repeated(QStringLiteral("東京都千代田区一丁目請求書金額合計御中様"), 12000);
    const QString ascii = repeated(QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789"), 32000);
    wrapCase("12,000 Japanese, ＭＳ 明朝, 4 mm column", QStringLiteral("ＭＳ 明朝"), japanese, 40);
    wrapCase(
        "12,000 Japanese, ＭＳ 明朝, 100 mm column", QStringLiteral("ＭＳ 明朝"), japanese, 1000);
    wrapCase("32,000 ASCII, ＭＳ 明朝, width 5", QStringLiteral("ＭＳ 明朝"), ascii, 5);
    wrapCase(
        "32,000 ASCII, DejaVu Sans, 100 mm column", QStringLiteral("DejaVu Sans"), ascii, 1000);
    // Ligatures shape characters by their neighbours: such a run is measured part by part.
    const QString english = repeated(QStringLiteral("office fluff affine waffle "), 8000);
    wrapCase("8,000 ASCII with ligatures, DejaVu Sans, 100 mm", QStringLiteral("DejaVu Sans"),
        english, 1000);
    return 0;
}

// Drawing-surface throughput: dense pages recorded as page records, then written to one 400-dpi
// PDF; also the streaming path where each page goes to the PDF as it closes. Prints figures.
#include "render/EMF.h"
#include "render/FileSink.h"
#include "render/PageCollector.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sys/resource.h>

using namespace vorlix::render;

namespace {

// "bench_render N" draws N pages (default 1,000): the streamed figures for two counts show
// whether memory grows with the document.
int pageCount = 1000;
constexpr int linesPerPage = 200;
constexpr int textsPerPage = 100;
constexpr int dpi = 400;

long peakKilobytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// One dense page: a ruled grid and a column of Japanese text runs.
void drawPage(EMF& emf, int page, const QStringList& texts)
{
    emf.Start();
    QString face = QStringLiteral("ＭＳ 明朝");
    emf.setFontType(2, face, 9, 0, 0);
    for (int i = 0; i < linesPerPage; ++i) {
        if (i % 2 == 0)
            emf.HDxy(100, 100 + i * 14, 1900);
        else
            emf.VDxy(100 + i * 9, 100, 2800);
    }
    for (int i = 0; i < textsPerPage; ++i) {
        emf.XY(120 + (i % 2) * 1000, 110 + (i / 2) * 56);
        QString text = texts.at((page + i) % texts.size());
        emf.LPK(text, 0);
    }
    emf.NewPage();
}

QStringList sampleTexts()
{
    return { QStringLiteral("御請求金額　金壱萬弐千参百四拾五円也"),
        QStringLiteral("品名：事務用品一式（コピー用紙Ａ４）"),
        QStringLiteral("数量 12 単価 ¥1,050 金額 ¥12,600"),
        QStringLiteral("お支払期限：令和八年十二月末日"),
        QStringLiteral("振込先：東京中央銀行 本店営業部 普通 1234567") };
}

double perSecond(int count, qint64 nanoseconds)
{
    return count * 1e9 / std::max<qint64>(nanoseconds, 1);
}

// Processor time of this process: the machine is shared, so wall time says little.
qint64 cpuNanoseconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Wall and processor time of one phase.
class Stopwatch {
public:
    Stopwatch()
        : m_cpu(cpuNanoseconds())
    {
        m_wall.start();
    }
    [[nodiscard]] QByteArray rates(int pages) const
    {
        const qint64 cpu = cpuNanoseconds() - m_cpu;
        const qint64 wall = m_wall.nsecsElapsed();
        return QStringLiteral("%1 pages/s of processor time (%2 s), %3 pages/s wall (%4 s)")
            .arg(perSecond(pages, cpu), 0, 'f', 0)
            .arg(cpu / 1e9, 0, 'f', 3)
            .arg(perSecond(pages, wall), 0, 'f', 0)
            .arg(wall / 1e9, 0, 'f', 3)
            .toUtf8();
    }

private:
    qint64 m_cpu;
    QElapsedTimer m_wall;
};

// A print target that drops every page: what recording alone costs.
class DiscardingSink final : public PageOutput {
public:
    bool begin(const QString&) override { return true; }
    bool write(const PageRecord&, const QRect&) override { return true; }
};

// Draws every page on a fresh surface bound to the sink and ends the document.
void drawAll(PageOutput& sink, const QStringList& texts)
{
    EMF emf;
    emf.SetObject(sink, 0, dpi, 1.0, 2100, 2970, 0, 0);
    for (int page = 0; page < pageCount; ++page)
        drawPage(emf, page, texts);
    emf.EndDoc();
}

long long fileKilobytes(const QString& path)
{
    return QFileInfo(path).size() / 1024;
}

}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc > 1)
        pageCount = std::max(1, std::atoi(argv[1]));
    QTemporaryDir dir;
    const QStringList texts = sampleTexts();
    std::printf("bench_render: %d pages, %d lines and %d Japanese text runs per page, %d dpi\n",
        pageCount, linesPerPage, textsPerPage, dpi);

    // Streaming: each page goes to the PDF as it closes; memory stays flat.
    {
        const QString path = dir.filePath("streamed.pdf");
        FileSink pdf(FileSink::Format::Pdf, path);
        const Stopwatch watch;
        drawAll(pdf, texts);
        pdf.finish();
        std::printf("streamed to PDF:   %s; peak memory %ld MiB; file %lld KiB\n",
            watch.rates(pageCount).constData(), peakKilobytes() / 1024, fileKilobytes(path));
    }

    // Recording only, each page dropped as it closes.
    {
        DiscardingSink discard;
        const Stopwatch watch;
        drawAll(discard, texts);
        std::printf("recorded, dropped: %s\n", watch.rates(pageCount).constData());
    }

    // Recording with every page kept as a page record.
    PageCollector records;
    {
        const Stopwatch watch;
        drawAll(records, texts);
        const QByteArray rates = watch.rates(pageCount);
        std::size_t calls = 0;
        for (const PageRecord& page : records.pages())
            calls += page.calls().size();
        std::printf("recorded, kept:    %s; %zu calls; peak memory %ld MiB\n", rates.constData(),
            calls, peakKilobytes() / 1024);
    }

    // Replaying the recorded pages as their text dumps.
    {
        const Stopwatch watch;
        qsizetype characters = 0;
        for (const PageRecord& page : records.pages())
            characters += page.dump().size();
        std::printf("dumped as text:    %s; %lld characters\n", watch.rates(pageCount).constData(),
            static_cast<long long>(characters));
    }

    // Writing the recorded pages to one PDF.
    {
        const QString path = dir.filePath("recorded.pdf");
        FileSink pdf(FileSink::Format::Pdf, path);
        pdf.begin(QStringLiteral("bench"));
        const Stopwatch watch;
        for (std::size_t i = 0; i < records.pages().size(); ++i)
            pdf.write(records.pages()[i], records.playRects()[i]);
        pdf.finish();
        std::printf("PDF from records:  %s; peak memory %ld MiB; file %lld KiB\n",
            watch.rates(pageCount).constData(), peakKilobytes() / 1024, fileKilobytes(path));
    }
    return 0;
}

// Figures for the page language: cutting the tokens of a 1 MB face, and running 1,000 dense pages
// (200 lines and 100 Japanese text runs each) through the interpreter into page records.
#include "lang/DControl.h"
#include "lang/TokenCutter.h"
#include "render/FakeTextMetrics.h"
#include "render/PageOutput.h"
#include "render/PageRecord.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sys/resource.h>
#include <vector>

namespace {

// A print job that counts the pages played into it and keeps none of them.
class CountingSink final : public vorlix::render::PageOutput {
public:
    bool begin(const QString&) override { return true; }
    bool write(const vorlix::render::PageRecord& page, const QRect&) override
    {
        ++pages;
        calls += page.calls().size();
        return true;
    }

    long pages = 0;
    std::size_t calls = 0;
};

QString oneMegabyteFace()
{
    const QString block
        = QStringLiteral("# 請求書の明細行\r\n"
                         "fs,1,\"ＭＳ 明朝\",9,0;ps,1,1,0,0;o,210,130;\r\n"
                         "h,100,200,1500;v,100,200,800;d,0,0,0x1F,-.5;\r\n"
                         "s,100,210,\"品名　数量　単価\",\"合計\",600;\r\n"
                         "x,100,250,\"x^2+y_{i}\";t,100,300,3,1,40,300,250,\"A\",\"B\",\"C\";\r\n");
    QString face;
    face.reserve(1 << 20);
    while (face.size() < (1 << 20))
        face += block;
    return face;
}

void benchCutting()
{
    const QString face = oneMegabyteFace();
    vorlix::lang::TokenCutter cutter;
    QString token;
    long tokens = 0;
    const int rounds = 10;
    QElapsedTimer timer;
    timer.start();
    for (int round = 0; round < rounds; ++round) {
        cutter.TextEx(face);
        while (cutter.getToken(token) != vorlix::lang::TokenType::TkEndOfText)
            ++tokens;
    }
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const double megabytes = static_cast<double>(face.size()) * rounds / (1 << 20);
    std::printf("token cutter: %.1f MB (characters) in %.3f s: %.1f MB/s, %.2f M tokens/s\n",
        megabytes, seconds, megabytes / seconds, static_cast<double>(tokens) / seconds / 1e6);
}

QString densePage(int page)
{
    QString text;
    for (int i = 0; i < 200; ++i)
        text += QStringLiteral("h,%1,%2,1500;").arg(100 + i % 7).arg(100 + i * 13);
    for (int i = 0; i < 100; ++i)
        text += QStringLiteral("s,%1,%2,\"第%3頁　品名明細　数量１２３　単価４５６\";")
                    .arg(120 + (i % 2) * 900)
                    .arg(120 + (i / 2) * 55)
                    .arg(page);
    return text;
}

QString denseDocument(int pages)
{
    const QString head = QStringLiteral("fs,1,\"ＭＳ 明朝\",9,0;ps,1,1,0,0;o,0,0;");
    QString body = head;
    QStringList starts { QStringLiteral("1") };
    for (int page = 1; page <= pages; ++page) {
        starts << QString::number(body.size() + 1);
        body += densePage(page);
    }
    body += QLatin1Char(' ');
    return QStringLiteral("head,%1,%2;\r\n").arg(pages).arg(starts.join(',')) + body;
}

void benchPages(
    const char* label, std::shared_ptr<const vorlix::render::TextMetrics> metrics, int rounds)
{
    const int pages = 1000;
    const QString document = denseDocument(pages);
    CountingSink sink;
    vorlix::lang::DControl control(std::move(metrics));
    control.SetObject(sink, 0, 400, 1.0, 2100, 2970, 0, 0);
    control.SetDoc(document);
    // The first round warms the font cache and the allocator; the best of the rest is reported,
    // since on a shared machine the slowest rounds measure the neighbours rather than the code.
    std::vector<double> rates;
    for (int round = 0; round <= rounds; ++round) {
        sink.pages = 0;
        sink.calls = 0;
        QElapsedTimer timer;
        timer.start();
        control.PagePrint(1, pages);
        const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        if (round > 0)
            rates.push_back(static_cast<double>(sink.pages) / seconds);
    }
    std::sort(rates.begin(), rates.end());
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("interpreter (%s): %ld pages, %zu device calls per round; best of %d rounds "
                "%.0f pages/s, median %.0f pages/s (errors %d, warnings %d, peak memory %ld MB)\n",
        label, sink.pages, sink.calls, rounds, rates.back(), rates[rates.size() / 2],
        control.report.fError ? 1 : 0, control.report.fWarning ? 1 : 0, usage.ru_maxrss / 1024);
}

}

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    // "bench_lang N" runs the page figures N rounds (default 5).
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    benchCutting();
    benchPages("fixed metrics", std::make_shared<vorlix::render::FakeTextMetrics>(), rounds);
    benchPages("real fonts", {}, rounds);
    return 0;
}

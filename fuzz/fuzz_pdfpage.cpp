// Runs arbitrary bytes as statements through the interpreter on the installed fonts, then writes
// the pages drawn as a PDF with the program's own writer: texts of any characters through the
// shaper and its caches, numbers of any size in the content streams, the fonts' subsets. Nothing
// may crash or hang. Each input is a document of its own (a new font registry), so the shaper's
// per-thread caches see documents come and go as in a long session. Leaks are not looked for
// here (fuzz_pdfpage.options, which scripts/fuzz-run also reads for the check at the end): Qt keeps
// font engines, fontconfig patterns and HarfBuzz faces per thread and never frees the main thread's
// before the process ends, which the leak check counts against the inputs; the sanitized test suite
// looks for this program's own leaks.
#include "fuzz/OffscreenApplication.h"
#include "lang/DControl.h"
#include "lang/RunLimits.h"
#include "render/PageCollector.h"
#include "render/PdfFontRegistry.h"
#include "render/PdfPageDevice.h"
#include "render/PdfPreparedPage.h"
#include "render/PdfWriter.h"
#include "render/QtTextMetrics.h"
#include "shell/CodePage.h"

#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

constexpr vorlix::lang::RunLimits kLimits {
    .axisLabels = 100, .gridLines = 1000, .curvePoints = 100
};
// More pages add nothing the first ones do not test.
constexpr std::size_t kMaxPages = 4;

const QString& outputPath()
{
    static const QTemporaryDir folder;
    static const QString path = folder.path() + QStringLiteral("/fuzz.pdf");
    return path;
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    (void)vorlix::fuzz::offscreenApplication();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = vorlix::shell::decodeText(bytes).text;

    vorlix::render::PageCollector sink;
    vorlix::lang::DControl control(std::make_shared<vorlix::render::QtTextMetrics>());
    control.SetObject(sink, 0, 400, 1.0, 2100, 2970, 0, 0);
    control.setLimits(kLimits);
    control.GoDoc(QStringLiteral("start;") + text + QStringLiteral(";;out;"));
    control.GoDoc(QStringLiteral(";end;"));

    vorlix::render::PdfFontRegistry fonts;
    vorlix::render::PdfWriter writer(outputPath());
    if (!writer.open())
        std::abort();
    const auto& pages = sink.pages();
    for (std::size_t i = 0; i < pages.size() && i < kMaxPages; ++i) {
        const auto prepared
            = vorlix::render::PdfPageDevice::prepare(fonts, pages[i], sink.playRects()[i]);
        writer.writePage(*prepared);
    }
    writer.finish(QStringLiteral("fuzz"));
    return 0;
}

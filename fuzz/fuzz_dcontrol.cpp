// Runs arbitrary bytes as a paged document and as a plain statement text through the interpreter
// on fixed text metrics and an in-memory print job. Nothing may crash or hang; a malformed header
// may only throw the runtime's error. The statements run under small limits, so that an input that
// asks for a hundred thousand labels fails quickly instead of slowing every run down.
#include "fuzz/OffscreenApplication.h"
#include "lang/DControl.h"
#include "lang/RunLimits.h"
#include "render/FakeTextMetrics.h"
#include "render/PageCollector.h"
#include "shell/CodePage.h"
#include "shell/RunError.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

constexpr vorlix::lang::RunLimits kLimits {
    .axisLabels = 100, .gridLines = 1000, .curvePoints = 100
};

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    (void)vorlix::fuzz::offscreenApplication();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = vorlix::shell::decodeText(bytes).text;

    vorlix::render::PageCollector sink;
    vorlix::lang::DControl control(std::make_shared<vorlix::render::FakeTextMetrics>());
    control.SetObject(sink, 0, 400, 1.0, 2100, 2970, 0, 0);
    control.setLimits(kLimits);
    try {
        control.SetDoc(text);
        control.PagePrint(0, 64);
    } catch (const vorlix::shell::RunError&) {
    }
    control.GoDoc(QStringLiteral("start;") + text + QStringLiteral(";;out;"));
    control.GoDoc(QStringLiteral(";end;"));
    return 0;
}

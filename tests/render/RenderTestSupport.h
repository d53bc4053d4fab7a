#pragma once

#include "render/EMF.h"
#include "render/FakeTextMetrics.h"
#include "render/PageCollector.h"
#include "render/PageRecord.h"
#include "render/PageRecorder.h"
#include "render/PreviewSink.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RunErrorNumber.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <stdexcept>

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace vorlix::test {

using RenderLogCapture = LogCapture;

// The face most tests define their fonts with (the default font's).
inline const QString mincho = QStringLiteral("ＭＳ 明朝");

// A factory for the printer an unbound surface opens by itself: an in-memory print job, noted
// in made.
inline auto collectingPrinter(render::PageCollector*& made)
{
    return [&made] {
        auto printer = std::make_unique<render::PageCollector>();
        made = printer.get();
        return std::unique_ptr<render::PageOutput>(std::move(printer));
    };
}

// The dump lines of a page's calls (without the head line), from the first call on.
inline QStringList dumpLines(const render::PageRecord& page, std::size_t first = 0)
{
    return page.dump().split(u'\n', Qt::SkipEmptyParts).mid(1 + static_cast<qsizetype>(first));
}

// A surface with fixed metrics bound to an in-memory print job. At 254 dpi one face unit is one
// device pixel, so expected positions read directly; the default font (9 points) then has
// H = 32 and W = 16.
class SurfaceTest : public ::testing::Test {
protected:
    render::PageCollector sink;
    render::PreviewSink preview;
    render::EMF emf { std::make_shared<render::FakeTextMetrics>() };

    void bindPrinter(int dpi = 254, double ratio = 1.0, int width = 2100, int height = 2970)
    {
        emf.SetObject(sink, 0, dpi, ratio, width, height, 0, 0);
    }
    void bindPreview(int dpi = 400, double ratio = 1.0, int width = 2100, int height = 2970)
    {
        emf.SetObject(preview, 0, dpi, ratio, width, height, 0, 0);
    }

    // Binds a print target at dpi, opens a page and remembers where its own drawing begins.
    void startPage(int dpi = 254)
    {
        bindPrinter(dpi);
        emf.Start();
        mark();
    }
    void mark() { m_mark = page().calls().size(); }

    // The page being recorded.
    [[nodiscard]] const render::PageRecord& page()
    {
        auto* device = dynamic_cast<render::PageRecorder*>(emf.hDC());
        if (!device)
            throw std::runtime_error("no page is recording");
        return device->record();
    }

    // The dump lines of the calls made since the last mark.
    [[nodiscard]] QStringList drawn() { return dumpLines(page(), m_mark); }

    // Only the lines of one kind of call.
    [[nodiscard]] QStringList drawn(const QString& kind)
    {
        QStringList picked;
        for (const QString& line : drawn()) {
            if (line.startsWith(kind + u' ') || line == kind)
                picked << line;
        }
        return picked;
    }

    // Where the device current point is: the position XY's move to a face point lands on.
    [[nodiscard]] QString pointOf(int x, int y)
    {
        mark();
        emf.XY(x, y);
        return drawn().value(0);
    }

private:
    std::size_t m_mark = 0;
};

}

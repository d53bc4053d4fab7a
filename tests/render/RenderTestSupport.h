#pragma once

#include "render/EMF.h"
#include "render/FakeTextMetrics.h"
#include "render/PageCollector.h"
#include "render/PageRecord.h"
#include "render/PageRecorder.h"
#include "shell/CodePage.h"
#include "shell/ModuleState.h"
#include "shell/RunError.h"
#include "tests/support/LogFileCapture.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryFile>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace vorlix::test {

using RenderLogCapture = LogFileCapture;

// A surface with fixed metrics bound to an in-memory print job. At 254 dpi one face unit is one
// device pixel, so expected positions read directly; the default font (9 points) then has
// H = 32 and W = 16.
class SurfaceTest : public ::testing::Test {
protected:
    render::PageCollector sink { true };
    render::PageCollector preview { false };
    render::EMF emf { std::make_shared<render::FakeTextMetrics>() };

    void bindPrinter(int dpi = 254, double ratio = 1.0, int width = 2100, int height = 2970)
    {
        emf.SetObject(sink, 0, dpi, ratio, width, height, 0, 0);
    }
    void bindPreview(int dpi = 400, double ratio = 1.0, int width = 2100, int height = 2970)
    {
        emf.SetObject(preview, 0, dpi, ratio, width, height, 0, 0);
    }

    // Opens a page and remembers where its own drawing begins.
    void startPage(int dpi = 254)
    {
        if (!emf.initialised())
            bindPrinter(dpi);
        emf.Start();
        mark();
    }
    void mark() { m_mark = recorder().record().calls().size(); }

    [[nodiscard]] const render::PageRecorder& recorder()
    {
        auto* device = dynamic_cast<render::PageRecorder*>(emf.hDC());
        if (!device)
            throw std::runtime_error("no page is recording");
        return *device;
    }

    // The dump lines of the calls made since the last mark.
    [[nodiscard]] QStringList drawn()
    {
        QStringList lines = recorder().record().dump().split(u'\n', Qt::SkipEmptyParts);
        return lines.mid(1 + static_cast<qsizetype>(m_mark));
    }

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

    [[nodiscard]] std::pair<int, int> devicePoint() const { return { emf.devX(), emf.devY() }; }

private:
    std::size_t m_mark = 0;
};

// The run-time error number a call raises, 0 when it raises none.
template <typename F> int errorNumberOf(F&& call)
{
    try {
        call();
    } catch (const shell::RunError& error) {
        return error.number();
    }
    return 0;
}

}

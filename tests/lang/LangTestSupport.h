#pragma once

#include "lang/DControl.h"
#include "render/FakeTextMetrics.h"
#include "render/PageCollector.h"
#include "shell/CodePage.h"
#include "shell/ModuleState.h"
#include "tests/support/LogFileCapture.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryFile>
#include <memory>

namespace vorlix::test {

using LogCapture = LogFileCapture;

// An interpreter with fixed text metrics bound to an in-memory print job: A4 portrait at
// 400 dpi, so that one face unit is 400 / 254 device units.
struct BoundInterpreter {
    render::PageCollector sink { true };
    lang::DControl control { std::make_shared<render::FakeTextMetrics>() };

    BoundInterpreter() { control.SetObject(sink, 0, 400, 1.0, 2100, 2970, 0, 0); }

    // The dump of every printed page, joined.
    QString dumps() const
    {
        QString all;
        for (const auto& page : sink.pages())
            all += page.dump();
        return all;
    }
};

}

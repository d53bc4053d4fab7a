#pragma once

#include "lang/DControl.h"
#include "render/FakeTextMetrics.h"
#include "render/PageCollector.h"
#include "shell/CodePage.h"
#include "shell/ModuleState.h"
#include "tests/support/LogCapture.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryFile>
#include <gtest/gtest.h>
#include <memory>

namespace vorlix::test {

// Compares a page dump with its golden file; with VORLIX_REGENERATE_GOLDEN=1 the golden file is
// written from the dump instead and the test is skipped.
inline void expectGolden(const QString& actual, const QString& golden)
{
    if (qEnvironmentVariableIntValue("VORLIX_REGENERATE_GOLDEN") == 1) {
        QFile out(golden);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(actual.toUtf8());
        GTEST_SKIP() << "regenerated " << golden.toStdString();
    }
    QFile expected(golden);
    ASSERT_TRUE(expected.open(QIODevice::ReadOnly)) << golden.toStdString();
    EXPECT_EQ(actual.toStdString(), QString::fromUtf8(expected.readAll()).toStdString());
}

// An interpreter with fixed text metrics bound to an in-memory print job: A4 portrait at
// 400 dpi, so that one face unit is 400 / 254 device units.
struct BoundInterpreter {
    render::PageCollector sink;
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

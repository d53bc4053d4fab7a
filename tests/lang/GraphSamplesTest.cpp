#include "LangTestSupport.h"
#include "lang/DControl.h"
#include "render/FakeTextMetrics.h"
#include "render/PageCollector.h"
#include "shell/CodePage.h"

#include <QFile>
#include <gtest/gtest.h>

// The chart samples a user can try, rendered on fixed text metrics at 400 dpi and compared with
// their committed page-record dumps. Set VORLIX_REGENERATE_GOLDEN=1 to rewrite the dumps after
// checking a change by eye (render the sample to PNG with vorlix-render).
namespace {

QString samplePath(const QString& name)
{
    const QString source = qEnvironmentVariable("VORLIX_SOURCE_DIR", QStringLiteral("../.."));
    return source + QStringLiteral("/samples/") + name;
}

QString renderSample(const QString& name, bool& clean)
{
    QFile file(samplePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read ") + name;
    vorlix::render::PageCollector sink;
    vorlix::lang::DControl control(std::make_shared<vorlix::render::FakeTextMetrics>());
    control.SetObject(sink, 0, 400, 1.0, 2100, 2970, 0, 0);
    control.SetDoc(vorlix::shell::decodeText(file.readAll()).text);
    control.PagePrint(1, control.Page());
    clean = !control.report.fError && !control.report.fWarning;
    QString out;
    for (const auto& page : sink.pages())
        out += page.dump();
    return out;
}

class ChartSamples : public ::testing::TestWithParam<const char*> { };

TEST_P(ChartSamples, MatchTheirDumps)
{
    const QString name = QString::fromLatin1(GetParam());
    const QString golden = QStringLiteral("data/charts/")
        + QString(name).replace(QStringLiteral(".fae"), QStringLiteral(".golden"));
    bool clean = false;
    const QString actual = renderSample(name, clean);
    EXPECT_TRUE(clean) << "the sample reports a warning or a failed statement";
    vorlix::test::expectGolden(actual, golden);
}

INSTANTIATE_TEST_SUITE_P(Samples, ChartSamples,
    ::testing::Values("chart-linear.fae", "chart-semilog.fae", "chart-curve.fae"),
    [](const ::testing::TestParamInfo<const char*>& param) {
        return QString::fromLatin1(param.param).section(u'.', 0, 0).remove(u'-').toStdString();
    });

}

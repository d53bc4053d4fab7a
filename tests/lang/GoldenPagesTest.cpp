#include "LangTestSupport.h"

#include "shell/CodePage.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

// Small faces that exercise every drawing and text command, run through the interpreter on fixed
// text metrics; their page-record dumps are compared with the committed golden files. Set
// VORLIX_REGENERATE_GOLDEN=1 to rewrite the golden files after checking a change by eye.
namespace {

QString dataPath(const QString& name)
{
    return QStringLiteral("data/") + name;
}

QString renderFace(const QString& faceFile)
{
    QFile file(dataPath(faceFile));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read ") + faceFile;
    vorlix::test::BoundInterpreter run;
    run.control.SetDoc(vorlix::shell::decodeText(file.readAll()).text);
    run.control.PagePrint(1, run.control.Page());
    QString out;
    int page = 0;
    for (const auto& record : run.sink.pages())
        out += QStringLiteral("== page %1\n").arg(++page) + record.dump();
    out += QStringLiteral("== events %1\n").arg(run.sink.events().join(QLatin1Char(' ')));
    return out;
}

class GoldenPages : public ::testing::TestWithParam<const char*> { };

TEST_P(GoldenPages, MatchTheirDumps)
{
    const QString face = QString::fromLatin1(GetParam());
    const QString golden
        = dataPath(QString(face).replace(QStringLiteral(".fae"), QStringLiteral(".golden")));
    const QString actual = renderFace(face);
    vorlix::test::expectGolden(actual, golden);
}

INSTANTIATE_TEST_SUITE_P(DControl, GoldenPages,
    ::testing::Values("lines.fae", "text.fae", "image.fae", "diagnostics.fae", "paged.fae"),
    [](const ::testing::TestParamInfo<const char*>& param) {
        return QString::fromLatin1(param.param).section('.', 0, 0).toStdString();
    });

}

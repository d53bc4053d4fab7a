#include "AxisChartSupport.h"

#include <gtest/gtest.h>

using vorlix::test::callsOf;
using vorlix::test::ChartRun;
using vorlix::test::halfCircles;
using vorlix::test::segments;
using vorlix::test::texts;

namespace {

// Statements that draw straight lines in data units, and the lines they must give in face units.
struct LineCase {
    const char* name;
    const char* statements;
    QStringList expected;
};

class AxisLines : public ::testing::TestWithParam<LineCase> { };

TEST_P(AxisLines, LandOnTheExpectedFaceUnits)
{
    const LineCase& c = GetParam();
    ChartRun run;
    const QStringList dump = run.page(QString::fromUtf8(c.statements));
    EXPECT_FALSE(run.control.report.fError) << run.control.report.sErrMsg.toStdString();
    EXPECT_FALSE(run.control.report.fWarning);
    EXPECT_EQ(segments(dump), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Charts, AxisLines,
    ::testing::Values(
        LineCase { "linearAxis", "as,1,0,0,50;a,1,1;ad,0,0,50,100;", { "0,0>100,200" } },
        LineCase {
            "separateAxes", "as,3,0,10,10;as,4,2,0,50;a,3,4;ad,10,0,20,50;", { "0,0>100,-100" } },
        LineCase { "logAxis", "as,2,1,1,300;a,2,2;ad,10,100,0.5,1;", { "300,600>-90,0" } },
        LineCase {
            "logAxisNonPositiveAtZero", "as,2,1,1,300;a,2,2;ad,-5,0,100,10;", { "0,0>600,300" } },
        LineCase { "squareRootAxis", "as,5,4,0,4;a,5,5;ad,0,1,9,16;", { "0,50>150,200" } },
        LineCase { "axisZero", "as,0,0,0,10;a,0,0;ad,1,1,2,2;", { "10,10>20,20" } },
        LineCase {
            "ignoredType", "as,1,0,0,50;as,1,7,0,1;a,1,1;ad,0,0,50,100;", { "0,0>100,200" } },
        // Vertical lines at x values, from the page position of one y value.
        LineCase { "gridVertical", "as,1,0,0,50;a,1,1;av,100,10,10,20;",
            { "20,20>20,120", "40,20>40,120" } },
        LineCase { "gridHorizontal", "as,1,0,0,50;a,1,1;ah,-30,5,10,20;",
            { "10,20>-20,20", "10,40>-20,40" } },
        LineCase { "gridNoValues", "av,100,10;h,0,0,5;", { "0,0>5,0" } },
        // ag: the length is measured on the x axis, the angle turns it in face units.
        LineCase { "angleLine", "as,1,0,0,50;a,1,1;ag,10,10,50,90;ag,0,0,50,0;",
            { "20,20>20,120", "0,0>100,0" } },
        LineCase { "angleLineDiagonal", "ag,0,0,100,45;", { "0,0>71,71" } },
        // agf: y = y0 + tan(angle) x in face units, between two x values.
        LineCase { "slopeLine", "as,1,0,0,50;a,1,1;agf,10,45,0,50;", { "0,20>100,120" } },
        // ap: the first pair moves, every later one draws.
        LineCase {
            "polyline", "as,1,0,0,50;a,1,1;ap,0,0,10,10,20,0;", { "0,0>20,20", "20,20>40,0" } },
        // A word in place of a pair is skipped with the token after it.
        LineCase { "polylineSkipsWords", "ap,0,0,x,1,10,10;", { "0,0>10,10" } },
        // An odd count: the cut-off pair reads on into the next statement, which is swallowed.
        LineCase { "polylineReadsOn", "as,1,0,0,50;a,1,1;ap,1,2,3;h,0,0,10;", { "2,4>0,20" } }),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(AxisCommands, AxesPersistAcrossTexts)
{
    ChartRun run;
    (void)run.page("as,1,0,0,50;as,2,1,1,300;a,1,2;");
    EXPECT_EQ(segments(run.page("ad,50,10,0,1;")), QStringList({ "100,300>0,0" }));
}

struct LabelCase {
    const char* name;
    const char* statements;
    QStringList texts;
    QStringList moves;
};

class AxisLabelStatements : public ::testing::TestWithParam<LabelCase> { };

TEST_P(AxisLabelStatements, PrintTheValuesAtTheirPositions)
{
    const LabelCase& c = GetParam();
    ChartRun run;
    const QStringList dump = run.page(QString::fromUtf8(c.statements));
    EXPECT_FALSE(run.control.report.fError) << run.control.report.sErrMsg.toStdString();
    EXPECT_EQ(texts(dump), c.texts);
    QStringList moves;
    for (const QString& line : callsOf(dump, QStringLiteral("textOut ")))
        moves << line.section(u' ', 1, 2);
    EXPECT_EQ(moves, c.moves);
}

INSTANTIATE_TEST_SUITE_P(Charts, AxisLabelStatements,
    ::testing::Values(
        LabelCase { "quarters", "al,0,0,0,0,100,25;", { "0", "25", "50", "75", "100" },
            { "0 0", "25 0", "50 0", "75 0", "100 0" } },
        LabelCase { "wrongDirection", "al,0,0,0,100,0,25;", {}, {} },
        LabelCase { "zeroStepOnce", "al,0,0,0,5,5,0;", { "5" }, { "5 0" } },
        LabelCase { "verticalOnScaledAxis", "as,1,0,0,50;a,1,1;al,10,20,1,0,1,0.5;",
            { "0", "0.5", "1" }, { "10 20", "10 21", "10 22" } },
        LabelCase { "tenths", "as,1,0,0,0.1;a,1,1;al,0,0,0,0.1,0.35,0.1;", { "0.1", "0.2", "0.3" },
            { "100 0", "200 0", "300 0" } },
        LabelCase { "pageSteps", "as,1,0,0,50;a,1,1;ab,0,30,0,0,200,100;", { "0", "50", "100" },
            { "0 30", "100 30", "200 30" } },
        LabelCase { "pageStepsDown", "as,1,2,0,10;a,1,1;ab,5,0,1,0,-300,-100;",
            { "0", "10", "20", "30" }, { "5 0", "5 -100", "5 -200", "5 -300" } },
        // Logarithmic labels are the powers themselves, square-root labels the whole squares.
        LabelCase { "logDecades", "as,1,1,1,300;ab,300,300,0,0,600,150;",
            { "1", "3.16227766016838", "10", "31.6227766016838", "100" },
            { "300 300", "450 300", "600 300", "750 300", "900 300" } },
        LabelCase { "logDecadesReversedDown", "as,2,3,1,100;a,1,2;ab,0,0,1,0,-300,-100;",
            { "1", "10", "100", "1000" }, { "0 0", "0 -100", "0 -200", "0 -300" } },
        LabelCase { "rootSquares", "as,1,4,0,100;ab,0,0,0,0,40,10;", { "0", "1", "4", "9", "16" },
            { "0 0", "10 0", "20 0", "30 0", "40 0" } },
        // A run that would step past the 32-bit range just ends.
        LabelCase { "pageStepsAtTheEnd", "ab,0,0,0,2147483000,2147483647,400;",
            { "2147483000", "2147483400" }, { "2147483000 0", "2147483400 0" } },
        LabelCase { "textAtDataPoint", "as,1,0,0,50;a,1,1;ala,10,20,5,-5,\"peak\",\" A\";",
            { "peak A" }, { "25 35" } }),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

// A long run of "al" labels counts its steps instead of adding them up, so the thousandth tenth
// still prints as 100 and no label shows the drift of a running sum.
TEST(AxisCommands, LongLabelRunsPrintTheirExactSteps)
{
    ChartRun run;
    const QStringList labels = texts(run.page(QStringLiteral("al,0,0,0,0,100,0.1;")));
    ASSERT_EQ(labels.size(), 1001);
    EXPECT_EQ(labels.mid(998), QStringList({ "99.8", "99.9", "100" }));
    EXPECT_EQ(labels[60], u"6");
    for (const QString& label : labels)
        EXPECT_LE(label.size(), 4) << label.toStdString();
    ChartRun down;
    const QStringList falling = texts(down.page(QStringLiteral("al,0,0,0,10,0,-0.01;")));
    ASSERT_EQ(falling.size(), 1001);
    EXPECT_EQ(falling.mid(999), QStringList({ "0.01", "0" }));
}

TEST(AxisCommands, MarksAtDataPoints)
{
    ChartRun run;
    const QStringList dump = run.page("as,1,0,0,50;a,1,1;am,2,0,0,10,10,20,x,30,30;am,99,1,1;");
    EXPECT_EQ(texts(dump), QStringList({ "●", "●", "●" }));
    EXPECT_FALSE(run.control.report.fError);
}

TEST(AxisCommands, HalfCircles)
{
    struct Case {
        const char* statements;
        QStringList circles;
    };
    const Case cases[] = {
        // Diameters are converted as x positions (offset included) and halved toward zero.
        { "as,1,0,0,50;a,1,1;ahr,0,5,20,30,15;", { "20,10,20", "75,10,15" } },
        { "as,1,0,-10,100;a,1,1;ahr,0,0,20;", { "25,10,15" } },
        { "ar,10,20,5,30,40,7;", { "10,20,5", "30,40,7" } },
        { "arc,9,0,0,100,0,200,0;", { "0,0,9", "100,0,9", "200,0,9" } },
        // The loops stop at the first token that is no number; the rest of a pair is dropped.
        { "ar,10,20,5,30,40;h,0,0,1;", { "10,20,5" } },
    };
    for (const Case& c : cases) {
        ChartRun run;
        EXPECT_EQ(halfCircles(run.page(QString::fromUtf8(c.statements))), c.circles)
            << c.statements;
    }
}

TEST(AxisCommands, TablePlotsKeepValidCompleteRows)
{
    ChartRun run;
    // Columns: x, a series in pen 2, a skipped column, a series in pen 3. The third row has a
    // word in a plotted column and is dropped; a word in the skipped column does not matter; the
    // last row is cut off by the ";".
    const QStringList dump = run.page("as,1,0,0,50;ps,2,2,4,0;ps,3,3,1,0;"
                                      "app,4,1,0,1,2,0,3,1,1,1,1,"
                                      "0,0,x,5,10,10,0,15,20,no,0,25,30,30,0,35,40,40;");
    EXPECT_FALSE(run.control.report.fError);
    EXPECT_FALSE(run.control.report.fWarning);
    EXPECT_EQ(vorlix::test::segmentsWithPen(dump),
        QStringList({ "2:0,0>20,20", "2:20,20>60,60", "3:0,10>20,30", "3:20,30>60,70" }));
}

TEST(AxisCommands, TablePlotsSwapAndMark)
{
    ChartRun run;
    const QStringList swapped = run.page("app,2,2,1,5,1,1,1,10,1,20,2;");
    EXPECT_EQ(segments(swapped), QStringList({ "10,1>20,2" }));
    const QStringList marks = run.page("apm,3,1,0,0,4,6,1,1,1,1,10,20,2,30,40,3,x,50;");
    EXPECT_EQ(texts(marks), QStringList({ "■", "■", "◆", "◆" }));
    // A table without rows draws nothing and fails nothing.
    EXPECT_TRUE(segments(run.page("app,2,1,0,0,1,1,1;")).isEmpty());
    EXPECT_FALSE(run.control.report.fError);
}

TEST(AxisCommands, BadInputFailsTheStatementOnly)
{
    struct Case {
        const char* statements;
        int error;
    };
    const Case cases[] = {
        { "as,9,0,0,1;", 9 },
        { "as,1,0,0,0;", 11 },
        { "as,1,4,0,-1;", 5 },
        { "as,1,1,0,300;", 5 },
        { "a,1,9;ad,0,0,1,1;", 9 },
        { "as,1,4,0,4;ad,-1,0,1,1;", 5 },
        { "as,1,1,1,300;ag,0,0,0,0;", 5 },
        { "ad,3000000000,0,1,1;", 6 },
        { "ad,1E+999,0,1,1;", 6 },
        { "agf,0,90,100,200;", 6 },
        { "al,0,0,0,0,1E+20,1;", 6 },
        { "ab,0,0,0,0,2000000000,1;", 6 },
        { "app,9,1,0;", 9 },
        { "app,0,1,0;", 9 },
        { "app,2,3,0,1,1,1,1;", 9 },
        { "app,2,1,0,1,70000,1,1;", 6 },
        { "app,2,1,0,1,1,1,12,5,5;", 9 },
        { "ad,0,0,1,x;", 13 },
    };
    for (const Case& c : cases) {
        ChartRun run;
        const QStringList dump = run.page(QString::fromUtf8(c.statements) + "h,0,2000,7;");
        EXPECT_TRUE(run.control.report.fError) << c.statements;
        EXPECT_EQ(run.control.report.ErrNumber, c.error) << c.statements;
        // The run goes on after the failure.
        EXPECT_TRUE(segments(dump).contains(QStringLiteral("0,2000>7,2000"))) << c.statements;
    }
}

TEST(AxisCommands, LongPolylineDrawsEveryPoint)
{
    ChartRun run;
    QString statement = QStringLiteral("ap");
    constexpr int points = 100000;
    statement.reserve(points * 16);
    for (int i = 0; i < points; ++i)
        statement += QStringLiteral(",%1,%2").arg(i % 2000).arg(i % 3);
    statement += u';';
    const QStringList dump = run.page(statement);
    EXPECT_FALSE(run.control.report.fError);
    EXPECT_EQ(callsOf(dump, QStringLiteral("lineTo ")).size(), points - 1);
}

}

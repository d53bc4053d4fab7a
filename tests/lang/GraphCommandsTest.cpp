#include "AxisChartSupport.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

#include <cmath>

using vorlix::test::callsOf;
using vorlix::test::ChartRun;
using vorlix::test::segments;
using vorlix::test::segmentsWithPen;
using vorlix::test::texts;

namespace {

// Positions of the ruled lines of one direction and pen width: x of vertical lines or y of
// horizontal ones.
QList<int> ruled(const QStringList& dump, bool horizontal, int width)
{
    QList<int> positions;
    for (const QString& s : segmentsWithPen(dump)) {
        static const QRegularExpression line(
            QStringLiteral("^(\\d+):(-?\\d+),(-?\\d+)>(-?\\d+),(-?\\d+)$"));
        const auto m = line.match(s);
        if (!m.hasMatch() || m.captured(1).toInt() != width)
            continue;
        const bool isHorizontal = m.captured(3) == m.captured(5);
        if (isHorizontal == horizontal)
            positions << (horizontal ? m.captured(3) : m.captured(2)).toInt();
    }
    return positions;
}

TEST(GraphCommands, DecimalPaper)
{
    ChartRun run;
    const QStringList dump = run.page("gra,0,0,200,100;");
    EXPECT_FALSE(run.control.report.fError);
    EXPECT_EQ(ruled(dump, false, 3), QList<int>({ 0, 100, 200 }));
    EXPECT_EQ(ruled(dump, false, 2), QList<int>({ 50, 150 }));
    EXPECT_EQ(ruled(dump, false, 1),
        QList<int>({ 10, 20, 30, 40, 60, 70, 80, 90, 110, 120, 130, 140, 160, 170, 180, 190 }));
    EXPECT_EQ(ruled(dump, true, 3), QList<int>({ 0, 100 }));
    EXPECT_EQ(ruled(dump, true, 2), QList<int>({ 50 }));
    EXPECT_EQ(ruled(dump, true, 1), QList<int>({ 10, 20, 30, 40, 60, 70, 80, 90 }));
    // Every line spans the whole area, vertical lines first, thin before heavy.
    const QStringList lines = segments(dump);
    EXPECT_EQ(lines.first(), QStringLiteral("10,0>10,100"));
    EXPECT_EQ(lines.last(), QStringLiteral("0,100>200,100"));
    EXPECT_EQ(lines.size(), 21 + 11);
}

TEST(GraphCommands, LogDecades)
{
    ChartRun run;
    const QStringList dump = run.page("fgra,0,0,300,300,300,10,0;");
    EXPECT_EQ(ruled(dump, false, 3), QList<int>({ 0, 90, 143, 181, 210, 233, 254, 271, 286, 300 }));
    EXPECT_EQ(ruled(dump, false, 1).size(), 21);
    EXPECT_TRUE(ruled(dump, true, 1).isEmpty());
}

TEST(GraphCommands, PaperKinds)
{
    struct Case {
        const char* statement;
        int verticalThin;
        int verticalMedium;
        int horizontalThin;
        int horizontalMedium;
    };
    const Case cases[] = {
        // Semi-logarithmic: log decades across, decimal paper down.
        { "gra,0,0,300,200,300,1;", 21, 0, 16, 2 },
        // Logarithmic both ways; a period of 401 or more takes the fine ruling.
        { "gra,0,0,300,300,300,2;", 21, 0, 21, 0 },
        { "gra,0,0,500,500,500,x;", 52, 4, 52, 4 },
        { "gra,0,0,400,100,400,1;", 21, 0, 8, 1 },
        { "fgra,0,0,100,100,50,0,1;", 0, 0, 8, 0 },
    };
    for (const Case& c : cases) {
        ChartRun run;
        const QStringList dump = run.page(QString::fromUtf8(c.statement));
        EXPECT_FALSE(run.control.report.fError) << c.statement;
        EXPECT_FALSE(run.control.report.fWarning) << c.statement;
        EXPECT_EQ(ruled(dump, false, 1).size(), c.verticalThin) << c.statement;
        EXPECT_EQ(ruled(dump, false, 2).size(), c.verticalMedium) << c.statement;
        EXPECT_EQ(ruled(dump, true, 1).size(), c.horizontalThin) << c.statement;
        EXPECT_EQ(ruled(dump, true, 2).size(), c.horizontalMedium) << c.statement;
    }
}

TEST(GraphCommands, ColourAndPenRestore)
{
    ChartRun run;
    const QStringList dump = run.page("ps,2,2,4,0;p,2;glc,0;fgra,0,0,10,10,10,0,0;h,0,50,5;"
                                      "glc,255;fgra,0,0,10,10,10,0,0;");
    const QStringList pens = callsOf(dump, QStringLiteral("selectPen"));
    EXPECT_TRUE(pens.contains(QStringLiteral("selectPen style=0 width=3 color=#000000")));
    EXPECT_TRUE(pens.contains(QStringLiteral("selectPen style=0 width=3 color=#ff0000")));
    EXPECT_FALSE(pens.join(u'\n').contains(QStringLiteral("#f0961e")));
    // The pen selected before the ruling draws again afterwards.
    const QStringList lines = segmentsWithPen(dump);
    EXPECT_TRUE(lines.contains(QStringLiteral("2:0,50>5,50"))) << lines.join(' ').toStdString();
}

TEST(GraphCommands, DegenerateRulingsDrawNothingAndEnd)
{
    for (const char* statement : { "fgra,0,0,100,100,0,1,0;", "fgra,0,0,100,100,-5,1,1;",
             "fgra,0,0,100,100,100,7,0;", "gra,0,0,100,100,0,2;", "gra,0,0,-100,-100;" }) {
        ChartRun run;
        const QStringList dump = run.page(QString::fromUtf8(statement));
        EXPECT_FALSE(run.control.report.fError) << statement;
        EXPECT_TRUE(segments(dump).isEmpty()) << statement;
    }
    ChartRun huge;
    (void)huge.page("gra,0,0,2000000000,100;");
    EXPECT_TRUE(huge.control.report.fError);
    EXPECT_EQ(huge.control.report.ErrNumber, 6);
}

// The points a curve statement passes, in face units: where it starts, then the end of every
// line drawn.
QList<QPoint> curvePoints(const QStringList& dump)
{
    QList<QPoint> points;
    for (const QString& line : dump) {
        const bool lineTo = line.startsWith(QStringLiteral("lineTo "));
        if (lineTo || (points.isEmpty() && line.startsWith(QStringLiteral("moveTo "))))
            points << QPoint(line.section(u' ', 1, 1).toInt(), line.section(u' ', 2, 2).toInt());
    }
    return points;
}

TEST(GraphCommands, CurveThroughPointsOnALineIsThatLine)
{
    ChartRun run;
    const QStringList dump = run.page("as,1,0,0,50;a,1,1;at,0,10,40,30,80,50;");
    EXPECT_FALSE(run.control.report.fError);
    const QList<QPoint> points = curvePoints(dump);
    // A move to the first point, then sixteen steps per segment (the first step of a segment
    // lands where the curve already is and adds nothing).
    ASSERT_EQ(points.size(), 1 + 2 * 16);
    for (const QPoint& p : points)
        EXPECT_NEAR(p.y(), 20 + p.x() / 2.0, 0.5) << p.x();
    EXPECT_EQ(points.front(), QPoint(0, 20));
    EXPECT_EQ(points[1].x(), 5);
    EXPECT_EQ(points[8], QPoint(40, 40));
    EXPECT_EQ(points[16], QPoint(80, 60));
    EXPECT_EQ(points.back(), QPoint(160, 100));
}

TEST(GraphCommands, TwoPointCurveBendsAwayFromItsChord)
{
    ChartRun run;
    const QStringList dump = run.page("at,0,0,160,80;");
    const QList<QPoint> points = curvePoints(dump);
    ASSERT_EQ(points.size(), 1 + 16);
    // The first slope mirrors 0 about the chord (4/3), the last one is 0: the middle lies above
    // the chord's 40.
    EXPECT_EQ(points[8], QPoint(80, 67));
    EXPECT_EQ(points[16], QPoint(160, 80));
    EXPECT_EQ(points[1], QPoint(10, 13));
}

TEST(GraphCommands, CurveRunsBackwardsAndJumps)
{
    ChartRun run;
    const QList<QPoint> backwards = curvePoints(run.page("at,160,0,0,0;"));
    ASSERT_EQ(backwards.size(), 17);
    EXPECT_EQ(backwards[1], QPoint(150, 0));
    EXPECT_EQ(backwards[16], QPoint(0, 0));
    // A vertical step in the data is drawn as a straight jump, inside the data and at either end.
    struct Case {
        const char* statement;
        qsizetype points;
        QPoint jumpFrom, jumpTo, last;
    };
    const Case cases[] = {
        { "at,0,0,16,16,16,40,32,56;", 1 + 16 + 1 + 16, { 16, 16 }, { 16, 40 }, { 32, 56 } },
        { "at,0,0,0,100;", 2, { 0, 0 }, { 0, 100 }, { 0, 100 } },
        { "at,0,0,0,100,16,116;", 1 + 1 + 16, { 0, 0 }, { 0, 100 }, { 16, 116 } },
        { "at,0,0,16,16,16,40;", 1 + 16 + 1, { 16, 16 }, { 16, 40 }, { 16, 40 } },
        { "at,0,0,0,50,0,100;", 3, { 0, 50 }, { 0, 100 }, { 0, 100 } },
        { "at,5,1,5,1;", 1, { 5, 1 }, { 5, 1 }, { 5, 1 } },
    };
    for (const Case& c : cases) {
        ChartRun jumps;
        const QList<QPoint> jump = curvePoints(jumps.page(QString::fromUtf8(c.statement)));
        EXPECT_FALSE(jumps.control.report.fError) << c.statement;
        ASSERT_EQ(jump.size(), c.points) << c.statement;
        const qsizetype at = jump.indexOf(c.jumpFrom);
        ASSERT_GE(at, 0) << c.statement;
        EXPECT_EQ(jump.value(at + 1, c.jumpTo), c.jumpTo) << c.statement;
        EXPECT_EQ(jump.back(), c.last) << c.statement;
    }
}

// Points whose end chord rises at 45 degrees beside a level point: the curve is a valley through
// them, drawn whole, forwards and backwards.
TEST(GraphCommands, CurvesBesideSteepChordsDrawAValley)
{
    struct Case {
        const char* statement;
        QPoint first, bottom, last;
    };
    const Case cases[] = {
        { "at,100,100,600,600,1100,100;", { 100, 100 }, { 600, 600 }, { 1100, 100 } },
        { "at,1100,1300,600,1800,100,1300;", { 1100, 1300 }, { 600, 1800 }, { 100, 1300 } },
    };
    for (const Case& c : cases) {
        ChartRun run;
        const QList<QPoint> points = curvePoints(run.page(QString::fromUtf8(c.statement)));
        EXPECT_FALSE(run.control.report.fError) << c.statement;
        ASSERT_EQ(points.size(), 1 + 2 * 16) << c.statement;
        EXPECT_EQ(points.front(), c.first);
        EXPECT_EQ(points[16], c.bottom);
        EXPECT_EQ(points.back(), c.last);
        // Down to the bottom point and up again, never below it nor above the ends.
        for (qsizetype i = 1; i < points.size(); ++i) {
            EXPECT_EQ(points[i].y() >= points[i - 1].y(), i <= 16) << c.statement << ' ' << i;
            EXPECT_LE(points[i].y(), c.bottom.y()) << c.statement << ' ' << i;
            EXPECT_GE(points[i].y(), c.first.y()) << c.statement << ' ' << i;
        }
    }
}

TEST(GraphCommands, BadCurvesFailTheStatementOnly)
{
    struct Case {
        const char* statements;
        int error;
    };
    const Case cases[] = {
        { "at;", 9 },
        { "at,5,5;", 9 },
        { "at,0,0,5,1,0,2;", 11 },
        { "at,0,0,1,1E+300;", 6 },
        { "as,1,4,0,1;at,-4,0,4,1;", 5 },
    };
    for (const Case& c : cases) {
        ChartRun run;
        const QStringList dump = run.page(QString::fromUtf8(c.statements) + "h,0,2000,7;");
        EXPECT_TRUE(run.control.report.fError) << c.statements;
        EXPECT_EQ(run.control.report.ErrNumber, c.error) << c.statements;
        EXPECT_TRUE(segments(dump).contains(QStringLiteral("0,2000>7,2000"))) << c.statements;
    }
    // Values too large for their step to move them must still end.
    ChartRun huge;
    (void)huge.page("at,1E+20,0,1.0000000000000001E+20,1;");
    EXPECT_LE(curvePoints(huge.sink.pages().back().dump().split(u'\n')).size(), 19);
}

TEST(GraphCommands, DenseCurveDrawsOnlyWhatMoves)
{
    ChartRun run;
    QString statement = QStringLiteral("at");
    constexpr int points = 20000;
    for (int i = 0; i < points; ++i)
        statement += QStringLiteral(",%1,%2").arg(i).arg(i % 7);
    statement += u';';
    const QStringList dump = run.page(statement);
    EXPECT_FALSE(run.control.report.fError);
    const QList<QPoint> drawn = curvePoints(dump);
    // One face unit per point, sixteen steps each: far fewer lines than steps, none empty.
    EXPECT_GE(drawn.size(), points);
    EXPECT_LT(drawn.size(), points * 4);
    for (qsizetype i = 1; i < drawn.size(); ++i)
        ASSERT_NE(drawn[i], drawn[i - 1]) << i;
    EXPECT_EQ(drawn.back(), QPoint(points - 1, (points - 1) % 7));
}

TEST(GraphCommands, CurvesOfTooManyPointsFailWithoutDrawing)
{
    ChartRun run;
    QString statement = QStringLiteral("at");
    for (int i = 0; i <= 100000; ++i)
        statement += QStringLiteral(",%1,%2").arg(i).arg(i % 7);
    const QStringList dump = run.page(statement + QStringLiteral(";"));
    EXPECT_TRUE(run.control.report.fError);
    EXPECT_EQ(run.control.report.ErrNumber, 6);
    EXPECT_TRUE(segments(dump).isEmpty());
}

// The owner may lower how much one statement draws (the fuzz targets do); a statement past a
// lowered limit fails with the overflow error and draws nothing, one within it draws as always.
TEST(GraphCommands, LoweredLimitsFailOnlyTheStatementsPastThem)
{
    struct Case {
        const char* statement;
        bool fits;
    };
    const Case cases[] = {
        { "al,0,0,0,0,9,1;", true },
        { "al,0,0,0,0,10,1;", false },
        { "ab,0,0,1,0,90,10;", true },
        { "ab,0,0,1,0,100,10;", false },
        { "fgra,0,0,390,100,100,1,0;", true },
        { "fgra,0,0,400,100,100,1,0;", false },
        { "gra,0,0,390,390;", true },
        { "at,0,0,1,1,2,2,3,3,4,4;", true },
        { "at,0,0,1,1,2,2,3,3,4,4,5,5;", false },
    };
    const vorlix::lang::RunLimits low { .axisLabels = 10, .gridLines = 40, .curvePoints = 5 };
    for (const Case& c : cases) {
        ChartRun lowered;
        lowered.control.setLimits(low);
        const QStringList dump = lowered.page(QString::fromUtf8(c.statement));
        EXPECT_EQ(lowered.control.report.fError, !c.fits) << c.statement;
        if (!c.fits) {
            EXPECT_EQ(lowered.control.report.ErrNumber, 6) << c.statement;
            EXPECT_TRUE(segments(dump).isEmpty()) << c.statement;
            // Only the two lines of the diagnostic are written, no label.
            EXPECT_EQ(vorlix::test::texts(dump).size(), 2) << c.statement;
        }
        // The product's limits take every one of them.
        ChartRun product;
        (void)product.page(QString::fromUtf8(c.statement));
        EXPECT_FALSE(product.control.report.fError) << c.statement;
    }
}

// The program's own limits keep the overflow's number but say which limit was hit and how large
// it is, on the page as in the report.
TEST(GraphCommands, OwnLimitsNameThemselves)
{
    QString manyPoints = QStringLiteral("at");
    for (int i = 0; i <= 100000; ++i)
        manyPoints += QStringLiteral(",%1,%2").arg(i).arg(i % 7);
    const struct {
        QString statement;
        QString message;
    } cases[] = {
        { QStringLiteral("gra,0,0,2000000000,100;"),
            QStringLiteral("方眼の線が上限の 1000000 本を超えました。") },
        { QStringLiteral("fgra,0,0,100,20000000,1,1,1;"),
            QStringLiteral("方眼の線が上限の 1000000 本を超えました。") },
        { QStringLiteral("al,0,0,0,0,1E+20,1;"),
            QStringLiteral("目盛りの数値が上限の 100000 個を超えました。") },
        { QStringLiteral("ab,0,0,0,0,2000000000,1;"),
            QStringLiteral("目盛りの数値が上限の 100000 個を超えました。") },
        { manyPoints + u';', QStringLiteral("曲線の点が上限の 100000 点を超えました。") },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.statement.left(30).toStdString());
        ChartRun run;
        const QStringList dump = run.page(c.statement);
        EXPECT_EQ(run.control.report.ErrNumber, 6);
        EXPECT_EQ(run.control.report.sErrMsg.toStdString(), c.message.toStdString());
        EXPECT_TRUE(texts(dump).contains(QStringLiteral("DControl/GoDoc/OnErr>6:") + c.message))
            << texts(dump).join(u'|').toStdString();
    }
}

}

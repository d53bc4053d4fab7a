#include "shell/Report.h"

#include <gtest/gtest.h>

using vorlix::shell::Report;
using Severity = vorlix::shell::Report::Severity;

namespace {

TEST(ReportTest, TheFirstProblemWins)
{
    Report report;
    EXPECT_TRUE(report.clean());
    EXPECT_EQ(report.nErrPit, -1);
    report.note(Severity::Warning, 12, "LabData>終了タグが違う:a");
    report.note(Severity::Error, 40, "Text>XML宣言が見つからない", 13);
    EXPECT_TRUE(report.fWarning);
    EXPECT_TRUE(report.fError);
    EXPECT_FALSE(report.clean());
    EXPECT_EQ(report.nErrPit, 12);
    EXPECT_EQ(report.sErrMsg, "LabData>終了タグが違う:a");
    // The first problem had no error number; the first that had one gives it.
    EXPECT_EQ(report.ErrNumber, 13);
}

TEST(ReportTest, ALaterProblemFillsOnlyWhatTheFirstLacked)
{
    Report report;
    report.note(Severity::Warning, -1, {});
    EXPECT_TRUE(report.fWarning);
    EXPECT_FALSE(report.fError);
    EXPECT_EQ(report.nErrPit, -1);
    EXPECT_TRUE(report.sErrMsg.isEmpty());
    report.note(Severity::Error, -1, "型が一致しません。", 13);
    report.note(Severity::Error, -1, "オーバーフローしました。", 6);
    EXPECT_EQ(report.sErrMsg, "型が一致しません。");
    EXPECT_EQ(report.ErrNumber, 13);
}

TEST(ReportTest, AddingKeepsTheEarlierReportsFirstProblem)
{
    Report first;
    Report later;
    later.note(Severity::Error, 5, "later", 6);
    Report whole = first;
    whole.add(later);
    EXPECT_EQ(whole, later);

    Report earlier;
    earlier.note(Severity::Warning, 2, "earlier");
    whole = earlier;
    whole.add(later);
    EXPECT_TRUE(whole.fError && whole.fWarning);
    EXPECT_EQ(whole.nErrPit, 2);
    EXPECT_EQ(whole.sErrMsg, "earlier");
    EXPECT_EQ(whole.ErrNumber, 6);

    // The statement of the first problem that named one stays with the whole.
    Report named;
    named.note(Severity::Warning, -1, {}, 0, "zz,1");
    later.note(Severity::Error, -1, {}, 0, "h,1,x,3");
    whole = earlier;
    whole.add(named);
    whole.add(later);
    EXPECT_EQ(whole.statement, "zz,1");

    // A clean report adds nothing.
    whole = earlier;
    whole.add(Report {});
    EXPECT_EQ(whole, earlier);
}

}

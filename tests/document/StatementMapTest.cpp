#include "document/StatementMap.h"

#include "document/ApartXML.h"
#include "document/Merge.h"

#include <gtest/gtest.h>

using namespace vorlix::document;
using Problem = vorlix::shell::Report::StatementProblem;

namespace {

std::unique_ptr<Tree> dataTree(const QString& body)
{
    auto tree = std::make_unique<Tree>();
    ApartXML reader;
    reader.Init(tree.get());
    reader.Text(
        QStringLiteral("<?xml version=\"1.0\"?><TZQ_002>") + body + QStringLiteral("</TZQ_002>"));
    return tree;
}

struct PlaceCase {
    const char* name;
    QString data;
    QString face;
    // The merged statement looked for (its first occurrence) on this page (0: the head).
    std::int32_t page;
    QString statement;
    // Where the face holds it; line 0 when it is none of the face's statements.
    std::int32_t line;
    std::int32_t column;
    std::int64_t record;
};

class StatementPlaces : public ::testing::TestWithParam<PlaceCase> { };

// A statement of the merged document is found at its line and column of the face, with the
// record merged into it, however the merge got there: values put in, statements dropped before
// it, fragments, rows repeated, several records on one page, pages that share their runs.
TEST_P(StatementPlaces, AreTheFacesOwn)
{
    const PlaceCase& c = GetParam();
    const auto tree = dataTree(c.data);
    Merge merge;
    merge.Init(tree.get());
    merge.Text(c.face);
    const auto document = merge.document();
    const QString text = c.page == 0 ? document->head() : document->page(c.page);
    const qsizetype at = text.indexOf(c.statement);
    ASSERT_GE(at, 0) << text.toStdString();
    const auto place = document->placeOf({ {}, c.page, at + 1, {}, {} }, c.face);
    if (c.line == 0) {
        EXPECT_FALSE(place) << place->line;
        return;
    }
    ASSERT_TRUE(place) << text.toStdString();
    EXPECT_EQ(place->line, c.line);
    EXPECT_EQ(place->column, c.column);
    EXPECT_EQ(place->record, c.record);
}

const QString kPieces = QStringLiteral("<t>T</t><piece><name>A</name><row><q>1</q></row>"
                                       "<row><q>2</q></row></piece>"
                                       "<piece><name>B</name><gone>x</gone></piece>"
                                       "<piece><name>C</name><gone>y</gone></piece>");

INSTANTIATE_TEST_SUITE_P(StatementMap, StatementPlaces,
    ::testing::Values(PlaceCase { "headStatement", kPieces,
                          "# head\r\nfs,1,x;\r\n  s,1,$t;\r\npiece;", 0, "s,1,T", 3, 3, 0 },
        PlaceCase { "pageOfTheThirdRecord", kPieces, "fs,1,x;\r\npiece;\r\nh,1;\r\ns,2,$name;\r\n",
            3, "s,2,C", 4, 1, 3 },
        PlaceCase { "afterADroppedStatement", kPieces,
            "piece;\r\ns,$gone;\r\ncourse,2;s,3;\r\nv,$name;\r\n", 1, "v,A", 4, 1, 1 },
        PlaceCase { "afterAnEmptyStatement", kPieces,
            "piece;\r\ncourse,2;\r\n$none;s,$name;\r\nv,1;\r\n", 2, "v,1", 4, 1, 2 },
        PlaceCase { "beforeAValueWithAStatementEnd", "<v>1;2</v>", "h,1;\r\ns,$v;\r\nv,2;\r\n", 0,
            "h,1", 1, 1, 0 },
        // The interpreter sees one statement more than the face has: the rest of the page is
        // not guessed at.
        PlaceCase { "afterIt", "<v>1;2</v>", "h,1;\r\ns,$v;\r\nv,2;\r\n", 0, "v,2", 0, 0, 0 },
        PlaceCase { "aFragmentNamesItsReference", "",
            "let,f;\r\nh,1;v,2;\r\nendlet;\r\ns,0;\r\nx,&f;\r\n", 0, "v,2", 5, 1, 0 },
        PlaceCase { "theSecondRow", kPieces,
            "piece;\r\nrows,row,5,10;\r\ns,$q;\r\nv,9;\r\nendrows;\r\nh,2;\r\n", 1, "s,2", 3, 1,
            1 },
        PlaceCase { "afterTheRows", kPieces,
            "piece;\r\nrows,row,5,10;\r\ns,$q;\r\nendrows;\r\nh,2;\r\n", 1, "h,2", 5, 1, 1 },
        PlaceCase { "aShiftTheMergeWrote", kPieces,
            "piece;\r\nrows,row,5,10;\r\ns,$q;\r\nendrows;\r\n", 1, "shift", 0, 0, 0 },
        PlaceCase { "aFragmentsSecondStatement", "",
            "let,f;\r\nh,1;v,2;o,3;\r\nendlet;\r\ns,0;\r\n&f;\r\nv,9;\r\n", 0, "v,9", 6, 1, 0 },
        PlaceCase { "twoRecordsOnAPage", kPieces, "piece;\r\ns,$name;\r\npiece;\r\nv,$name;\r\n", 1,
            "v,B", 4, 1, 2 }),
    [](const auto& testCase) { return testCase.param.name; });

}

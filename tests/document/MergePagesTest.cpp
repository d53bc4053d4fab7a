#include "document/ApartXML.h"
#include "document/Merge.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace vorlix::document;

namespace {

// A record titled `title` with `rows` entries <item><no>k</no></item>.
QString record(const QString& title, int rows)
{
    QString text = QStringLiteral("<piece><title>%1</title>").arg(title);
    for (int k = 1; k <= rows; ++k)
        text += QStringLiteral("<item><no>%1</no></item>").arg(k);
    return text + QStringLiteral("</piece>");
}

struct Merged {
    std::shared_ptr<const PagedDocument> document;
    vorlix::shell::Report report;
};

Merged merge(const QString& records, const QString& face)
{
    Tree tree;
    ApartXML reader;
    reader.Init(&tree);
    reader.Text(QStringLiteral("<?xml version=\"1.0\"?><TZQ_002>") + records
        + QStringLiteral("</TZQ_002>"));
    tree.ChRootTree();
    Merge merge;
    merge.Init(&tree);
    merge.Text(face);
    return { merge.document(), merge.report() };
}

// The heading, the page numbers, the rows and the blocks of the last page and of the others.
const QString kInvoice
    = QStringLiteral("fs,1,x;\r\npiece;\r\n"
                     "h,$\"title\";\r\n"
                     "n,$\"System/page\"+\"/\"+$\"System/pages\",$\"System/sheet\";\r\n"
                     "rows,item,10,60;\r\n"
                     "r,$\"no\",$\"../title\";\r\n"
                     "endrows;\r\n"
                     "lastpage;\r\ntotal;\r\nendlastpage;\r\n"
                     "notlastpage;\r\nnext;\r\nendnotlastpage;\r\n");

// What a page of kInvoice shows, read back from its text.
struct Page {
    QString heading;
    QString numbers;
    int firstRow = 0;
    int lastRow = 0;
    bool total = false;
    bool next = false;
    friend bool operator==(const Page&, const Page&) = default;
};

void PrintTo(const Page& page, std::ostream* out)
{
    *out << page.heading.toStdString() << " " << page.numbers.toStdString() << " rows "
         << page.firstRow << "-" << page.lastRow << (page.total ? " total" : "")
         << (page.next ? " next" : "");
}

Page pageOf(const QString& text)
{
    Page page;
    page.heading = QRegularExpression(QStringLiteral("h,\"(\\w+)\";")).match(text).captured(1);
    page.numbers = QRegularExpression(QStringLiteral("n,\"([^\"]*)\",\"(\\d+)\";"))
                       .match(text)
                       .capturedTexts()
                       .mid(1)
                       .join(u' ');
    // Every row names its record, and they follow each other with no gap.
    auto rows = QRegularExpression(QStringLiteral("r,\"(\\d+)\",\"(\\w+)\";")).globalMatch(text);
    for (int expected = 0; rows.hasNext();) {
        const auto match = rows.next();
        const int row = match.captured(1).toInt();
        EXPECT_EQ(match.captured(2), page.heading);
        EXPECT_TRUE(expected == 0 || row == expected) << text.toStdString();
        page.firstRow = page.firstRow == 0 ? row : page.firstRow;
        page.lastRow = row;
        expected = row + 1;
    }
    page.total = text.contains(QStringLiteral("total;"));
    page.next = text.contains(QStringLiteral("next;"));
    return page;
}

TEST(MergePages, RowsFlowOntoContinuationPagesThatRepeatTheRest)
{
    const Merged merged
        = merge(record("A", 25) + record("B", 1) + record("C", 0) + record("D", 10), kInvoice);
    ASSERT_TRUE(merged.report.clean()) << merged.report.sErrMsg.toStdString();
    const std::vector<Page> expected {
        { "A", "1/3 1", 1, 10, false, true },
        { "A", "2/3 2", 11, 20, false, true },
        { "A", "3/3 3", 21, 25, true, false },
        { "B", "1/1 4", 1, 1, true, false },
        { "C", "1/1 5", 0, 0, true, false },
        { "D", "1/1 6", 1, 10, true, false },
    };
    ASSERT_EQ(merged.document->pageCount(), static_cast<std::int32_t>(expected.size()));
    EXPECT_EQ(merged.document->head(), QStringLiteral(" fs,1,x;"));
    for (std::size_t j = 0; j < expected.size(); ++j)
        EXPECT_EQ(pageOf(merged.document->page(static_cast<std::int32_t>(j + 1))), expected[j])
            << "page " << j + 1;
    // Ten rows, each 60 below the one before, and the origin back where it was after them.
    const QString first = merged.document->page(1);
    EXPECT_EQ(first.count(QStringLiteral("shift,0,60;")), 9);
    EXPECT_TRUE(first.contains(QStringLiteral("shift,0,-540;next;")));
}

TEST(MergePages, HundredThousandRowsMakeTenThousandPages)
{
    const Merged merged = merge(record("A", 100000),
        QStringLiteral("piece;h,$\"title\";rows,item,10,60;r,$\"no\";endrows;"));
    ASSERT_TRUE(merged.report.clean());
    ASSERT_EQ(merged.document->pageCount(), 10000);
    EXPECT_TRUE(merged.document->page(10000).startsWith(QStringLiteral("h,\"A\";r,\"99991\";")));
}

TEST(MergePages, RefusesWhatCannotMakePages)
{
    struct Case {
        const char* face;
        const char* message;
        int position;
    };
    const Case cases[] = {
        { "piece;rows,item,2,60;r;", "rows に endrows がない", 7 },
        { "piece;lastpage;t;", "lastpage に endlastpage がない", 7 },
        { "piece;notlastpage;t;", "notlastpage に endnotlastpage がない", 7 },
        { "piece;t;endrows;", "endrows の前に rows がない", 9 },
        { "piece;rows,item,0,60;endrows;", "rows の行数が正の整数でない:0", 17 },
        { "piece;rows,item,2.5,60;endrows;", "rows の行数が正の整数でない:2.5", 17 },
        { "piece;rows,item,x,60;endrows;", "rows の行数が正の整数でない:x", 17 },
        { "piece;rows,item,2,-60;endrows;", "rows の行送りが正の数でない:-60", 19 },
        { "piece;rows,item,2;endrows;", "rows の行送りが正の数でない:;", 18 },
        { "piece;rows,\"item\",2,60;endrows;", "rows の名前が語でない:\"item\"", 12 },
        { "piece;rows,12,2,60;endrows;", "rows の名前が語でない:12", 12 },
        { "piece;rows,item,2,60,1;endrows;", "rows の引数は名前・行数・行送りの 3 つ:1", 22 },
        { "piece;rows,item,2,60;rows,no,1,1;endrows;endrows;",
            "rows の中に rows は書けない（入れ子の明細は扱えない）", 22 },
        { "piece;rows,item,2,60;endrows;rows,no,1,1;endrows;", "rows はページ部に 1 つだけ", 30 },
        { "piece;t;piece;rows,item,2,60;endrows;",
            "piece が 2 つ以上あるフォームに rows は書けない（1 ページに複数のレコードを置くので、"
            "続きのページを作れない）",
            15 },
        { "rows,item,2,60;endrows;piece;", "rows は piece の後のページ部に書く", 1 },
        { "out;piece;t;", "out は piece の前の共通部分には書けない（共通部分はどのページにも入る）",
            1 },
        { "piece;rows,item,2,60;out;endrows;", "rows の中に out は書けない", 22 },
        { "piece;lastpage;rows,item,2,60;endrows;endlastpage;",
            "lastpage の中に rows は書けない（ページ数が決まらない）", 16 },
        { "piece;lastpage;notlastpage;endnotlastpage;endlastpage;",
            "lastpage と notlastpage の中に notlastpage は書けない", 16 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.face);
        const Merged merged = merge(record("A", 3), QString::fromUtf8(c.face));
        EXPECT_TRUE(merged.report.fError);
        EXPECT_EQ(merged.report.sErrMsg.toStdString(), std::string("Vorlix/Face>") + c.message);
        EXPECT_EQ(merged.report.nErrPit, c.position);
        // Nothing of the face is merged.
        EXPECT_EQ(merged.document->bodySize(), 2);
    }
    // A fragment is data: it cannot shape the pages counted before the record's first page.
    const Merged fragment = merge(QStringLiteral("<f>rows,item,2,60;</f>") + record("A", 3),
        QStringLiteral("piece;s,&../f;"));
    EXPECT_EQ(fragment.report.sErrMsg,
        QStringLiteral("Vorlix/Fragment>rows は差し込み断片（&）の中では使えない"));
}

}

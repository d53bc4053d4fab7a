#include "document/PagedDocument.h"
#include "lang/DControl.h"
#include "tests/support/PagedDocument.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

using vorlix::document::PagedDocument;

// Pages of differing length and script, surrogate pairs included, many enough that the body
// fills several packed blocks and pages straddle none of their borders by accident only.
QStringList mixedPages(int count)
{
    QStringList pages;
    for (int i = 1; i <= count; ++i) {
        QString page = QStringLiteral("s,100,%1,\"頁 %2 𠮷\";").arg(100 + i % 40).arg(i);
        page += QString(i % 97 * 7, QChar(u'x' + i % 3));
        page += QStringLiteral("#out%1\r\n").arg(i);
        pages << page;
    }
    return pages;
}

// The body and page starts of a paged text, handed to a packed document in the pieces given.
std::shared_ptr<PagedDocument> packed(const QString& head, const QStringList& pages, int grouping)
{
    auto document = std::make_shared<PagedDocument>();
    std::vector<qsizetype> starts { 1 };
    qsizetype size = head.size();
    QString piece = head;
    for (int i = 0; i < pages.size(); ++i) {
        starts.push_back(size + 1);
        piece += pages.at(i);
        size += pages.at(i).size();
        if ((i + 1) % grouping == 0) {
            document->append(piece);
            piece.clear();
        }
    }
    document->append(piece + QLatin1Char(' '));
    document->finish(starts);
    return document;
}

// The packed document reads back exactly as the text the merge writes: the whole, the head and
// every page as the interpreter cuts them from the text, however the body arrived.
TEST(PagedDocument, ReadsBackAsTheText)
{
    const QString head = QStringLiteral(" fs,1,\"ＭＳ 明朝\",12,0;");
    const QStringList pages = mixedPages(900);
    const QString text = vorlix::test::pagedDocument(head, pages);
    for (const int grouping : { 1, 7, 1000 }) {
        const auto document = packed(head, pages, grouping);
        EXPECT_EQ(document->text(), text) << grouping;
        EXPECT_EQ(document->pageCount(), 900);
        EXPECT_EQ(document->head(), head);
        for (int j = 1; j <= 900; ++j)
            ASSERT_EQ(document->page(j), pages.at(j - 1)) << grouping << " page " << j;
        EXPECT_EQ(document->page(0), head);
        EXPECT_EQ(document->page(901), QString());
        EXPECT_EQ(document->page(-3), QString());
        EXPECT_EQ(document->bodySize(), text.size() - text.indexOf(u'\n') - 1);
    }
    // Kept packed, the body takes far less room than as text.
    EXPECT_LT(packed(head, pages, 7)->storedBytes(), std::size_t(text.size()) / 2);
}

// The interpreter reads the same layout from the packed document as from the text.
TEST(PagedDocument, InterpreterSeesTheSamePages)
{
    const QStringList pages = mixedPages(300);
    const QString head = QStringLiteral(" f,1;");
    vorlix::lang::DControl fromText;
    fromText.SetDoc(vorlix::test::pagedDocument(head, pages));
    vorlix::lang::DControl fromPacked;
    fromPacked.SetDoc(std::shared_ptr<const vorlix::lang::PagedText>(packed(head, pages, 5)));
    EXPECT_EQ(fromPacked.Page(), fromText.Page());
    EXPECT_EQ(fromPacked.documentSize(), fromText.documentSize());
    fromPacked.SetDoc(std::shared_ptr<const vorlix::lang::PagedText>());
    EXPECT_EQ(fromPacked.Page(), 0);
    EXPECT_EQ(fromPacked.documentSize(), 0);
}

// Rendering threads ask for pages at once and out of order; each gets its own page whole.
TEST(PagedDocument, PagesAreReadFromManyThreadsAtOnce)
{
    const QStringList pages = mixedPages(2000);
    const auto document = packed(QStringLiteral(" "), pages, 3);
    std::vector<int> wrong(4, 0);
    std::vector<std::thread> readers;
    for (int t = 0; t < 4; ++t) {
        readers.emplace_back([&, t] {
            for (int round = 0; round < 3; ++round) {
                for (int j = 1 + t; j <= 2000; j += 4 + round) {
                    const int page = round == 1 ? 2001 - j : j;
                    if (document->page(page) != pages.at(page - 1))
                        ++wrong[static_cast<size_t>(t)];
                }
            }
        });
    }
    for (auto& reader : readers)
        reader.join();
    EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

// Writing stops at the first piece the writer refuses.
TEST(PagedDocument, WritingStopsWhereTheWriterFails)
{
    const auto document = packed(QStringLiteral(" "), mixedPages(900), 1);
    int calls = 0;
    EXPECT_FALSE(document->write([&calls](QStringView) { return ++calls < 2; }));
    EXPECT_EQ(calls, 2);
    QString whole;
    EXPECT_TRUE(document->write([&whole](QStringView piece) {
        whole += piece;
        return true;
    }));
    EXPECT_EQ(whole, document->text());
}

}

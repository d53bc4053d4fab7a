#include "document/PagedDocument.h"
#include "lang/DControl.h"
#include "tests/support/PagedDocument.h"

#include <QStringList>
#include <atomic>
#include <chrono>
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

// The merge's way of writing, pausing after each page handed over.
void writeAsTheMerge(PagedDocument& document, const QString& head, const QStringList& pages,
    std::chrono::microseconds pause = {})
{
    vorlix::test::writeAsTheMerge(document, head, pages, [pause](qsizetype i) {
        if (i > 0 && pause.count() > 0)
            std::this_thread::sleep_for(pause);
    });
}

// Readers on several threads ask for pages, the head and the page count while the merge still
// writes the document: each page comes whole as soon as the merge is past it, and what needs the
// whole document waits for its end.
TEST(PagedDocument, IsReadWhileTheMergeWritesIt)
{
    const QString head = QStringLiteral(" fs,1,\"ＭＳ 明朝\",12,0;");
    const QStringList pages = mixedPages(1200);
    const QString text = vorlix::test::pagedDocument(head, pages);
    for (int round = 0; round < 3; ++round) {
        PagedDocument document;
        std::atomic<int> wrong { 0 };
        std::atomic<int> seenBeforeTheEnd { 0 };
        std::vector<std::thread> readers;
        for (int t = 0; t < 3; ++t) {
            readers.emplace_back([&, t] {
                if (document.head() != head)
                    ++wrong;
                // One reader goes in order, one by leaps, one backwards from far ahead.
                for (int k = 0; k < 1200; ++k) {
                    const int j = t == 0 ? k + 1 : t == 1 ? (k * 7) % 1200 + 1 : 1200 - k;
                    if (!document.waitForPage(j) || document.page(j) != pages.at(j - 1))
                        ++wrong;
                    if (!document.ended())
                        ++seenBeforeTheEnd;
                }
                if (document.waitForPage(1201) || document.pageCount() != 1200)
                    ++wrong;
            });
        }
        std::thread writer(
            [&] { writeAsTheMerge(document, head, pages, std::chrono::microseconds(20)); });
        writer.join();
        for (auto& reader : readers)
            reader.join();
        EXPECT_EQ(wrong, 0) << round;
        EXPECT_GT(seenBeforeTheEnd, 0) << round;
        EXPECT_EQ(document.text(), text);
        EXPECT_EQ(document.pagesSoFar(), 1200);
    }
}

// A page is only handed out once the merge has started the next one: until then its end may
// still change. The head waits for the first page in the same way.
TEST(PagedDocument, APageWaitsUntilTheMergeIsPastIt)
{
    PagedDocument document;
    document.append(u" h;");
    document.pagesComplete({ 1, 4 });
    EXPECT_EQ(document.pagesSoFar(), 0);
    EXPECT_EQ(document.bodySizeSoFar(), 3);
    std::atomic<bool> gotPage { false };
    std::thread reader([&] {
        EXPECT_EQ(document.page(1), QStringLiteral("p1;#out1\r\n"));
        gotPage = true;
    });
    document.append(u"p1;");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(gotPage);
    document.append(u"#out1\r\n");
    document.pagesComplete({ 1, 4, 14 });
    reader.join();
    EXPECT_TRUE(gotPage);
    EXPECT_EQ(document.head(), QStringLiteral(" h;"));
    EXPECT_EQ(document.pagesSoFar(), 1);
    EXPECT_FALSE(document.ended());
    document.append(u"p2; ");
    document.finish({ 1, 4, 14 });
    EXPECT_TRUE(document.ended());
    EXPECT_EQ(document.pageCount(), 2);
    EXPECT_EQ(document.page(2), QStringLiteral("p2;"));
}

// A merge that stops without finishing lets every waiting reader go, with nothing to read.
TEST(PagedDocument, AnAbandonedDocumentReleasesItsReaders)
{
    PagedDocument document;
    document.append(u" h;p1;");
    std::vector<std::thread> readers;
    std::atomic<int> released { 0 };
    for (int t = 0; t < 3; ++t) {
        readers.emplace_back([&, t] {
            const bool found = t == 0 ? document.waitForPage(1)
                : t == 1              ? !document.page(1).isEmpty()
                                      : document.pageCount() > 0;
            if (!found)
                ++released;
        });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    document.abandon();
    for (auto& reader : readers)
        reader.join();
    EXPECT_EQ(released, 3);
    EXPECT_TRUE(document.head().isEmpty());
    // Whatever the merge does afterwards, the document stays ended and empty.
    document.pagesComplete({ 1, 4, 6 });
    EXPECT_EQ(document.pageCount(), 0);
}

}

#include "document/DataRecords.h"

#include "document/ApartXML.h"
#include "document/DataStream.h"
#include "document/Tree.h"
#include "shell/CodePage.h"
#include "shell/RunError.h"
#include "shell/TextWindows.h"

#include "tests/support/TreeDump.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace vorlix::document;
using vorlix::shell::TextWindows;

namespace {

const QString kHead = QStringLiteral("<?xml version=\"1.0\"?>\r\n");

struct WholeRead {
    Tree tree;
    vorlix::shell::Report report;
    std::int64_t records = 0;
};

std::unique_ptr<WholeRead> readWhole(const QByteArray& bytes)
{
    auto read = std::make_unique<WholeRead>();
    ApartXML reader;
    reader.Init(&read->tree);
    reader.Text(vorlix::shell::decodeText(bytes).text);
    read->report = reader.report();
    read->records = read->tree.Value(QStringLiteral("System/mpiececount")).toLongLong();
    return read;
}

struct StreamedRead {
    Tree tree;
    vorlix::shell::Report report;
    std::unique_ptr<DataRecords> records;
};

std::unique_ptr<StreamedRead> readStreamed(std::unique_ptr<TextWindows> windows)
{
    auto read = std::make_unique<StreamedRead>();
    ApartXML reader;
    reader.Init(&read->tree);
    {
        DataStream stream(*windows);
        reader.Stream(stream);
    }
    read->report = reader.report();
    read->records = std::make_unique<DataRecords>(std::move(windows), reader.places());
    return read;
}

std::unique_ptr<StreamedRead> readStreamed(const QByteArray& bytes, qsizetype window)
{
    auto windows = std::make_unique<TextWindows>();
    windows->open(bytes, window);
    return readStreamed(std::move(windows));
}

// Reads the bytes whole and in windows of several sizes (down to one byte, so that every token
// straddles windows) and expects the same report and, with every record loaded, the same tree.
void expectSameAsWholeRead(const QByteArray& bytes)
{
    const auto whole = readWhole(bytes);
    const QStringList expected = vorlix::test::dumpTree(whole->tree, whole->records);
    for (const qsizetype window :
        { qsizetype(1), qsizetype(3), qsizetype(17), qsizetype(1) << 20 }) {
        SCOPED_TRACE(window);
        const auto streamed = readStreamed(bytes, window);
        EXPECT_EQ(streamed->report, whole->report);
        ASSERT_EQ(streamed->records->count(), whole->records);
        for (std::int64_t k = 1; k <= streamed->records->count(); ++k)
            streamed->records->load(streamed->tree, k);
        EXPECT_EQ(streamed->tree.RootIndex(), 0);
        EXPECT_EQ(vorlix::test::dumpTree(streamed->tree, whole->records), expected);
    }
}

QByteArray utf8(const QString& text)
{
    return text.toUtf8();
}

} // namespace

TEST(DataRecords, SampleDocumentsReadTheSameInAStream)
{
    for (const char* name : { "invoice.mnd", "delivery-slip.mnd", "nouhinsho.mnd" }) {
        SCOPED_TRACE(name);
        QFile file(qEnvironmentVariable("VORLIX_SOURCE_DIR") + QStringLiteral("/samples/")
            + QLatin1String(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        ASSERT_FALSE(bytes.isEmpty());
        expectSameAsWholeRead(bytes);
        EXPECT_GT(readWhole(bytes)->records, 0);
    }
}

TEST(DataRecords, CraftedDocumentsReadTheSameInAStream)
{
    const QString documents[] = {
        // nesting, repeated names, several text runs, empty-element tags
        kHead
            + QStringLiteral("<TZQ_002><face>a.fae</face><piece><a>x<b>1</b>y<b>2<c>深い</c></b>"
                             "</a><a/><n>1</n><n>2</n></piece>\r\n<piece><q>　全角　</q></piece>"
                             "</TZQ_002>"),
        // comments, CDATA-like declarations, processing instructions inside and before pieces
        kHead
            + QStringLiteral("<TZQ_002><!-- c --><piece><!-- <x> --><a>1</a><![CDATA[<b>]]>"
                             "<?pi <y> ?><b>2</b></piece><!-- a --><!-- b --><piece><a>3</a>"
                             "</piece></TZQ_002>"),
        // pieces and the document named otherwise with manner="vorlix"
        kHead
            + QStringLiteral("<帳票 manner=\"vorlix\"><行 id=\"1\" manner=\"vorlix\"><a>1</a></行>"
                             "<piece><a>2</a></piece><行 manner=\"vorlix\"><a>3</a></行></帳票>"),
        // head elements between and after the pieces, a piece element nested in data
        kHead
            + QStringLiteral("<TZQ_002><face>a</face><piece><a>1</a></piece><Title>t</Title>"
                             "<x><piece>in data</piece></x><piece><a>2</a></piece>"
                             "<query>a,2</query></TZQ_002>"),
        // no pieces, an empty document, a document of only a declaration
        kHead + QStringLiteral("<TZQ_002><face>a.fae</face></TZQ_002>"),
        QString(),
        kHead,
        // character references, text after the document element
        kHead
            + QStringLiteral("<TZQ_002><piece><a>&amp;&lt;&#x3042;&nbsp;</a></piece></TZQ_002>"
                             "tail<piece>"),
    };
    for (const QString& document : documents) {
        SCOPED_TRACE(document.toStdString());
        expectSameAsWholeRead(utf8(document));
    }
}

TEST(DataRecords, FaultsAreReportedAtTheSamePlaceInAStream)
{
    const QString documents[] = {
        QStringLiteral("no declaration at all"),
        kHead + QStringLiteral("<other><piece/></other>"),
        // a mismatched end tag in a piece, in an element, a piece never closed
        kHead
            + QStringLiteral("<TZQ_002><piece><a>1</b><c>2</c></piece><piece><a>3</a></wrong>"
                             "<a>4</a></piece><piece><d>5</d></TZQ_002>"),
        // a stray end tag after the pieces, an element never closed
        kHead + QStringLiteral("<TZQ_002><piece><a>1</a></piece></stray><late>x"),
        // an unclosed declaration inside a piece ends the text
        kHead + QStringLiteral("<TZQ_002><piece><a>1</a><?xml never closed <b>2</b></piece>"),
        // a tag with an unclosed quote swallows the rest
        kHead + QStringLiteral("<TZQ_002><piece><a x=\"1>2</a></piece></TZQ_002>"),
    };
    for (const QString& document : documents) {
        SCOPED_TRACE(document.toStdString());
        const auto whole = readWhole(utf8(document));
        EXPECT_FALSE(whole->report.clean());
        expectSameAsWholeRead(utf8(document));
    }
}

TEST(DataRecords, ShiftJisAndMarkedUtf8ReadTheSameInAStream)
{
    const QString document = kHead
        + QStringLiteral("<TZQ_002><face>請求書.fae</face><piece><品名>ノート　ＰＣ</品名>"
                         "<表>ソ十申能表</表></piece><piece><品名>ｶﾅ</品名></piece></TZQ_002>");
    bool fits = false;
    const QByteArray sjis = vorlix::shell::toCp932(document, &fits);
    ASSERT_TRUE(fits);
    expectSameAsWholeRead(sjis);
    // "表" and "ソ" end in 0x5C and 0x83 0x5C: trail bytes that look like ASCII stay inside
    expectSameAsWholeRead(QByteArray("\xEF\xBB\xBF") + utf8(document));
    // bad CP932 bytes (a lead byte before "<", a lone trail byte) decode alike
    QByteArray broken = sjis;
    broken.insert(broken.indexOf("<piece>"), "\x81");
    broken.insert(broken.indexOf("</TZQ_002>"), "\xFD\xA0");
    expectSameAsWholeRead(broken);
}

TEST(DataRecords, RecordsAreNamedAndPlacedInOrder)
{
    EXPECT_EQ(DataRecords::recordName(1), "piece");
    EXPECT_EQ(DataRecords::recordName(2), "piece@1");
    EXPECT_EQ(DataRecords::recordName(11), "piece@10");

    const QByteArray bytes = utf8(kHead
        + QStringLiteral("<TZQ_002>\r\n<piece><a>一</a></piece>\r\n<piece>"
                         "<a>二</a></piece>\r\n</TZQ_002>\r\n"));
    auto windows = std::make_unique<TextWindows>();
    windows->open(bytes, 5);
    ApartXML reader;
    Tree head;
    reader.Init(&head);
    DataStream stream(*windows);
    reader.Stream(stream);
    ASSERT_EQ(reader.places().size(), 2U);
    const PiecePlace& first = reader.places()[0];
    EXPECT_EQ(bytes.mid(first.byteStart, first.byteEnd - first.byteStart),
        utf8(QStringLiteral("<piece><a>一</a></piece>\r\n")));
    EXPECT_EQ(first.position, kHead.size() + 12);
    EXPECT_EQ(head.Value(QStringLiteral("System/mpiececount")), "2");
    EXPECT_EQ(head.Value(QStringLiteral("piece/a")), Tree::NoLabel);

    // A record can be read into the tree while the merge stands in another directory; the load
    // leaves the root current, and loading out of order reads the right piece.
    DataRecords records(std::move(windows), reader.places());
    head.ChTree(QStringLiteral("System"));
    records.load(head, 2);
    EXPECT_EQ(head.RootIndex(), 0);
    EXPECT_EQ(head.Value(QStringLiteral("piece@1/a")), "二");
    EXPECT_EQ(head.Value(QStringLiteral("piece/a")), Tree::NoLabel);
    EXPECT_THROW(records.load(head, 3), vorlix::shell::RunError);
    EXPECT_THROW(records.load(head, 0), vorlix::shell::RunError);
}

TEST(DataRecords, AFileChangedBetweenThePassesIsAnError)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("data.mnd"));
    const QByteArray bytes = utf8(kHead
        + QStringLiteral("<TZQ_002><piece><a>1</a></piece><piece><a>2</a></piece></TZQ_002>"));
    const auto write = [&path](const QByteArray& content) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(content), content.size());
    };
    write(bytes);
    auto windows = std::make_unique<TextWindows>();
    ASSERT_TRUE(windows->open(path, 16));
    auto read = readStreamed(std::move(windows));
    read->records->load(read->tree, 1);
    EXPECT_EQ(read->tree.Value(QStringLiteral("piece/a")), "1");

    // The same length, other bytes: the size alone would not tell.
    QByteArray other = bytes;
    other.replace("<a>2</a>", "<a>9</a>");
    write(other);
    try {
        read->records->load(read->tree, 2);
        FAIL() << "a changed file was read";
    } catch (const vorlix::shell::RunError& error) {
        EXPECT_TRUE(error.description().startsWith(DataRecords::ChangedMessage));
    }
    EXPECT_EQ(read->tree.Value(QStringLiteral("piece@1/a")), Tree::NoLabel);
}

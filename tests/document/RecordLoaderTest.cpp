#include "document/RecordLoader.h"

#include "../support/TempEnvironment.h"
#include "CopyingRecordSource.h"
#include "document/Merge.h"
#include "shell/CodePage.h"
#include "shell/RunError.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>

using namespace vorlix::document;
using vorlix::test::CopyingRecordSource;

namespace {

struct Outcome {
    QString text;
    vorlix::shell::Report report;
    std::int64_t pages = 0;
};

Outcome outcomeOf(const Merge& merge)
{
    return { merge.Convert(), merge.report(), merge.pageCount() };
}

using Prepare = std::function<void(Tree&)>;

QString document(const QString& body)
{
    return QStringLiteral("<?xml version=\"1.0\"?><TZQ_002>") + body + QStringLiteral("</TZQ_002>");
}

// The same document merged into the same face twice: over the whole tree, and through a source
// into a tree that holds only the head. The second run's loads and tree are kept for a look.
struct Comparison {
    Outcome whole;
    Outcome streamed;
    std::vector<std::int64_t> loaded;
    std::int32_t headNodes = 0;
    std::int32_t nodesAfter = 0;
};

Comparison compare(
    const QString& text, const QString& face, const Prepare& prepare = [](Tree&) {})
{
    Comparison result;
    Tree whole;
    {
        ApartXML reader;
        reader.Init(&whole);
        reader.Text(text);
        whole.ChRootTree();
        prepare(whole);
        whole.ChRootTree();
    }
    Merge overWhole;
    overWhole.Init(&whole);
    overWhole.Text(face);
    result.whole = outcomeOf(overWhole);

    CopyingRecordSource source(text, prepare);
    const auto head = source.head();
    result.headNodes = head->nodeCount();
    Merge throughSource;
    throughSource.Init(head.get(), &source);
    throughSource.Text(face);
    result.streamed = outcomeOf(throughSource);
    result.loaded = source.loaded;
    result.nodesAfter = head->nodeCount();
    return result;
}

void expectSame(const Comparison& result, const QString& what)
{
    EXPECT_EQ(result.streamed.text, result.whole.text) << what.toStdString();
    EXPECT_EQ(result.streamed.report, result.whole.report)
        << what.toStdString() << ": " << result.whole.report.sErrMsg.toStdString() << " / "
        << result.streamed.report.sErrMsg.toStdString();
    EXPECT_EQ(result.streamed.pages, result.whole.pages) << what.toStdString();
}

// Four records with repeated and nested names, two kinds for the query, and document-level
// fragments that reach into records.
const QString kRecords = QStringLiteral(
    "<company>C</company><frag>s,9,9,$../piece@1/name;</frag><course3>course,3;</course3>"
    "<far>s,8,8,$piece@3/address/city;</far>"
    "<piece><name>A</name><kind>x</kind><item>a1</item><item>a2</item>"
    "<address><city>Osaka</city></address><blk>s,7,7,$name;</blk></piece>"
    "<piece><name>B</name><kind>y</kind><item>b1</item></piece>"
    "<piece><name>C</name><kind>x</kind><address><city>Kyoto</city></address></piece>"
    "<piece><name>D</name><kind>y</kind></piece>");

struct FaceCase {
    const char* name;
    const char* face;
};

void PrintTo(const FaceCase& test, std::ostream* out)
{
    *out << test.face;
}

class MergeThroughSource : public ::testing::TestWithParam<FaceCase> { };

TEST_P(MergeThroughSource, GivesWhatTheWholeTreeGives)
{
    const QString face = QString::fromUtf8(GetParam().face);
    expectSame(compare(document(kRecords), face), QStringLiteral("plain: ") + face);
    const QString queried = document(QStringLiteral("<query>kind, x</query>") + kRecords);
    expectSame(compare(queried, face), QStringLiteral("query: ") + face);
}

INSTANTIATE_TEST_SUITE_P(Merge, MergeThroughSource,
    ::testing::Values(FaceCase { "ownFields", "f,1;piece;s,1,1,$name,$item@1;s,$address/city;" },
        FaceCase { "anotherRecordFromEveryPage",
            "piece;s,1,1,$../piece@2/name;s,$name;s,$../piece/address/city;" },
        FaceCase { "dotPaths", "piece;s,$./../piece@3/name,$./address/city;s,$../../company;" },
        FaceCase { "headReadsARecord", "s,0,0,$piece@3/name;piece;s,$name;" },
        FaceCase { "recordEntryItself", "piece;s,$../piece@1,$/;course,3;s,$../piece@1;" },
        FaceCase { "fragmentsIntoRecords", "piece;&../frag;&../piece/blk;&../far;" },
        FaceCase { "fragmentChangesCourse", "piece;s,$none;&../course3;s,$none,$name;" },
        FaceCase { "letReadByLaterPages",
            "piece;s,$../piece/memo;let,memo;s,5,5,$name;endlet;&../piece/memo;" },
        FaceCase {
            "letAtTheRoot", "piece;chbase,/;let,piece;s,1;endlet;let,note;n;endlet;s,$note;" },
        FaceCase { "chbaseIntoAnotherRecord", "piece;chbase,/,piece@2;s,$name;chbase,/;s,$name;" },
        FaceCase { "chbaseCreates", "piece;s,$made/x;chbase,made;" },
        FaceCase { "chbaseIntoAMissingRecord", "piece;chbase,/,piece@40;s,$name;" },
        FaceCase { "missingRecords", "piece;s,$../piece@40/name;course,2;s,$../piece@9/name;" },
        FaceCase { "courseStop", "piece;s,$name;course,0;s,$../piece@2/kind+$../piece@7/x;" },
        FaceCase { "courseEmpty", "course,3;piece;s,$../piece@99/name,$name;" },
        FaceCase { "severalRecordsOnAPage", "piece;s,$name;piece;s,$name,$../piece@1/name;" },
        FaceCase { "endInsideThePage", "piece;s,$name;end;s,never;" },
        FaceCase { "badReference", "piece;s,$,$name;s,$../piece@1/name;" },
        FaceCase { "rowsOnContinuationPages",
            "piece;s,$name,$\"System/page\";rows,item,1,10;s,$/,$../name,$../../piece@2/name;"
            "endrows;lastpage;s,$../piece@3/name;endlastpage;" },
        FaceCase { "outInEveryRecord", "piece;s,$name;out;s,$../piece@3/name,$System/sheet;" }),
    [](const auto& test) { return std::string(test.param.name); });

TEST(MergeThroughSource, TranslatedNamesReachOtherRecords)
{
    QTemporaryDir folder;
    ASSERT_TRUE(vorlix::test::writeFileBytes(
        folder.path() + "/convtbl.txt", QByteArray("data,face\r\nname,nm\r\nitem,it\r\n")));
    const QString text
        = document(QStringLiteral("<tag>data</tag><dir>%1/</dir>").arg(folder.path()) + kRecords);
    const Comparison result
        = compare(text, QStringLiteral("tag,face;piece;s,$nm,$it,$../piece@2/name;"));
    expectSame(result, QStringLiteral("tag"));
    EXPECT_TRUE(result.whole.text.contains(QStringLiteral("s,A,a1,C;")))
        << result.whole.text.toStdString();
}

// Each sample face with its data document (or, without one, the document a face is merged
// against by itself) merged both ways.
TEST(MergeThroughSource, EverySampleGivesTheSameDocument)
{
    const QDir samples(qEnvironmentVariable("VORLIX_SOURCE_DIR") + QStringLiteral("/samples"));
    const QStringList faces = samples.entryList({ QStringLiteral("*.fae") }, QDir::Files);
    ASSERT_GE(faces.size(), 4);
    for (const QString& name : faces) {
        const QString base = QFileInfo(name).completeBaseName();
        QString data = QStringLiteral("<?xml ?><TZQ_002><face>InternalBuff</face></TZQ_002>");
        if (samples.exists(base + QStringLiteral(".mnd")))
            data = vorlix::shell::decodeText(
                vorlix::test::readFileBytes(samples.filePath(base + ".mnd")))
                       .text;
        const QString face
            = vorlix::shell::decodeText(vorlix::test::readFileBytes(samples.filePath(name))).text;
        const Prepare prepare
            = [&](Tree& tree) { tree.Value(QStringLiteral("dir"), samples.path() + u'/'); };
        const Comparison result = compare(data, face, prepare);
        expectSame(result, name);
        EXPECT_GT(result.whole.text.size(), 100) << name.toStdString();
    }
}

// What the source reads and what the tree keeps.
TEST(RecordLoader, LoadsEachRecordOnceAndDropsItAfterItsPage)
{
    const Comparison plain = compare(document(kRecords), QStringLiteral("piece;s,$name;"));
    EXPECT_EQ(plain.loaded, (std::vector<std::int64_t> { 1, 2, 3, 4 }));
    EXPECT_EQ(plain.nodesAfter, plain.headNodes);

    // A record every page reads is loaded again for each page that needs it, but not twice for
    // one page.
    const Comparison shared
        = compare(document(kRecords), QStringLiteral("piece;s,$../piece@2/name,$../piece@2/kind;"));
    EXPECT_EQ(shared.loaded, (std::vector<std::int64_t> { 1, 3, 2, 3, 3, 4, 3 }));

    // A page that writes keeps what it loaded: the record is not read again.
    const Comparison written
        = compare(document(kRecords), QStringLiteral("piece;s,$../piece@2/name;let,m;x;endlet;"));
    EXPECT_EQ(written.loaded, (std::vector<std::int64_t> { 1, 3, 2, 4 }));
    expectSame(written, QStringLiteral("written"));

    // The query tests every record but keeps only the chosen ones past their test.
    const Comparison queried
        = compare(document(QStringLiteral("<query>kind, y</query>") + kRecords),
            QStringLiteral("piece;s,$name;"));
    EXPECT_EQ(queried.loaded, (std::vector<std::int64_t> { 1, 2, 3, 4 }));
    EXPECT_EQ(queried.streamed.pages, 2);
    EXPECT_EQ(queried.nodesAfter, queried.headNodes);
}

// A source whose file changed under it: the record cannot be read.
class FailingSource : public CopyingRecordSource {
public:
    using CopyingRecordSource::CopyingRecordSource;
    void load(Tree& tree, std::int64_t record) override
    {
        if (record == 3)
            throw vorlix::shell::RunError(53, QStringLiteral("変更されました"));
        CopyingRecordSource::load(tree, record);
    }
};

TEST(RecordLoader, ARecordThatCannotBeReadEndsTheMergeWithItsError)
{
    for (const QString& face :
        { QStringLiteral("piece;s,$name;"), QStringLiteral("s,$piece@2/name;piece;s,$name;"),
            QStringLiteral("piece;s,$name,$../piece@1/kind;piece;s,$name;") }) {
        FailingSource source(
            document(QStringLiteral("<query>kind, y</query>") + kRecords), [](Tree&) {});
        const auto head = source.head();
        Merge merge;
        merge.Init(head.get(), &source);
        // The caller reports it against the data document, whose record it is.
        EXPECT_THROW(merge.Text(face), vorlix::shell::RunError) << face.toStdString();
        // Nothing of the failed page stays, and the tree takes marks again as a fresh one would.
        EXPECT_EQ(head->nodeCount(), source.head()->nodeCount());
        const Tree::Mark mark = head->mark();
        head->Value(QStringLiteral("x"), QStringLiteral("y"));
        head->rollback(mark);
        EXPECT_EQ(head->nodeCount(), source.head()->nodeCount());
    }
}

// A source that enters each record by its name, as one reading the file again does: the entry
// "piece" then does not know how often the name was added.
class EnteringSource : public CopyingRecordSource {
public:
    using CopyingRecordSource::CopyingRecordSource;
    void load(Tree& tree, std::int64_t record) override
    {
        CopyingRecordSource::load(tree, record);
        tree.setRepeatCount(tree.entryOf(0, RecordLoader::recordName(record)), 0);
    }
};

TEST(RecordLoader, ANameAddedAtTheRootTakesTheNumberAfterTheRecords)
{
    const QString text = document(kRecords);
    const QString face = QStringLiteral("piece;chbase,/;let,piece;s,1;endlet;s,$piece@4;");
    const Comparison whole = compare(text, face);
    EXPECT_TRUE(whole.whole.text.contains(QStringLiteral("s,1;")))
        << whole.whole.text.toStdString();
    EnteringSource source(text, [](Tree&) {});
    const auto head = source.head();
    Merge merge;
    merge.Init(head.get(), &source);
    merge.Text(face);
    EXPECT_EQ(merge.Convert(), whole.whole.text);
}

TEST(RecordLoader, KnowsTheNamesOfRecords)
{
    EXPECT_EQ(RecordLoader::recordNumber(u"piece"), 1);
    EXPECT_EQ(RecordLoader::recordNumber(u"piece@1"), 2);
    EXPECT_EQ(RecordLoader::recordNumber(u"piece@19999"), 20000);
    for (const char16_t* other : { u"Piece", u"piece@", u"piece@0", u"piece@01", u"piece@+1",
             u"piece@1x", u"piece1", u"pieces", u"piece@1@1", u"piece@99999999999999999999" })
        EXPECT_EQ(RecordLoader::recordNumber(other), 0) << QString::fromUtf16(other).toStdString();
    for (const std::int64_t record : { 1, 2, 12345 })
        EXPECT_EQ(RecordLoader::recordNumber(RecordLoader::recordName(record)), record);
}

// A data document of the size "-m=" runs meet, merged through the source: the same text, and a
// tree that never holds more than the head and a record.
TEST(RecordLoader, TwentyThousandRecordsMergeInASmallTree)
{
    QString body = QStringLiteral("<company>株式会社サンプル</company>");
    for (int i = 1; i <= 20000; ++i)
        body += QStringLiteral("<piece><no>%1</no><name>顧客 %1</name><item>品目%2</item>"
                               "<item>品目%3</item><qty>%4</qty></piece>")
                    .arg(i)
                    .arg(i % 13)
                    .arg(i % 7)
                    .arg(i % 5 + 1);
    const QString face = QStringLiteral("fs,1,\"ＭＳ 明朝\",9,0;piece;s,150,300,$no;"
                                        "s,150,400,$name+\" 様\";s,1400,300,$../company;"
                                        "s,1,1,$item,$item@1;course,3;s,$remark;course,1;");
    const Comparison result = compare(document(body), face);
    expectSame(result, QStringLiteral("20000"));
    EXPECT_EQ(result.streamed.pages, 20000);
    EXPECT_EQ(result.loaded.size(), 20000U);
    EXPECT_EQ(result.nodesAfter, result.headNodes);
}

}

#include "document/Merge.h"

#include "../support/TempEnvironment.h"
#include "document/ApartXML.h"
#include "shell/CodePage.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

using namespace vorlix::document;

namespace {

// A tree read from document-level elements and pieces written as XML.
std::unique_ptr<Tree> dataTree(const QString& body)
{
    auto tree = std::make_unique<Tree>();
    ApartXML reader;
    reader.Init(tree.get());
    reader.Text(
        QStringLiteral("<?xml version=\"1.0\"?><TZQ_002>") + body + QStringLiteral("</TZQ_002>"));
    EXPECT_FALSE(reader.report().fError || reader.report().fWarning)
        << reader.report().sErrMsg.toStdString();
    return tree;
}

struct Merged {
    QString text;
    bool error = false;
    bool warning = false;
    QString message;
    std::int64_t pages = 0;
};

Merged mergeInto(Tree& tree, const QString& face)
{
    Merge merge;
    merge.Init(&tree);
    merge.Text(face);
    return { merge.Convert(), merge.report().fError, merge.report().fWarning,
        merge.report().sErrMsg, merge.pageCount() };
}

const QString kThreePieces = QStringLiteral("<name>Taro</name><piece><name>A</name></piece>"
                                            "<piece><name>B</name></piece>"
                                            "<piece><name>C</name></piece>");

// Merges a face against the data of three pieces.
Merged mergeThreePieces(const QString& face)
{
    auto tree = dataTree(kThreePieces);
    return mergeInto(*tree, face);
}

struct OutputCase {
    const char* name;
    QString data;
    QString face;
    QString expected;
};

class MergeOutput : public ::testing::TestWithParam<OutputCase> { };

TEST_P(MergeOutput, WritesThePagedDocument)
{
    const auto tree = dataTree(GetParam().data);
    const Merged merged = mergeInto(*tree, GetParam().face);
    EXPECT_FALSE(merged.error) << merged.message.toStdString();
    EXPECT_EQ(merged.text, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Merge, MergeOutput,
    ::testing::Values(OutputCase { "headOnly", "<name>Taro</name>", "s,10,10,$name;",
                          "head,1,1,15;\r\n s,10,10,Taro; " },
        OutputCase { "emptyFace", "", "", "head,1,1,2;\r\n  " },
        OutputCase { "commentsAndBlanksVanish", "", "# title\r\n  h , 1,2 ;\r\n\r\n;;v,3;",
            "head,1,1,12;\r\n h,1,2;v,3; " },
        OutputCase { "onePagePerPiece", kThreePieces, "fs,1,x;\r\npiece;\r\ns,1,1,$name;\r\n",
            "head,3,1,9,24,39;\r\n fs,1,x;s,1,1,A;#out1\r\ns,1,1,B;#out2\r\ns,1,1,C; " },
        OutputCase { "severalPiecesOnOnePage", kThreePieces, "piece;s,$name;piece;s,$name;",
            "head,2,1,2,17;\r\n s,A;s,B;#out1\r\ns,C; " },
        OutputCase { "dropStopsAtThePageStart", "<piece><n>1</n></piece>",
            "h,1,piece;s,$nothing;t;", "head,1,1,6;\r\n h,1,t; " },
        OutputCase { "pieceWithoutRecords", "", "h,1;piece;s,$name;end;", "head,1,1,6;\r\n h,1; " },
        OutputCase { "endInTheHeadMeansNoPages", kThreePieces, "h,1;end;piece;s,$name;",
            "head,1,1,6;\r\n h,1; " },
        OutputCase { "endEndsThePage", kThreePieces, "piece;s,$name;end;t,ignored;",
            "head,3,1,2,13,24;\r\n s,A;#out1\r\ns,B;#out2\r\ns,C; " },
        OutputCase {
            "courseOneDropsTheStatement", "", "s,1,1,$nothing;t,2;", "head,1,1,6;\r\n t,2; " },
        OutputCase { "courseTwoDropsTheReference", "", "course,2;s,1,1,$nothing;",
            "head,1,1,8;\r\n s,1,1; " },
        OutputCase { "courseThreeWritesAnEmptyItem", "", "course,3;s,1,1,$nothing;",
            "head,1,1,9;\r\n s,1,1,; " },
        OutputCase { "courseOutOfRangeIgnored", "", "course,2;course,7;course,x;s,$nothing;",
            "head,1,1,4;\r\n s; " },
        OutputCase { "numbersNormalisedStringsKept", "", "s,1.50,0x1F,\"a,b;c\";",
            "head,1,1,19;\r\n s,1.5,31,\"a,b;c\"; " },
        OutputCase { "glueAfterString", "<x>B</x>", "s,\"A\"+$x;", "head,1,1,9;\r\n s,\"A\"B; " },
        OutputCase { "commaKeepsGluedItemsApart", "<x>B</x>", "s,\"A\",+$x;",
            "head,1,1,10;\r\n s,\"A\",B; " },
        OutputCase {
            "glueTwoValues", "<a>1</a><b>2</b>", "s,$a+$b,$a;", "head,1,1,9;\r\n s,12,1; " },
        OutputCase { "characterCodes", "", "s,x%13;t,%65,b;u,%0x82A0;",
            "head,1,1,17;\r\n s,x\r;t,A,b;u,あ; " },
        OutputCase {
            "percentWithoutNumberDrops", "", "s,1;t,%x;u,%;v,2;", "head,1,1,10;\r\n s,1;v,2; " },
        OutputCase { "unknownSymbolDrops", "", "s,1;t,=,2;u;", "head,1,1,8;\r\n s,1;u; " },
        OutputCase {
            "valuesAreWrittenUnchanged", "<v>1,2;3</v>", "s,$v;", "head,1,1,10;\r\n s,1,2;3; " },
        OutputCase { "chbaseEntersARecord", kThreePieces, "chbase,piece@1;s,1,1,$name;",
            "head,1,1,10;\r\n s,1,1,B; " },
        OutputCase { "chbaseSlashGoesUp", kThreePieces, "chbase,piece,/;s,$name;",
            "head,1,1,9;\r\n s,Taro; " },
        OutputCase { "slashIsTheRecordsOwnValue", kThreePieces, "chbase,piece;s,$/;",
            "head,1,1,5;\r\n s,; " },
        OutputCase { "relativePaths", "<a><b>1</b></a><c>2</c>", "chbase,a;s,$./b,$../c,$../a/b;",
            "head,1,1,10;\r\n s,1,2,1; " },
        OutputCase { "pathsReadInsideRecords", "<top>T</top><piece><n>1</n></piece>",
            "piece;s,$n,$../top;", "head,1,1,2;\r\n s,1,T; " },
        OutputCase { "letDefinesAFragment", "",
            "let,blk;\r\nh,1,2,3;\r\nv,4,5,6;\r\nendlet;\r\n&blk;",
            "head,1,1,19;\r\n h,1,2,3;v,4,5,6;; " },
        OutputCase {
            "letValueByDollar", "", "let,t;\"x y\"endlet;s,$t;", "head,1,1,10;\r\n s,\"x y\"; " },
        OutputCase {
            "fragmentEndsAtEnd", "<f>a,1;end;b,2;</f>", "&f;c;", "head,1,1,9;\r\n a,1;;c; " },
        OutputCase { "fragmentDirectivesPersist", "<f>course,3;</f>", "&f;s,$nothing;",
            "head,1,1,6;\r\n ;s,; " },
        // $"path" writes the value as one string, its double quotes doubled, so that the
        // interpreter reads back exactly the value; a string in the face stays as written.
        OutputCase { "quotedReferences",
            "<v>液晶 24\" モニタ</v><z>0600001</z><d>2026-12-09</d><n>-1,234</n><s>a;b#c</s>",
            "s,1,1,$\"v\";s,$\"z\",$\"d\",$\"n\",$\"s\";s,\"ab\"\"cd\";",
            "head,1,1,75;\r\n s,1,1,\"液晶 24\"\" モニタ\";s,\"0600001\",\"2026-12-09\",\"-1,234\","
            "\"a;b#c\";s,\"ab\"\"cd\"; " },
        // Glued onto a string, a string or a character code continues it.
        OutputCase { "gluedStringsAreOneString", "<no>12</no>",
            "s,\"No. \"+$\"no\"+\" "
            "号\";s,\"A\"+\"B\";s,$\"no\"+%34;s,\"A\",+$\"no\";s,$no+$\"no\";",
            "head,1,1,51;\r\n s,\"No. 12 号\";s,\"AB\";s,\"12\"\"\";s,\"A\",\"12\";s,12\"12\"; " },
        // An out breaks the page of a face without records and each record's page; one with
        // nothing after it breaks nothing.
        OutputCase { "outBreaksAFaceIntoPages", "", "s,1;out;s,2;out;",
            "head,2,1,2,13;\r\n s,1;#out1\r\ns,2; " },
        OutputCase { "outBreaksEachRecordsPage", kThreePieces, "piece;s,$name;out;t;",
            "head,6,1,2,13,22,33,42,53;\r\n s,A;#out1\r\nt;#out2\r\ns,B;#out3\r\nt;#out4\r\n"
            "s,C;#out5\r\nt; " },
        OutputCase { "pageNumbersOfRecordsAndDocument", kThreePieces,
            "piece;s,$\"System/page\",$System/pages,$../System/sheet;out;s,$System/page;",
            "head,6,1,2,19,30,47,58,75;\r\n s,\"1\",2,1;#out1\r\ns,2;#out2\r\ns,\"1\",2,3;#out3\r\n"
            "s,2;#out4\r\ns,\"1\",2,5;#out5\r\ns,2; " },
        OutputCase { "rowsGoOnOnAPageOfTheirOwn",
            "<piece><item><n>1</n></item><item><n>2</n></item><item><n>3</n></item></piece>",
            "h;piece;t;rows,item,2,50;r,$n;endrows;lastpage;z;endlastpage;",
            "head,2,1,4,44;\r\n h;t;r,1;shift,0,50;r,2;shift,0,-50;#out1\r\nt;r,3;z; " },
        // Rows from a folder of the record, each its own value, at a pitch of half units.
        OutputCase { "rowsOfAFolderAtAFractionalPitch",
            "<piece><items><item>a</item><item>b</item><item>c</item></items></piece>",
            "piece;rows,items/item,5,12.5;s,$\"/\";endrows;",
            "head,1,1,2;\r\n s,\"a\";shift,0,12;s,\"b\";shift,0,13;s,\"c\";shift,0,-25; " },
        // System items are the document's own, looked up from the root, unless a record has its
        // own.
        OutputCase { "systemItemsFromTheRoot",
            "<piece><System><mpiececount>own</mpiececount></System></piece><piece><x>1</x></piece>",
            "piece;s,$System/mpiececount,$../System/mpiececount;s,$System/page;",
            "head,2,1,2,21;\r\n s,own,2;s,1;#out1\r\ns,2,2;s,1; " },
        OutputCase { "quotedPathsAndCourses", "<a><b>1</b></a><c>2</c>",
            "chbase,a;s,$\"./b\",$\"../c\",$\"/\";course,3;s,$\"x\";course,2;s,1,$\"x\";"
            "course,1;s,$\"x\";",
            "head,1,1,24;\r\n s,\"1\",\"2\",\"\";s,\"\";s,1; " }),
    [](const auto& testCase) { return testCase.param.name; });

TEST(Merge, CourseZeroIsAnErrorButThePagesComplete)
{
    auto tree = dataTree(kThreePieces);
    const Merged merged = mergeInto(*tree, QStringLiteral("course,0;piece;s,$name;t,$nothing;u;"));
    EXPECT_TRUE(merged.error);
    EXPECT_FALSE(merged.warning);
    // The message names the reference that was not found.
    EXPECT_EQ(merged.message, "Vorlix/Replace>トークンが見つからない:$nothing");
    EXPECT_EQ(merged.pages, 3);
    EXPECT_EQ(merged.text, "head,3,1,2,13,24;\r\n s,A;#out1\r\ns,B;#out2\r\ns,C; ");
}

TEST(Merge, UnknownReferenceIsAWarning)
{
    auto tree = dataTree(QString());
    // A fragment takes no quoted reference: &"f" is an unknown token like $(.
    const Merged merged = mergeInto(*tree, QStringLiteral("s,$(,1;t,$;v,&\"f\";u,2;"));
    EXPECT_TRUE(merged.warning);
    EXPECT_FALSE(merged.error);
    EXPECT_EQ(merged.message, "Vorlix/tagValue>不明なトークン:(");
    EXPECT_EQ(merged.text, "head,1,1,6;\r\n u,2; ");
}

TEST(Merge, QuerySelectsMatchingRecordsWithoutATrailingEmptyPage)
{
    auto tree = dataTree(QStringLiteral("<query>name, Taro</query>"
                                        "<piece><name>Taro</name><no>1</no></piece>"
                                        "<piece><name>Jiro</name><no>2</no></piece>"
                                        "<piece><name>Taro</name><no>3</no></piece>"
                                        "<piece><name>Saburo</name><no>4</no></piece>"));
    const Merged merged = mergeInto(*tree, QStringLiteral("piece;s,$no;"));
    EXPECT_FALSE(merged.error);
    EXPECT_EQ(merged.pages, 2);
    EXPECT_EQ(merged.text, "head,2,1,2,13;\r\n s,1;#out1\r\ns,3; ");

    auto none = dataTree(QStringLiteral("<query>name,Nobody</query>"
                                        "<piece><name>Taro</name></piece>"));
    EXPECT_EQ(mergeInto(*none, QStringLiteral("h;piece;s,$name;")).text, "head,1,1,4;\r\n h; ");
}

TEST(Merge, QueryWithoutCommaIsRejected)
{
    auto tree = dataTree(QStringLiteral("<query>Taro</query><piece><name>Taro</name></piece>"));
    const Merged merged = mergeInto(*tree, QStringLiteral("piece;s,$name;"));
    EXPECT_TRUE(merged.error);
    EXPECT_EQ(merged.pages, 1);
    EXPECT_FALSE(merged.text.contains("Taro"));
}

TEST(Merge, SelfReferencingFragmentsEndWithAnError)
{
    const std::vector<QString> faces {
        QStringLiteral("let,a;&a;endlet;&a;"),
        QStringLiteral("let,a;x,&b;endlet;let,b;y,&a;endlet;s,&a;"),
        QStringLiteral("piece;let,a;&a;endlet;&a;"),
    };
    for (const QString& face : faces) {
        SCOPED_TRACE(face.toStdString());
        const Merged merged = mergeThreePieces(face);
        EXPECT_TRUE(merged.error);
        EXPECT_TRUE(merged.message.startsWith("Vorlix/Fragment>"));
    }
}

TEST(Merge, MultiplyingFragmentsHitTheOutputLimit)
{
    QString face = QStringLiteral("let,f0;x;endlet;");
    for (int i = 1; i <= 30; ++i)
        face += QStringLiteral("let,f%1;&f%2&f%2;endlet;").arg(i).arg(i - 1);
    face += QStringLiteral("&f30;");
    auto tree = dataTree(QString());
    Merge merge;
    merge.Init(tree.get());
    merge.setLimits(100000, 10'000'000);
    merge.Text(face);
    EXPECT_TRUE(merge.report().fError);
    EXPECT_LE(merge.Convert().size(), 100100);
}

TEST(Merge, UnfinishedInputNeverHangs)
{
    const std::vector<QString> faces {
        QStringLiteral("let,a;s,1;"),
        QStringLiteral("let"),
        QStringLiteral("s,$"),
        QStringLiteral("s,&"),
        QStringLiteral("s,%"),
        QStringLiteral("chbase"),
        QStringLiteral("tag"),
        QStringLiteral("piece"),
        QStringLiteral("piece;let,a;"),
        QStringLiteral("s,\"open"),
        QStringLiteral("&&&&$$$$++++%%%%;;;;"),
        QStringLiteral("s,$./"),
        QStringLiteral("s,$./.././a/./b"),
    };
    for (const QString& face : faces) {
        const QString text = mergeThreePieces(face).text;
        EXPECT_TRUE(text.startsWith("head,") && text.endsWith(' ')) << face.toStdString();
    }
}

// Every page start must point at the first character of that page's text, however many pages.
TEST(Merge, PageStartsPointAtEachPage)
{
    QString data;
    const int records = 2000;
    for (int i = 1; i <= records; ++i)
        data += QStringLiteral("<piece><n>%1</n></piece>").arg(i);
    auto tree = dataTree(data);
    const Merged merged = mergeInto(*tree, QStringLiteral("h,0;piece;p,$n;q,1;"));
    ASSERT_EQ(merged.pages, records);
    const qsizetype lineEnd = merged.text.indexOf("\r\n");
    const QStringList header = merged.text.left(lineEnd - 1).split(',');
    const QString body = merged.text.mid(lineEnd + 2);
    ASSERT_EQ(header.size(), records + 3);
    EXPECT_EQ(header[1].toInt(), records);
    for (int page = 1; page <= records; ++page) {
        const int start = header[page + 2].toInt();
        EXPECT_EQ(body.mid(start - 1, 2 + QString::number(page).size() + 1),
            QStringLiteral("p,%1;").arg(page))
            << page;
    }
}

// The merge hands each finished page to the packed document while it goes on; what it kept must
// be what it wrote, page for page, also where a page starts with a dropped statement, a glued
// part or a reference that is not there, and over many packed blocks.
TEST(Merge, KeptPagesAreTheWrittenPages)
{
    QString data;
    const int records = 3000;
    for (int i = 1; i <= records; ++i)
        data += QStringLiteral("<piece><n>%1</n><t>請求書%2</t></piece>").arg(i).arg(i % 7);
    const QStringList faces {
        QStringLiteral("h,0,x piece;$gone;s,1,1,$t;p,$n;end;"),
        QStringLiteral("h,0;piece;+a,$n;course,3;$gone;s,1,1,$t,$t,$t,$t,$t,$t,$t;"),
        QStringLiteral("h,0,piece;course,0;$n;s,$t,$t,$t,$t,$t,$t;$gone;p,1;"),
    };
    for (const QString& face : faces) {
        auto tree = dataTree(data);
        Merge merge;
        merge.Init(tree.get());
        merge.Text(face);
        const QString text = merge.Convert();
        const auto kept = merge.document();
        ASSERT_TRUE(kept);
        const qsizetype lineEnd = text.indexOf("\r\n");
        const QStringList header = text.left(lineEnd - 1).split(',');
        const QString body = text.mid(lineEnd + 2);
        ASSERT_EQ(kept->pageCount(), merge.pageCount()) << face.toStdString();
        EXPECT_EQ(kept->pageCount(), records) << face.toStdString();
        EXPECT_GT(body.size(), 70000);
        ASSERT_EQ(header.size(), kept->pageCount() + 3);
        EXPECT_EQ(kept->bodySize(), body.size());
        EXPECT_EQ(kept->head(), body.left(header[3].toInt() - 1)) << face.toStdString();
        for (int page = 1; page <= kept->pageCount(); ++page) {
            const qsizetype start = header[page + 2].toLongLong();
            const qsizetype next
                = page == kept->pageCount() ? body.size() : header[page + 3].toLongLong();
            ASSERT_EQ(kept->page(page), body.mid(start - 1, next - start))
                << face.toStdString() << " page " << page;
        }
    }
}

// Faces that once produced page starts beyond the end of the text.
TEST(Merge, FuzzFindingsKeepPagesInsideTheText)
{
    const QString source = qEnvironmentVariable("VORLIX_SOURCE_DIR");
    const QDir dir(
        (source.isEmpty() ? QStringLiteral(".") : source + "/tests/document") + "/data/fuzz");
    const QStringList files = dir.entryList({ QStringLiteral("merge-*") }, QDir::Files);
    ASSERT_FALSE(files.isEmpty()) << dir.path().toStdString();
    for (const QString& file : files) {
        const QString face
            = vorlix::shell::decodeText(vorlix::test::readFileBytes(dir.filePath(file))).text;
        auto tree = dataTree(kThreePieces);
        const Merged merged = mergeInto(*tree, face);
        const qsizetype end = merged.text.indexOf(';');
        const QStringList header = merged.text.left(end).split(',');
        const qsizetype body = merged.text.size() - (end + 3);
        ASSERT_EQ(header.size(), merged.pages + 3) << file.toStdString();
        for (qsizetype i = 2; i < header.size(); ++i) {
            EXPECT_GE(header[i].toLongLong(), 1) << file.toStdString();
            EXPECT_LE(header[i].toLongLong(), body) << file.toStdString();
        }
    }
}

// A Shift_JIS data document whose element names are Japanese, merged into a face written with
// roman names through a tag table.
TEST(Merge, TranslatesJapaneseDataNamesThroughTheTagTable)
{
    QTemporaryDir folder;
    ASSERT_TRUE(vorlix::test::writeFileBytes(folder.path() + "/convtbl.txt",
        vorlix::shell::toCp932(QStringLiteral("kanji,roman\r\n氏名,name\r\n品名,item\r\n"))));
    const QByteArray bytes = vorlix::shell::toCp932(QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<TZQ_002>\r\n<tag>kanji</tag>\r\n"
        "<dir>%1/</dir>\r\n<piece><氏名>山田　太郎</氏名><品名>りんご</品名></piece>\r\n"
        "<piece><氏名>鈴木</氏名><品名>みかん</品名></piece>\r\n</TZQ_002>\r\n")
                                                        .arg(folder.path()));
    const vorlix::shell::DecodedText decoded = vorlix::shell::decodeText(bytes);
    ASSERT_EQ(decoded.encoding, vorlix::shell::TextEncoding::Cp932);

    Tree tree;
    ApartXML reader;
    reader.Init(&tree);
    reader.Text(decoded.text);
    ASSERT_FALSE(reader.report().fError || reader.report().fWarning)
        << reader.report().sErrMsg.toStdString();
    EXPECT_EQ(tree.Value(QStringLiteral("piece/氏名")), "山田　太郎");

    const Merged merged
        = mergeInto(tree, QStringLiteral("tag,roman;\r\npiece;\r\ns,1,1,$name;s,1,2,$item;\r\n"));
    EXPECT_FALSE(merged.error || merged.warning) << merged.message.toStdString();
    EXPECT_EQ(merged.text,
        "head,2,1,2,31;\r\n s,1,1,山田　太郎;s,1,2,りんご;#out1\r\n"
        "s,1,1,鈴木;s,1,2,みかん; ");

    const Merged untranslated = mergeInto(tree, QStringLiteral("piece;s,1,1,$name;s,$氏名;"));
    EXPECT_EQ(untranslated.text, "head,2,1,2,17;\r\n s,山田　太郎;#out1\r\ns,鈴木; ");
}

TEST(Merge, TagWithoutMatchingTableTranslatesNothing)
{
    QTemporaryDir folder;
    ASSERT_TRUE(vorlix::test::writeFileBytes(
        folder.path() + "/convtbl.txt", QByteArray("kanji,roman\nname,nm\n")));
    auto tree = dataTree(QStringLiteral("<tag>other</tag><dir>%1/</dir><name>N</name><nm>M</nm>")
                             .arg(folder.path()));
    EXPECT_EQ(mergeInto(*tree, QStringLiteral("tag,kanji;s,$name;")).text, "head,1,1,6;\r\n s,N; ");
    tree->Value(QStringLiteral("tag"), QStringLiteral("roman"));
    EXPECT_EQ(
        mergeInto(*tree, QStringLiteral("tag,1;tag,kanji;s,$name;")).text, "head,1,1,6;\r\n s,M; ");
}

}

#include "document/ApartXML.h"

#include "shell/CodePage.h"
#include "shell/ModuleState.h"
#include "tests/support/ScopedModuleState.h"

#include <gtest/gtest.h>
#include <vector>

using namespace vorlix::document;

namespace {

const QString kHead = QStringLiteral("<?xml version=\"1.0\"?>");

// A document saved in UTF-16 (little-endian, with or without its byte-order mark), as the reader
// gets it from the file: the bytes read as UTF-8 or Shift_JIS.
QString asReadFromUtf16(const QString& text, bool byteOrderMark)
{
    QByteArray bytes = byteOrderMark ? QByteArray("\xFF\xFE") : QByteArray();
    bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return vorlix::shell::decodeText(bytes).text;
}

struct Read {
    Tree tree;
    bool warning = false;
    bool error = false;
    std::int32_t pit = -1;
    QString message;
};

std::unique_ptr<Read> readDocument(const QString& text)
{
    auto read = std::make_unique<Read>();
    ApartXML reader;
    reader.Init(&read->tree);
    reader.Text(text);
    read->warning = reader.report().fWarning;
    read->error = reader.report().fError;
    read->pit = reader.report().nErrPit;
    read->message = reader.report().sErrMsg;
    return read;
}

TEST(ApartXML, ReadsDocumentPiecesAndSystemItems)
{
    const auto read = readDocument(QStringLiteral(
        "<!-- template -->\r\n<!-- second -->\r\n<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
        "<TZQ_002>\r\n  <face>a.fae</face>\r\n  <piece><name>Taro</name></piece>\r\n"
        "  <piece>\r\n    <name> Hanako </name>\r\n  </piece>\r\n</TZQ_002>\r\n"));
    EXPECT_FALSE(read->warning);
    EXPECT_FALSE(read->error);
    EXPECT_EQ(read->pit, -1);
    EXPECT_EQ(read->message, "");
    const Tree& tree = read->tree;
    EXPECT_EQ(tree.Value(QStringLiteral("xml")), "version=\"1.0\" encoding=\"Shift_JIS\"");
    EXPECT_EQ(tree.Value(QStringLiteral("face")), "a.fae");
    EXPECT_EQ(tree.Value(QStringLiteral("piece/name")), "Taro");
    EXPECT_EQ(tree.Value(QStringLiteral("piece@1/name")), "Hanako");
    EXPECT_EQ(tree.Value(QStringLiteral("piece@2/name")), "NO-LABEL");
    EXPECT_EQ(tree.Value(QStringLiteral("System/TzqVersion")), "3");
    EXPECT_EQ(tree.Value(QStringLiteral("System/mpiececount")), "2");
    EXPECT_EQ(tree.RootIndex(), 0);
}

struct ValueCase {
    const char* name;
    QString body;
    std::vector<std::pair<QString, QString>> values;
};

class ReaderValues : public ::testing::TestWithParam<ValueCase> { };

TEST_P(ReaderValues, StoresTheExpectedValues)
{
    const auto read = readDocument(
        kHead + QStringLiteral("<TZQ_002>") + GetParam().body + QStringLiteral("</TZQ_002>"));
    EXPECT_FALSE(read->error);
    EXPECT_FALSE(read->warning) << read->message.toStdString();
    for (const auto& [path, value] : GetParam().values)
        EXPECT_EQ(read->tree.Value(path), value) << path.toStdString();
}

INSTANTIATE_TEST_SUITE_P(ApartXML, ReaderValues,
    ::testing::Values(ValueCase { "repeatedNames", "<note>1</note><note>2</note><note>3</note>",
                          { { "note", "1" }, { "note@1", "2" }, { "note@2", "3" } } },
        ValueCase { "lastTextRunWins", "<a>x<b>1</b>y</a>", { { "a", "y" }, { "a/b", "1" } } },
        ValueCase { "emptyElementAddsNothing", "<a/><p><a/></p><piece><a /></piece>",
            { { "a", "NO-LABEL" }, { "p/a", "NO-LABEL" }, { "piece/a", "NO-LABEL" },
                { "p", "" } } },
        // The five named references and numeric ones become their characters, in any element;
        // what is no reference of a character XML allows stays as written.
        ValueCase { "referencesDecoded",
            "<face>S&amp;B.fae</face><a>&lt;&gt;&quot;&apos; &#12354;&#x3042;&#X41; &amp;lt;</a>"
            "<piece><b>&#128512;&#x1F600;</b></piece>"
            "<c>A &amp B &nbsp; &#0; &#xD800; &#1114112; &#; &#x; &#12a; &</c>",
            { { "face", "S&B.fae" }, { "a", "<>\"' ああ&#X41; &lt;" },
                { "piece/b", "\U0001F600\U0001F600" },
                { "c", "A &amp B &nbsp; &#0; &#xD800; &#1114112; &#; &#x; &#12a; &" } } },
        ValueCase { "valuesTrimmed", "<a> \r\n\t　x　y \r\n</a>", { { "a", "x　y" } } },
        ValueCase { "deepData", "<a><b><c>deep</c></b><d>D</d></a>",
            { { "a/b/c", "deep" }, { "a/d", "D" } } },
        ValueCase { "pieceByManner", "<rec manner=\"vorlix\"><n>1</n></rec><piece><n>2</n></piece>",
            { { "piece/n", "1" }, { "piece@1/n", "2" }, { "System/mpiececount", "2" } } },
        ValueCase { "pieceInsidePieceIsData", "<piece><piece>x</piece><n>1</n></piece>",
            { { "piece/piece", "x" }, { "piece/n", "1" }, { "System/mpiececount", "1" } } },
        ValueCase { "japaneseNames", "<氏名>山田</氏名><piece><品名>りんご</品名></piece>",
            { { "氏名", "山田" }, { "piece/品名", "りんご" } } },
        ValueCase { "noPieces", "<face>f.fae</face>",
            { { "face", "f.fae" }, { "System/mpiececount", "0" } } },
        ValueCase { "commentsAndDeclarationsIgnored",
            "<!-- <a>no</a> --><?pi <a>?><!DOCTYPE x><a>yes</a>", { { "a", "yes" } } }),
    [](const auto& testCase) { return testCase.param.name; });

TEST(ApartXML, DocumentElementByMannerMustBeTheLastAttribute)
{
    const auto accepted = readDocument(kHead + "<form id=\"1\" manner=\"vorlix\"><a>1</a></form>");
    EXPECT_FALSE(accepted->error);
    EXPECT_FALSE(accepted->warning);
    EXPECT_EQ(accepted->tree.Value(QStringLiteral("a")), "1");

    const auto refused = readDocument(kHead + "<form manner=\"vorlix\" id=\"1\"><a>1</a></form>");
    EXPECT_TRUE(refused->error);
    EXPECT_EQ(refused->tree.Value(QStringLiteral("a")), "NO-LABEL");
}

struct FailureCase {
    const char* name;
    QString text;
    bool error;
    QString message;
    // Where the first problem's token begins; 0 means the end of the text.
    std::int32_t pit;
    std::vector<std::pair<QString, QString>> values;
};

class ReaderFailures : public ::testing::TestWithParam<FailureCase> { };

TEST_P(ReaderFailures, ReportsTheFirstProblem)
{
    const FailureCase& c = GetParam();
    const auto read = readDocument(c.text);
    EXPECT_EQ(read->error, c.error);
    EXPECT_EQ(read->warning, !c.error);
    EXPECT_EQ(read->message, c.message);
    EXPECT_EQ(read->pit, c.pit == 0 ? c.text.size() + 1 : c.pit);
    for (const auto& [path, value] : c.values)
        EXPECT_EQ(read->tree.Value(path), value) << path.toStdString();
}

// Positions: kHead is 21 characters and "<TZQ_002>" 9, so the body starts at 31.
INSTANTIATE_TEST_SUITE_P(ApartXML, ReaderFailures,
    ::testing::Values(FailureCase { "noDeclaration", "<TZQ_002><a>1</a></TZQ_002>", true,
                          "Text>XML宣言が見つからない", 0,
                          { { "System/mpiececount", "0" }, { "a", "NO-LABEL" },
                              { "xml", "NO-LABEL" }, { "System/TzqVersion", "NO-LABEL" } } },
        FailureCase { "utf16", asReadFromUtf16(kHead + "<TZQ_002><a>請求</a></TZQ_002>", true),
            true, "Text>UTF-16 の文書は読めません。UTF-8 か Shift_JIS で保存してください", 0, {} },
        FailureCase { "utf16WithoutMark", asReadFromUtf16(kHead + "<TZQ_002></TZQ_002>", false),
            true, "Text>UTF-16 の文書は読めません。UTF-8 か Shift_JIS で保存してください", 0, {} },
        FailureCase { "noDocumentElement", kHead + "<other><a>1</a></other>", true,
            "Text>vorlix文書を示すタグが見つかる前にEOF\r\nタグ名:", 0,
            { { "xml", "version=\"1.0\"" }, { "System/mpiececount", "0" }, { "a", "NO-LABEL" } } },
        FailureCase { "strayEndTag", kHead + "<TZQ_002></zz><a>1</a></TZQ_002>", false,
            "TzqData>終了タグが違う:zz", 31, { { "a", "1" } } },
        FailureCase { "documentNotClosed", kHead + "<TZQ_002><a>1</a>", false,
            "TzqData>予期せぬEOF", 0, { { "a", "1" }, { "System/mpiececount", "0" } } },
        FailureCase { "pieceClosedWrongly",
            kHead + "<TZQ_002><piece><a>1</a></x><b>2</b></TZQ_002>", false,
            "PriData>終了タグが違う:x", 46,
            { { "piece/a", "1" }, { "b", "2" }, { "piece/b", "NO-LABEL" } } },
        FailureCase { "pieceNotClosed", kHead + "<TZQ_002><piece><a>1</a>", false,
            "PriData>予期せぬEOF", 0, { { "piece/a", "1" }, { "System/mpiececount", "1" } } },
        FailureCase { "elementClosedWrongly", kHead + "<TZQ_002><a>1</b><c>2</c></TZQ_002>", false,
            "LabData>終了タグが違う:b", 35, { { "a", "NO-LABEL" }, { "c", "2" } } },
        FailureCase { "elementNotClosed", kHead + "<TZQ_002><a>1<b>2", false, "LabData>予期せぬEOF",
            0, { { "a", "NO-LABEL" }, { "a/b", "NO-LABEL" } } },
        FailureCase { "firstProblemWins", kHead + "<TZQ_002><a>1</b></c><piece><d>1</e></TZQ_002>",
            false, "LabData>終了タグが違う:b", 35, { { "piece/d", "NO-LABEL" } } }),
    [](const auto& testCase) { return testCase.param.name; });

TEST(ApartXML, DeepNestingNeedsNoDeepStack)
{
    const int depth = 10000;
    QString text = kHead + QStringLiteral("<TZQ_002>");
    text += QStringLiteral("<a>").repeated(depth) + QStringLiteral("bottom")
        + QStringLiteral("</a>").repeated(depth) + QStringLiteral("</TZQ_002>");
    auto read = readDocument(text);
    EXPECT_FALSE(read->warning);
    Tree& tree = read->tree;
    for (int i = 0; i + 1 < depth; ++i)
        tree.ChTree(QStringLiteral("a"));
    EXPECT_EQ(tree.Value(QStringLiteral("a")), "bottom");

    const auto unclosed = readDocument(kHead + QStringLiteral("<TZQ_002>")
        + QStringLiteral("<piece>") + QStringLiteral("<b>x").repeated(depth));
    EXPECT_TRUE(unclosed->warning);
    EXPECT_EQ(unclosed->message, "LabData>予期せぬEOF");
    EXPECT_EQ(unclosed->tree.Value(QStringLiteral("piece/b")), "NO-LABEL");
}

TEST(ApartXML, EveryProblemBeeps)
{
    vorlix::test::ScopedModuleState state;
    int beeps = 0;
    state->ui.beep = [&beeps] { ++beeps; };
    (void)readDocument(kHead + "<TZQ_002><a>1</b><c>2</d></TZQ_002>");
    const int twoWarnings = beeps;
    (void)readDocument(kHead + "<TZQ_002><a>1</a></TZQ_002>");
    EXPECT_EQ(twoWarnings, 2);
    EXPECT_EQ(beeps, 2);
}

TEST(ApartXML, ReadingAgainResetsTheReport)
{
    Tree tree;
    ApartXML reader;
    reader.Init(&tree);
    reader.Text(QStringLiteral("nothing"));
    EXPECT_TRUE(reader.report().fError);
    reader.Text(kHead + "<TZQ_002><piece/><piece><a>1</a></piece></TZQ_002>");
    EXPECT_FALSE(reader.report().fError);
    EXPECT_EQ(reader.report().nErrPit, -1);
    EXPECT_EQ(reader.report().sErrMsg, "");
    EXPECT_EQ(tree.Value(QStringLiteral("System/mpiececount")), "1");
    EXPECT_EQ(tree.Value(QStringLiteral("piece/a")), "1");
}

}

#include "document/xmlTC.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <vector>

using namespace vorlix::document;

namespace {

struct Cut {
    XmlToken kind;
    QString text;
    bool operator==(const Cut&) const = default;
};

void PrintTo(const Cut& cut, std::ostream* out)
{
    *out << static_cast<int>(cut.kind) << ":" << cut.text.toStdString();
}

// Cuts the whole text; the token text argument starts as "?" so that tokens which leave it
// alone show up.
std::vector<Cut> cutAll(const QString& text)
{
    xmlTC cutter;
    cutter.Text(text);
    std::vector<Cut> cuts;
    for (int guard = 0; guard < 1000; ++guard) {
        QString token = QStringLiteral("?");
        const XmlToken kind = cutter.getToken(token);
        cuts.push_back({ kind, token });
        if (kind == XmlToken::EndOfText)
            break;
    }
    return cuts;
}

struct CutCase {
    const char* name;
    QString text;
    std::vector<Cut> expected;
};

class XmlTokenSequence : public ::testing::TestWithParam<CutCase> { };

TEST_P(XmlTokenSequence, CutsTheExpectedTokens)
{
    EXPECT_EQ(cutAll(GetParam().text), GetParam().expected);
}

const Cut kEnd { XmlToken::EndOfText, QStringLiteral("?") };

INSTANTIATE_TEST_SUITE_P(xmlTC, XmlTokenSequence,
    ::testing::Values(CutCase { "empty", QString(), { kEnd } },
        CutCase { "plainText", "abc", { { XmlToken::CharData, "abc" }, kEnd } },
        CutCase { "leadingBlanksAreEmptyCharData", "  \r\n<a>",
            { { XmlToken::CharData, "" }, { XmlToken::StartTag, "a" }, kEnd } },
        CutCase { "blanksAfterTagsVanish", "<a>  \t\r\n　x  </a>",
            { { XmlToken::StartTag, "a" }, { XmlToken::CharData, "x" }, { XmlToken::EndTag, "a" },
                kEnd } },
        CutCase { "emptyTags", "<a/><a /><b>",
            { { XmlToken::EmptyTag, "a" }, { XmlToken::EmptyTag, "a" }, { XmlToken::StartTag, "b" },
                kEnd } },
        CutCase { "endTagWithBlank", "</a >", { { XmlToken::EndTag, "a" }, kEnd } },
        CutCase { "endTagWithJunk", "</a b>",
            { { XmlToken::BadTag, "a" }, { XmlToken::CharData, "b>" }, kEnd } },
        CutCase { "blankAfterLessThan", "< a>",
            { { XmlToken::BadTag, "?" }, { XmlToken::CharData, "a>" }, kEnd } },
        CutCase { "endTagWithoutName", "</>x",
            { { XmlToken::BadTag, "?" }, { XmlToken::CharData, ">x" }, kEnd } },
        CutCase { "strayLessThanAtEnd", "ab<",
            { { XmlToken::CharData, "ab" }, { XmlToken::BadTag, "?" }, kEnd } },
        CutCase {
            "nameCharacters", "<x:a-b.c_9 q='1'>", { { XmlToken::StartTag, "x:a-b.c_9" }, kEnd } },
        CutCase { "nameCannotStartWithDigit", "<9a>",
            { { XmlToken::BadTag, "?" }, { XmlToken::CharData, "9a>" }, kEnd } },
        CutCase { "japaneseNames", "<氏名>山田　太郎</氏名>",
            { { XmlToken::StartTag, "氏名" }, { XmlToken::CharData, "山田　太郎" },
                { XmlToken::EndTag, "氏名" }, kEnd } },
        CutCase { "declarationTrimmedAtEndsOnly", "<?xml  version=\"1.0\"  encoding=\"x\" ?>",
            { { XmlToken::XmlDecl, "version=\"1.0\"  encoding=\"x\"" }, kEnd } },
        CutCase { "emptyDeclaration", "<?xml?><a>",
            { { XmlToken::XmlDecl, "" }, { XmlToken::StartTag, "a" }, kEnd } },
        CutCase { "unclosedDeclarationEndsTheText", "<?xml version='1'<a></a>", { kEnd } },
        CutCase {
            "processingInstructionSkipped", "<?pi x?><a>", { { XmlToken::StartTag, "a" }, kEnd } },
        CutCase { "xmlPrefixCountsAsDeclaration", "<?xmlfoo bar?>",
            { { XmlToken::XmlDecl, "foo bar" }, kEnd } },
        CutCase {
            "nestedComments", "<!-- x <!-- y --> z --><a>", { { XmlToken::StartTag, "a" }, kEnd } },
        CutCase { "shortestComment", "<!---><a>", { { XmlToken::StartTag, "a" }, kEnd } },
        CutCase { "unclosedCommentRunsToEnd", "<!-- x <a></a>", { kEnd } },
        CutCase { "doctypeWithSubset",
            "<!DOCTYPE r [<!ELEMENT r (#PCDATA)><!ATTLIST r a CDATA \"x>y\">]><r>",
            { { XmlToken::Declaration,
                  "DOCTYPE r [<!ELEMENT r (#PCDATA)><!ATTLIST r a CDATA \"x>y\">]" },
                { XmlToken::StartTag, "r" }, kEnd } },
        CutCase { "entitiesStayAsWritten", "<a>&amp;&#x41;</a>",
            { { XmlToken::StartTag, "a" }, { XmlToken::CharData, "&amp;&#x41;" },
                { XmlToken::EndTag, "a" }, kEnd } },
        CutCase { "unclosedStartTag", "<a x=\"1\"", { { XmlToken::StartTag, "a" }, kEnd } }),
    [](const auto& testCase) { return testCase.param.name; });

struct AttributeCase {
    QString tag;
    QString attribut;
    QString value;
};

TEST(xmlTC, KeepsOnlyTheLastAttribute)
{
    const std::vector<AttributeCase> cases {
        { "<a manner=\"v\">", "manner", "v" },
        { "<a x=\"1\" y=\"2\">", "y", "2" },
        { "<a>", "", "" },
        { "<a\r\n  manner = \"vorlix\" />", "manner", "vorlix" },
        { "<a x=\"a=b\">", "x=\"a", "a=b" },
        { "<a x='1'>", "x", "" },
    };
    for (const AttributeCase& c : cases) {
        xmlTC cutter;
        cutter.Text(QStringLiteral("<z p=\"q\">") + c.tag);
        QString token;
        ASSERT_EQ(cutter.getToken(token), XmlToken::StartTag);
        ASSERT_EQ(cutter.Attribut(), "p");
        cutter.getToken(token);
        EXPECT_EQ(cutter.Attribut(), c.attribut) << c.tag.toStdString();
        EXPECT_EQ(cutter.Value(), c.value) << c.tag.toStdString();
    }
}

TEST(xmlTC, SteppingBackReReadsTheSameToken)
{
    const QString text
        = QStringLiteral("<?xml v?>\r\n<!-- c --><?pi?><r a=\"1\"><b>x</b><c/></r >tail< x>");
    xmlTC cutter;
    cutter.Text(text);
    for (int i = 0; i < 20; ++i) {
        QString first;
        const XmlToken kind = cutter.getToken(first);
        const auto after = cutter.Point();
        cutter.Point(cutter.prevPoint());
        QString second;
        EXPECT_EQ(cutter.getToken(second), kind);
        EXPECT_EQ(second, first);
        EXPECT_EQ(cutter.Point(), after);
        if (kind == XmlToken::EndOfText)
            return;
    }
    FAIL() << "no end of text";
}

TEST(xmlTC, PositionsAreOneBasedAndEndStaysPut)
{
    xmlTC cutter;
    cutter.Text(QStringLiteral("<a>b</a>"));
    EXPECT_EQ(cutter.Size(), 8);
    EXPECT_EQ(cutter.Point(), 1);
    QString token;
    cutter.getToken(token);
    EXPECT_EQ(cutter.prevPoint(), 1);
    EXPECT_EQ(cutter.Point(), 4);
    cutter.getToken(token);
    cutter.getToken(token);
    EXPECT_EQ(cutter.prevPoint(), 5);
    EXPECT_EQ(cutter.Point(), 9);
    EXPECT_EQ(cutter.getToken(token), XmlToken::EndOfText);
    EXPECT_EQ(cutter.getToken(token), XmlToken::EndOfText);
    EXPECT_EQ(cutter.Point(), 9);
    cutter.Refresh();
    EXPECT_EQ(cutter.Size(), 0);
    EXPECT_EQ(cutter.getToken(token), XmlToken::EndOfText);
}

TEST(xmlTC, DeepNestingAndGarbageEndWithoutRecursion)
{
    const std::vector<QString> texts {
        QStringLiteral("<a ") + QString(200000, QLatin1Char('<')),
        QStringLiteral("<a ") + QString(100000, QLatin1Char('[')),
        QStringLiteral("<a x=\"")
            + QString(50000, QLatin1Char('"')).replace(QLatin1Char('"'), "\"<"),
        QString(30000, QLatin1Char(' ')).replace(QLatin1Char(' '), "<!--"),
    };
    for (const QString& text : texts) {
        const auto cuts = cutAll(text);
        ASSERT_FALSE(cuts.empty());
        EXPECT_EQ(cuts.back().kind, XmlToken::EndOfText);
    }
}

}

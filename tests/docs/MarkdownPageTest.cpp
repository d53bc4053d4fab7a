#include "tests/docs/MarkdownPage.h"

#include <gtest/gtest.h>

namespace {

using vorlix::test::MarkdownPage;

const QString Page = QStringLiteral("# Title\n"
                                    "<a id=\"cmd-h\"></a>\n"
                                    "### `h` line\n"
                                    "<!-- example: commands/h.fae -->\n"
                                    "```\n"
                                    "h,1,2,3;\n"
                                    "```\n"
                                    "![h](examples/commands/h.png) and [next](#cmd-v)\n"
                                    "```\n"
                                    "<!-- example: not/a/quote.fae -->\n"
                                    "# not a heading ![x](not-a-link.png)\n"
                                    "```\n"
                                    "<a id=\"cmd-v\"></a>\n"
                                    "### `v` line\n"
                                    "<!-- example: commands/v.fae -->\n"
                                    "no block here\n"
                                    "<!-- index:begin -->\nold\n<!-- index:end -->\n");

TEST(MarkdownPage, FindsQuotesWithTheirBlocksOutsideFences)
{
    const auto quotes = MarkdownPage(Page).quotes();
    ASSERT_EQ(quotes.size(), 2);
    EXPECT_EQ(quotes[0].example, QStringLiteral("commands/h.fae"));
    EXPECT_TRUE(quotes[0].hasBlock);
    EXPECT_EQ(quotes[0].block, QStringLiteral("h,1,2,3;"));
    EXPECT_EQ(quotes[0].line, 4);
    EXPECT_EQ(quotes[1].example, QStringLiteral("commands/v.fae"));
    EXPECT_FALSE(quotes[1].hasBlock);
}

TEST(MarkdownPage, LinksHeadingsAndAnchorsIgnoreFencedText)
{
    const MarkdownPage page(Page);
    EXPECT_EQ(page.links(),
        QStringList({ QStringLiteral("examples/commands/h.png"), QStringLiteral("#cmd-v") }));
    EXPECT_EQ(page.headings(),
        QStringList(
            { QStringLiteral("Title"), QStringLiteral("`h` line"), QStringLiteral("`v` line") }));
    EXPECT_EQ(page.anchors(), QStringList({ QStringLiteral("cmd-h"), QStringLiteral("cmd-v") }));
}

TEST(MarkdownPage, SectionRunsToTheNextAnchorOfItsKind)
{
    const MarkdownPage page(Page);
    const QString h = page.section(QStringLiteral("cmd-h"));
    EXPECT_TRUE(h.contains(QStringLiteral("### `h` line")));
    EXPECT_FALSE(h.contains(QStringLiteral("### `v` line")));
    EXPECT_TRUE(page.section(QStringLiteral("cmd-v")).contains(QStringLiteral("index:end")));
    EXPECT_TRUE(page.section(QStringLiteral("cmd-zz")).isEmpty());
}

TEST(MarkdownPage, RewritesQuotesAndGeneratedParts)
{
    MarkdownPage page(Page);
    EXPECT_EQ(page.generated(QStringLiteral("index")), QStringLiteral("old\n"));
    EXPECT_TRUE(page.generated(QStringLiteral("missing")).isNull());
    ASSERT_TRUE(page.setGenerated(QStringLiteral("index"), QStringLiteral("new\nrows\n")));
    EXPECT_EQ(page.generated(QStringLiteral("index")), QStringLiteral("new\nrows\n"));
    EXPECT_FALSE(page.setGenerated(QStringLiteral("missing"), QStringLiteral("x")));

    ASSERT_TRUE(
        page.setQuote(QStringLiteral("commands/h.fae"), QStringLiteral("h,4,5,6;\nv,1,1,1;")));
    EXPECT_EQ(page.quotes()[0].block, QStringLiteral("h,4,5,6;\nv,1,1,1;"));
    // The text after the block is untouched, and a quote without a block cannot be rewritten.
    EXPECT_TRUE(page.text().contains(QStringLiteral("![h](examples/commands/h.png)")));
    EXPECT_FALSE(page.setQuote(QStringLiteral("commands/v.fae"), QStringLiteral("x")));
}

}

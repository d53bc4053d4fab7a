#include "lang/CommandList.h"
#include "tests/docs/CommandIndex.h"
#include "tests/docs/DocsFolder.h"
#include "tests/docs/DocsUpdate.h"
#include "tests/docs/MarkdownPage.h"

#include <QFileInfo>
#include <QSet>
#include <gtest/gtest.h>
#include <string_view>

namespace {

using namespace vorlix;
using test::DocsFolder;
using test::MarkdownPage;

const QString Reference = QStringLiteral("face-language.md");
const QString JapaneseTutorial = QStringLiteral("tutorial.ja.md");

QString pagePath(const QString& page)
{
    return DocsFolder::root() + u'/' + page;
}

// The example of a command: commands/<word>.fae, or .mnd for the words the merge reads.
QString commandExample(const QString& word)
{
    const QString face = QStringLiteral("commands/%1.fae").arg(word);
    const QString document = QStringLiteral("commands/%1.mnd").arg(word);
    return QFileInfo::exists(DocsFolder::examplePath(document)) ? document : face;
}

TEST(CommandList, EveryWordOnceWithItsArgumentsAndSummaries)
{
    ASSERT_EQ(std::size(lang::CommandInfos), static_cast<std::size_t>(lang::CommandCount));
    ASSERT_EQ(lang::CommandCount, 58);
    QSet<QString> words;
    for (int i = 0; i < lang::CommandCount; ++i) {
        const auto& info = lang::CommandInfos[i];
        SCOPED_TRACE(info.word);
        EXPECT_EQ(static_cast<int>(info.command), i);
        EXPECT_EQ(std::string_view(info.word), std::string_view(lang::CommandWords[i]));
        EXPECT_FALSE(words.contains(QString::fromUtf8(info.word))) << "word listed twice";
        words << QString::fromUtf8(info.word);
        EXPECT_GT(std::string_view(info.summary).size(), 10u);
        EXPECT_GT(QString::fromUtf8(info.summaryJa).size(), 4);
        // Arguments are written as in a statement: no blanks, no statement end.
        EXPECT_FALSE(
            std::string_view(info.arguments).find_first_of(" ;") != std::string_view::npos);
    }
}

TEST(CommandList, LookupIsExactAndCaseSensitive)
{
    const auto* circle = lang::findCommandInfo("r");
    ASSERT_NE(circle, nullptr);
    EXPECT_EQ(circle->command, lang::Command::R);
    EXPECT_EQ(std::string_view(circle->arguments), "x,y,radius");
    EXPECT_EQ(lang::findCommandInfo("R"), nullptr);
    EXPECT_EQ(lang::findCommandInfo("ap "), nullptr);
    EXPECT_EQ(lang::findCommandInfo(""), nullptr);
    EXPECT_EQ(lang::findCommandInfo("apm")->family, lang::CommandFamily::Axis);
    EXPECT_EQ(lang::findCommandInfo("end")->family, lang::CommandFamily::Structure);
}

// Each command has a section of its own in the reference: an anchor, a heading naming the word,
// the statement form with the arguments of the command list, and its example with the picture.
TEST(CommandReference, EveryWordHasItsSectionAndExample)
{
    const MarkdownPage page = MarkdownPage::load(pagePath(Reference));
    ASSERT_FALSE(page.text().isEmpty());
    for (const auto& info : lang::CommandInfos) {
        const QString word = QString::fromUtf8(info.word);
        SCOPED_TRACE(info.word);
        const QString section = page.section(QStringLiteral("cmd-") + word);
        ASSERT_FALSE(section.isEmpty()) << "no <a id=\"cmd-" << info.word << "\"> section";
        EXPECT_TRUE(section.contains(QStringLiteral("\n### `%1`").arg(word)));
        const QString arguments = QString::fromUtf8(info.arguments);
        const QString form = arguments.isEmpty() ? word + u';' : word + u',' + arguments + u';';
        EXPECT_TRUE(section.contains(u'`' + form + u'`'))
            << "statement form " << form.toStdString();
        const QString example = commandExample(word);
        EXPECT_TRUE(QFileInfo::exists(DocsFolder::examplePath(example))) << example.toStdString();
        EXPECT_TRUE(section.contains(QStringLiteral("<!-- example: %1 -->").arg(example)));
        EXPECT_TRUE(
            section.contains(QStringLiteral("(examples/%1)").arg(DocsFolder::pictureOf(example))));
    }
}

TEST(CommandReference, NoSectionForAWordThatIsNoCommand)
{
    const MarkdownPage page = MarkdownPage::load(pagePath(Reference));
    for (const QString& anchor : page.anchors()) {
        if (!anchor.startsWith(QStringLiteral("cmd-")))
            continue;
        EXPECT_NE(lang::findCommandInfo(anchor.mid(4).toStdString()), nullptr)
            << anchor.toStdString();
    }
}

// The index tables are made from the command list; a changed summary shows in the manual.
TEST(CommandReference, IndexesAreMadeFromTheCommandList)
{
    const struct {
        QString page;
        QString part;
        QString expected;
    } indexes[] = {
        { Reference, QStringLiteral("command-index"), test::CommandIndex::english() },
        { JapaneseTutorial, QStringLiteral("command-index-ja"), test::CommandIndex::japanese() },
    };
    for (const auto& index : indexes) {
        MarkdownPage page = MarkdownPage::load(pagePath(index.page));
        if (test::regeneratingDocs()) {
            ASSERT_TRUE(page.setGenerated(index.part, index.expected)) << index.page.toStdString();
            ASSERT_TRUE(test::writeText(pagePath(index.page), page.text()));
            continue;
        }
        const QString current = page.generated(index.part);
        ASSERT_FALSE(current.isNull())
            << "no " << index.part.toStdString() << " in " << index.page.toStdString();
        EXPECT_EQ(current.toStdString(), index.expected.toStdString());
    }
}

TEST(CommandIndex, ListsEveryWordOnceUnderItsFamily)
{
    const QString english = test::CommandIndex::english();
    for (const auto& info : lang::CommandInfos) {
        const QString cell
            = QStringLiteral("| [`%1`](#cmd-%1) |").arg(QString::fromUtf8(info.word));
        EXPECT_EQ(english.count(cell), 1) << info.word;
    }
    // The families come in a fixed order: drawing first, the structure words last.
    EXPECT_LT(english.indexOf(QStringLiteral("(#cmd-h)")), english.indexOf("(#cmd-as)"));
    EXPECT_LT(english.indexOf(QStringLiteral("(#cmd-gra)")), english.indexOf("(#cmd-end)"));
    EXPECT_TRUE(test::CommandIndex::japanese().contains(
        QStringLiteral("| [`nc`](face-language.md#cmd-nc) | — | クリップを解除する |")));
}

}

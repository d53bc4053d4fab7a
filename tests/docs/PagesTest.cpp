#include "tests/docs/DocsFolder.h"
#include "tests/docs/DocsUpdate.h"
#include "tests/docs/MarkdownPage.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

using vorlix::test::DocsFolder;
using vorlix::test::MarkdownPage;

QString pagePath(const QString& page)
{
    return DocsFolder::root() + u'/' + page;
}

// The text a page quotes for an example: the file without its final line end.
QString quotedText(const QString& example)
{
    QString text = vorlix::test::readText(DocsFolder::examplePath(example));
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text;
}

// Every quoted example is the file itself, letter for letter.
TEST(ManualPages, QuoteTheirExamplesExactly)
{
    ASSERT_FALSE(DocsFolder::pages().isEmpty());
    for (const QString& name : DocsFolder::pages()) {
        MarkdownPage page = MarkdownPage::load(pagePath(name));
        bool changed = false;
        for (const auto& quote : page.quotes()) {
            SCOPED_TRACE(name.toStdString() + ":" + std::to_string(quote.line));
            const QString file = DocsFolder::examplePath(quote.example);
            ASSERT_TRUE(QFileInfo::exists(file)) << "no example " << quote.example.toStdString();
            ASSERT_TRUE(quote.hasBlock) << "the marker must be followed by a fenced block";
            if (vorlix::test::regeneratingDocs()) {
                changed |= quote.block != quotedText(quote.example)
                    && page.setQuote(quote.example, quotedText(quote.example));
                continue;
            }
            EXPECT_EQ(quote.block.toStdString(), quotedText(quote.example).toStdString())
                << "the page quotes an old version of " << quote.example.toStdString();
        }
        if (changed) {
            ASSERT_TRUE(vorlix::test::writeText(pagePath(name), page.text()));
        }
    }
}

// No example lies unused, and every rendered example shows its picture somewhere.
TEST(ManualPages, ShowEveryExampleAndPicture)
{
    QSet<QString> quoted;
    QSet<QString> linked;
    for (const QString& name : DocsFolder::pages()) {
        const MarkdownPage page = MarkdownPage::load(pagePath(name));
        for (const auto& quote : page.quotes())
            quoted << quote.example;
        const QString folder = QFileInfo(pagePath(name)).absolutePath();
        for (const QString& link : page.links())
            linked << QDir::cleanPath(folder + u'/' + link.section(u'#', 0, 0));
    }
    for (const QString& file : DocsFolder::exampleFiles())
        EXPECT_TRUE(quoted.contains(file)) << file.toStdString() << " is quoted by no page";
    for (const QString& example : DocsFolder::renderedExamples()) {
        const QString picture
            = QDir::cleanPath(DocsFolder::examplePath(DocsFolder::pictureOf(example)));
        EXPECT_TRUE(linked.contains(picture)) << example.toStdString() << " shows no picture";
    }
}

// Links between the pages, to examples and pictures, and to the repository reach something, and
// a link to a place in a page names an anchor that page has.
TEST(ManualPages, LinksReachTheirTargets)
{
    QStringList paths;
    QMap<QString, QSet<QString>> anchors;
    for (const QString& name : DocsFolder::pages()) {
        const QString path = QDir::cleanPath(pagePath(name));
        const auto ids = MarkdownPage::load(path).anchors();
        anchors[path] = QSet<QString>(ids.begin(), ids.end());
        paths << path;
    }
    const QString readme = qEnvironmentVariable("VORLIX_SOURCE_DIR") + "/README.md";
    paths << readme;
    for (const QString& path : paths) {
        const MarkdownPage page = MarkdownPage::load(path);
        const QString folder = QFileInfo(path).absolutePath();
        for (const QString& link : page.links()) {
            if (link.contains(QStringLiteral("://")) || link.startsWith(QStringLiteral("mailto:")))
                continue;
            SCOPED_TRACE(path.toStdString() + " -> " + link.toStdString());
            const QString file = link.section(u'#', 0, 0);
            const QString target = file.isEmpty() ? path : QDir::cleanPath(folder + u'/' + file);
            EXPECT_TRUE(QFileInfo::exists(target)) << "missing target";
            const QString fragment = link.section(u'#', 1);
            if (fragment.isEmpty() || !target.endsWith(QStringLiteral(".md")) || target == readme)
                continue;
            EXPECT_TRUE(anchors.value(target).contains(fragment)) << "missing anchor";
        }
    }
}

TEST(ManualPages, ReadmeLeadsToTheTutorialAndTheReference)
{
    const MarkdownPage readme
        = MarkdownPage::load(qEnvironmentVariable("VORLIX_SOURCE_DIR") + "/README.md");
    const QStringList links = readme.links();
    for (const char* page : { "docs/tutorial.md", "docs/tutorial.ja.md", "docs/face-language.md",
             "docs/data-documents.md", "docs/command-line.md" })
        EXPECT_TRUE(links.contains(QString::fromUtf8(page))) << page;
}

}

// The tutorial's finished form ships as a sample, the very files the tutorial draws.
TEST(ManualPages, TutorialFormIsTheSample)
{
    const QString samples = qEnvironmentVariable("VORLIX_SOURCE_DIR") + "/samples/";
    for (const char* name : { "nouhinsho.fae", "nouhinsho.mnd", "logo.png" }) {
        const QByteArray sample = vorlix::test::readFileBytes(samples + name);
        ASSERT_FALSE(sample.isEmpty()) << name;
        EXPECT_EQ(sample,
            vorlix::test::readFileBytes(
                DocsFolder::examplePath(QStringLiteral("tutorial/") + QString::fromUtf8(name))))
            << name << " differs between samples/ and docs/examples/tutorial/";
    }
}

#include "tests/docs/DocsFolder.h"
#include "tests/docs/DocsUpdate.h"
#include "tests/docs/ExampleRun.h"
#include "tests/docs/PagePicture.h"

#include <QFileInfo>
#include <gtest/gtest.h>
#include <ostream>

// Example names in test listings and failures as text, not as bytes.
void PrintTo(const QString& text, std::ostream* out)
{
    *out << text.toStdString();
}

namespace {

using vorlix::test::DocsFolder;
using vorlix::test::ExampleRun;
using vorlix::test::PagePicture;

std::string testName(const ::testing::TestParamInfo<QString>& info)
{
    std::string name;
    for (const QChar c : info.param)
        name += c.isLetterOrNumber() && c.unicode() < 128 ? static_cast<char>(c.unicode()) : '_';
    return name;
}

// Every example of the manual, rendered as a user would render it and compared with the picture
// the manual shows.
class RenderedExample : public ::testing::TestWithParam<QString> {
protected:
    QString example() const { return GetParam(); }
    QString path(const QString& relative) const { return DocsFolder::examplePath(relative); }

    void expectPicture(const PagePicture& picture)
    {
        const QString golden = path(DocsFolder::pictureOf(example()));
        if (vorlix::test::regeneratingDocs()) {
            ASSERT_TRUE(picture.save(golden)) << golden.toStdString();
            return;
        }
        const PagePicture committed = PagePicture::load(golden);
        ASSERT_FALSE(committed.isNull())
            << "no picture " << golden.toStdString() << "; run scripts/update-docs";
        EXPECT_EQ(picture.crop(), committed.crop()) << "the drawing moved on the page";
        const qsizetype differing = picture.differingPixels(committed);
        ASSERT_GE(differing, 0) << "picture size changed";
        EXPECT_LE(differing, picture.tolerance()) << "the drawing changed";
    }

    void expectMergedText(const ExampleRun& run)
    {
        if (!example().endsWith(QStringLiteral(".mnd")) || DocsFolder::showsError(example()))
            return;
        const QString file = path(DocsFolder::mergedTextOf(example()));
        ASSERT_FALSE(run.mergedText().isEmpty()) << run.errors().toStdString();
        if (vorlix::test::regeneratingDocs()) {
            ASSERT_TRUE(vorlix::test::writeText(file, run.mergedText()));
            return;
        }
        EXPECT_EQ(run.mergedText().toStdString(), vorlix::test::readText(file).toStdString())
            << "the merge writes another text than the manual shows";
    }
};

TEST_P(RenderedExample, RendersAsTheManualShows)
{
    const ExampleRun run(path(example()));
    ASSERT_TRUE(run.toolFailure().isEmpty()) << run.toolFailure().toStdString();
    if (DocsFolder::showsError(example()))
        EXPECT_TRUE(run.reportedProblems()) << "the example is meant to show a failure";
    else
        EXPECT_FALSE(run.reportedProblems()) << run.errors().toStdString();
    ASSERT_FALSE(run.pages().isEmpty()) << run.errors().toStdString();
    expectMergedText(run);
    expectPicture(PagePicture::fromPages(run.pages()));
}

INSTANTIATE_TEST_SUITE_P(
    Docs, RenderedExample, ::testing::ValuesIn(DocsFolder::renderedExamples().toList()), testName);

}

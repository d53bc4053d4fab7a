#include "RenderTestSupport.h"

#include "render/PdfFont.h"
#include "render/PdfFontRegistry.h"
#include "render/PdfTextShaper.h"

#include <future>

using namespace vorlix;
using namespace vorlix::render;

namespace {

LogFont described(int height, const QString& face = test::mincho)
{
    LogFont font;
    font.lfHeight = height;
    font.lfFaceName = face;
    return font;
}

// What the shaper gives a thread that has shaped nothing before.
PdfTextShaper::Shaped shapedAlone(PdfFontRegistry& fonts, const LogFont& font, const QString& text)
{
    return std::async(std::launch::async, [&] {
        return PdfTextShaper::Shaped(PdfTextShaper::shape(fonts, font, text));
    }).get();
}

void expectSameLayout(
    const PdfTextShaper::Shaped& actual, const PdfTextShaper::Shaped& expected, const QString& text)
{
    SCOPED_TRACE(text.toStdString());
    EXPECT_DOUBLE_EQ(actual.width, expected.width);
    ASSERT_EQ(actual.runs.size(), expected.runs.size());
    for (std::size_t i = 0; i < actual.runs.size(); ++i) {
        EXPECT_EQ(actual.runs[i].font, expected.runs[i].font);
        EXPECT_DOUBLE_EQ(actual.runs[i].pixelSize, expected.runs[i].pixelSize);
        EXPECT_EQ(actual.runs[i].glyphs, expected.runs[i].glyphs);
        EXPECT_EQ(actual.runs[i].positions, expected.runs[i].positions);
        EXPECT_EQ(actual.runs[i].texts, expected.runs[i].texts);
    }
}

// The same text in fonts that differ in one field, or in the registry of another document,
// is never served from another's entry: a run's font belongs to the registry that asked.
TEST(PdfTextShaper, EachFontAndDocumentKeepsItsOwnLayouts)
{
    PdfFontRegistry first;
    PdfFontRegistry second;
    const QString text = QStringLiteral("請求書 No.12");
    const LogFont small = described(40);
    LogFont bold = small;
    bold.lfWeight = 700;
    const LogFont gothic = described(40, QStringLiteral("ＭＳ ゴシック"));
    for (const LogFont& font : { small, described(80), bold, gothic }) {
        expectSameLayout(PdfTextShaper::shape(first, font, text), shapedAlone(first, font, text),
            font.lfFaceName);
    }
    EXPECT_GT(PdfTextShaper::shape(first, described(80), text).width,
        PdfTextShaper::shape(first, small, text).width);
    const PdfTextShaper::Shaped inFirst = PdfTextShaper::shape(first, small, text);
    const PdfTextShaper::Shaped inSecond = PdfTextShaper::shape(second, small, text);
    ASSERT_FALSE(inFirst.runs.empty());
    ASSERT_FALSE(inSecond.runs.empty());
    EXPECT_NE(inFirst.runs.front().font, inSecond.runs.front().font);
}

// A long run of one-off texts (names, amounts) ages the cache several times over; a caption
// shaped between them, and one shaped only at the start, still come back as laid out alone.
TEST(PdfTextShaper, CaptionsOutlastTheOneOffTexts)
{
    PdfFontRegistry fonts;
    const LogFont font = described(50);
    const QString caption = QStringLiteral("御請求金額");
    const QString early = QStringLiteral("株式会社 見本商事");
    const PdfTextShaper::Shaped captionAlone = shapedAlone(fonts, font, caption);
    const PdfTextShaper::Shaped earlyAlone = shapedAlone(fonts, font, early);
    (void)PdfTextShaper::shape(fonts, font, early);
    for (int i = 0; i < 5000; ++i) {
        const QString amount = QStringLiteral("¥%1").arg(i * 137);
        const PdfTextShaper::Shaped& shaped = PdfTextShaper::shape(fonts, font, amount);
        ASSERT_FALSE(shaped.runs.empty()) << i;
        EXPECT_EQ(shaped.runs.front().glyphs.size(), static_cast<std::size_t>(amount.size()));
        if (i % 100 == 0)
            expectSameLayout(PdfTextShaper::shape(fonts, font, caption), captionAlone, caption);
        if (i == 1500)
            expectSameLayout(PdfTextShaper::shape(fonts, font, early), earlyAlone, early);
    }
    expectSameLayout(PdfTextShaper::shape(fonts, font, early), earlyAlone, early);
}

// A script that no installed face covers (Gujarati here) comes out of Qt's layout in a font
// without tables or name: such glyphs are drawn as the boxes the screen shows, not embedded, and
// the text around them keeps its font.
TEST(PdfTextShaper, GlyphsNoFaceHasAreDrawnAsBoxes)
{
    PdfFontRegistry fonts;
    const QString text = QStringLiteral("a\u0AB8\u0AB8b");
    const PdfTextShaper::Shaped& shaped = PdfTextShaper::shape(fonts, described(50), text);
    std::size_t boxed = 0;
    std::size_t embedded = 0;
    for (const PdfTextShaper::Run& run : shaped.runs) {
        if (run.font) {
            embedded += run.glyphs.size();
        } else {
            EXPECT_FALSE(run.outline.isEmpty());
            boxed += 1;
        }
    }
    EXPECT_EQ(embedded, 2U);
    EXPECT_EQ(boxed, 1U);
}

}

#include "shell/Common.h"
#include "shell/CurrentPrinter.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace vorlix::shell;

namespace {

TEST(CommonTest, PaperSizeCodeOfNamesAndNumbers)
{
    const std::pair<const char*, std::int32_t> cases[] = {
        { "letter", 1 },
        { "LETTER", 1 },
        { "a3", 8 },
        { "a4", 9 },
        { "A4s", 10 },
        { "a5", 11 },
        { "b4", 12 },
        { "b5", 13 },
        { "10x14", 16 },
        { "11X17", 17 },
        { "15x11", 39 },
        { "user", 256 },
        { "70", 70 },
        { "12345", 1234 },
        { "x", 9 },
        { "", 9 },
        { "0", 9 },
        { "-5", 9 },
        { " 13", 13 },
        { "2.5", 2 },
        { "a4 ", 9 },
        { "B6", 9 },
    };
    for (const auto& [name, code] : cases)
        EXPECT_EQ(PaperSizeCode(QString::fromUtf8(name)), code) << '"' << name << '"';
}

TEST(CommonTest, PaperTableCoversCodesOneToFortyOneOnce)
{
    QSet<std::int32_t> codes;
    for (const PaperSize& size : kPaperSizes) {
        EXPECT_GT(size.width, 0);
        EXPECT_GT(size.height, 0);
        codes.insert(size.code);
    }
    EXPECT_EQ(codes.size(), 41);
    for (std::int32_t code = 1; code <= 41; ++code)
        EXPECT_TRUE(codes.contains(code)) << code;
    for (const PaperName& name : kPaperNames)
        EXPECT_EQ(PaperSizeCode(QString::fromUtf16(name.name).toLower()), name.code);
}

TEST(CommonTest, PaperExtentFromTheTable)
{
    struct Case {
        int axis;
        std::int32_t code;
        int orientation;
        std::int32_t extent;
    };
    const Case cases[] = {
        { 1, 9, 1, 2100 },
        { 2, 9, 1, 2970 },
        { 1, 9, 2, 2970 },
        { 2, 9, 0, 2100 },
        { 2, 35, 1, 1250 },
        { 1, 35, 1, 1760 },
        { 1, 7, 1, 1905 },
        { 1, 19, 1, 984 },
        { 1, 20, 1, 1048 },
        { 1, 38, 1, 921 },
        { 1, 39, 1, 3778 },
        { 0, 1, 1, 2794 },
        { 1, 41, 1, 2159 },
        { 2, 26, 1, 11176 },
        { 1, 4, 2, 2794 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(PaperExtent(c.axis, c.code, c.orientation), c.extent)
            << "axis " << c.axis << " code " << c.code << " orientation " << c.orientation;
}

class FixedPrinter final : public CurrentPrinter {
public:
    FixedPrinter(double w, double h)
        : m_w(w)
        , m_h(h)
    {
    }
    double pageWidthTwips() const override { return m_w; }
    double pageHeightTwips() const override { return m_h; }

private:
    double m_w;
    double m_h;
};

TEST(CommonTest, OtherCodesAskTheCurrentPrinter)
{
    EXPECT_EQ(PaperExtent(1, 256, 1), 2100);
    EXPECT_EQ(PaperExtent(2, 0, 1), 2970);

    // 5.67 twips make a face unit; 2835 / 5.67 = 500 exactly, 2838.5 / 5.67 = 500.6...
    CurrentPrinter::setCurrent(std::make_shared<FixedPrinter>(2835.0, 2838.5));
    EXPECT_EQ(PaperExtent(1, 256, 1), 500);
    EXPECT_EQ(PaperExtent(2, 256, 1), 501);
    EXPECT_EQ(PaperExtent(1, 42, 2), 501);
    EXPECT_EQ(PaperExtent(1, 9, 1), 2100) << "table codes never ask the printer";

    CurrentPrinter::setCurrent(std::make_shared<FixedPrinter>(1e300, -1.0 / 0.0));
    EXPECT_EQ(PaperExtent(1, 256, 1), 0);
    EXPECT_EQ(PaperExtent(2, 256, 1), 0);

    CurrentPrinter::setCurrent(nullptr);
    EXPECT_EQ(PaperExtent(1, 256, 2), 2970);
}

TEST(CommonTest, ToLongAndToIntegerRoundToEvenAndFallBackToTheDefault)
{
    const std::pair<QVariant, std::int32_t> longs[] = {
        { "12", 12 },
        { "abc", 5 },
        { "2.5", 2 },
        { "3.5", 4 },
        { "-2.5", -2 },
        { "2147483647", 2147483647 },
        { "2147483648", 5 },
        { "-2147483649", 5 },
        { "1e10", 5 },
        { "", 5 },
        { " 7 ", 7 },
        { "&H10", 16 },
        { QVariant(), 5 },
        { 42, 42 },
        { 2.5, 2 },
        { 1e300, 5 },
        { true, -1 },
        { false, 0 },
        { QByteArray("400"), 400 },
        { QVariant::fromValue(std::nan("")), 5 },
    };
    for (const auto& [value, expected] : longs)
        EXPECT_EQ(ToLong(value, 5), expected) << value.toString().toStdString();

    const std::pair<QVariant, std::int16_t> integers[] = {
        { "32767", 32767 },
        { "32768", -1 },
        { "-32768.5", -32768 },
        { "0.5", 0 },
        { "1.5", 2 },
        { "x", -1 },
    };
    for (const auto& [value, expected] : integers)
        EXPECT_EQ(ToInteger(value, -1), expected) << value.toString().toStdString();
}

TEST(CommonTest, ToSingleAndToDouble)
{
    EXPECT_FLOAT_EQ(ToSingle("0.4", 1.0f), 0.4f);
    EXPECT_FLOAT_EQ(ToSingle("nope", 0.4f), 0.4f);
    EXPECT_FLOAT_EQ(ToSingle("1e39", 0.4f), 0.4f);
    EXPECT_FLOAT_EQ(ToSingle(-3, 0.0f), -3.0f);
    EXPECT_DOUBLE_EQ(ToDouble("1e39", 0.0), 1e39);
    EXPECT_DOUBLE_EQ(ToDouble(" -1.25 ", 0.0), -1.25);
    EXPECT_DOUBLE_EQ(ToDouble("1,5", 9.0), 9.0);
    EXPECT_DOUBLE_EQ(ToDouble(QVariant(), 9.0), 9.0);
}

TEST(CommonTest, TrimAtNul)
{
    QString buffer = QStringLiteral("abc") + QChar(u'\0') + QString(252, u' ');
    ASSERT_EQ(buffer.size(), 256);
    const std::pair<QString, QString> cases[] = {
        { buffer, "abc" },
        { "  x y  ", "x y" },
        { QString(QChar(u'\0')) + "abc", "" },
        { " a " + QString(QChar(u'\0')) + "b" + QString(QChar(u'\0')), "a" },
        { "", "" },
        { "\tz", "\tz" },
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(TrimAtNul(in), out);
}

TEST(CommonTest, FileExtension)
{
    const std::pair<const char*, const char*> cases[] = { { "ab", "" }, { "a.", "" },
        { "a.fae", "fae" }, { "C:\\x.y\\file", "y\\file" }, { "/x.y/file", "y/file" },
        { "bill.copy.MND", "MND" }, { "noext", "" }, { "end.", "" }, { "..", "" }, { "...", "" } };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(FileExtension(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;
}

TEST(CommonTest, BaseName)
{
    const std::pair<const char*, const char*> cases[] = { { "C:\\forms\\bill.fae", "bill" },
        { "D:bill.fae", "bill" }, { "C:\\forms\\bill.copy.fae", "bill" },
        { "/home/u/forms/bill.copy.fae", "bill" }, { "bill.fae", "bill" }, { "bill", "bill" },
        { "b", "b" }, { "", "" }, { "\"C:\\a\\請求書.mnd\"", "請求書" }, { "\"quoted", "quoted" },
        { "/forms/", "" }, { "C:\\x.y\\file", "file" }, { "./a.b", "a" } };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(BaseName(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;
}

}

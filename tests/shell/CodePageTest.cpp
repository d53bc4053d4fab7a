#include "shell/CodePage.h"

#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QStringDecoder>
#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

using namespace vorlix::shell;

namespace {

// Characters that tell the real Windows Japanese code page from strict Shift_JIS and from a
// careless converter.
TEST(CodePageTest, Cp932RoundTripsTheCharactersWindowsFilesHold)
{
    const struct {
        const char* name; // what the row shows
        QString text;
        QByteArray bytes; // the text in CP932
    } cases[] = {
        { "half-width kana", QStringLiteral("ｱｲｳﾞ"), "\xB1\xB2\xB3\xDE" },
        { "circled one (NEC row 13)", QStringLiteral("①"), "\x87\x40" },
        { "IBM extension", QStringLiteral("髙"), "\xFB\xFC" },
        { "wave dash as full-width tilde", QString(QChar(0xFF5E)), "\x81\x60" },
        { "0x5C is a backslash", QStringLiteral("C:\\x"), "C:\\x" },
        { "kanji", QStringLiteral("請求書"), "\x90\xBF\x8B\x81\x8F\x91" },
        { "control bytes stay", QString::fromLatin1("\x1A\x1C\x7F"), "\x1A\x1C\x7F" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bool ok = false;
        EXPECT_EQ(toCp932(c.text, &ok), c.bytes);
        EXPECT_TRUE(ok);
        EXPECT_EQ(fromCp932(c.bytes), c.text);
        EXPECT_TRUE(fitsCp932(c.text));
    }
}

TEST(CodePageTest, InvalidCp932BytesBecomeReplacementCharactersAndDecodingGoesOn)
{
    EXPECT_EQ(fromCp932(QByteArray("a\x80"
                                   "b",
                  3)),
        QString("a") + QChar(0xFFFD) + "b");
    EXPECT_EQ(fromCp932(QByteArray("x\x82", 2)), QString("x") + QChar(0xFFFD));
    EXPECT_EQ(fromCp932(QByteArray("\xA0z", 2)), QString(QChar(0xFFFD)) + "z");
    // A lead byte without its trail byte must not take the line end with it.
    EXPECT_EQ(fromCp932(QByteArray("\x82\r\nA", 4)), QString(QChar(0xFFFD)) + "\r\nA");
    EXPECT_EQ(fromCp932(QByteArray("\x82 ,", 3)), QString(QChar(0xFFFD)) + " ,");
    EXPECT_EQ(fromCp932(QByteArray("\x85\x40|", 3)), QString(QChar(0xFFFD)) + "|");
}

TEST(CodePageTest, DecodingRecognisesUtf8OnlyWhenItIsThere)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        QString text;
        TextEncoding encoding;
    };
    const Case cases[] = {
        { "UTF-8 with BOM", "\xEF\xBB\xBF" + QStringLiteral("受取人").toUtf8(),
            QStringLiteral("受取人"), TextEncoding::Utf8Bom },
        { "UTF-8 without BOM", QStringLiteral("受取人").toUtf8(), QStringLiteral("受取人"),
            TextEncoding::Utf8 },
        { "BOM alone", "\xEF\xBB\xBF", QString(), TextEncoding::Utf8Bom },
        { "plain ASCII counts as CP932", "abc", QStringLiteral("abc"), TextEncoding::Cp932 },
        { "CP932 kanji", toCp932(QStringLiteral("受取人")), QStringLiteral("受取人"),
            TextEncoding::Cp932 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DecodedText d = decodeText(c.bytes);
        EXPECT_EQ(d.text, c.text);
        EXPECT_EQ(d.encoding, c.encoding);
    }
}

// Documents of many megabytes are decoded a piece at a time; characters of one to four bytes
// that straddle any piece border, and marks inside the text, come back whole, and one bad byte
// far into the text still makes it CP932.
TEST(CodePageTest, LongUtf8DecodesWholeAcrossPieces)
{
    const QString unit = QStringLiteral("a請𠮷\uFEFFé");
    QString text;
    while (text.size() < 3 * 1024 * 1024)
        text += unit;
    for (const int shift : { 0, 1, 2, 3 }) {
        const QString shifted = QString(shift, QLatin1Char('x')) + text;
        const DecodedText d = decodeText(shifted.toUtf8());
        ASSERT_EQ(d.encoding, TextEncoding::Utf8) << shift;
        EXPECT_TRUE(d.text == shifted) << shift;
        EXPECT_EQ(decodeAs(shifted.toUtf8(), TextEncoding::Utf8).size(), shifted.size());
    }
    QByteArray broken = text.toUtf8();
    broken[broken.size() - 100] = char(0xFF);
    EXPECT_EQ(decodeText(broken).encoding, TextEncoding::Cp932);
}

TEST(CodePageTest, EncodingFallsBackToUtf8OnlyWhenCp932CannotHoldTheText)
{
    TextEncoding used = TextEncoding::Cp932;
    EXPECT_EQ(encodeNewText(QStringLiteral("髙①"), &used), QByteArray("\xFB\xFC\x87\x40"));
    EXPECT_EQ(used, TextEncoding::Cp932);

    const QString korean = QStringLiteral("受取人 한국");
    EXPECT_FALSE(fitsCp932(korean));
    EXPECT_EQ(encodeNewText(korean, &used), korean.toUtf8());
    EXPECT_EQ(used, TextEncoding::Utf8);

    EXPECT_EQ(encodeText(QStringLiteral("a"), TextEncoding::Utf8Bom, &used),
        QByteArray("\xEF\xBB\xBF"
                   "a"));
    EXPECT_EQ(used, TextEncoding::Utf8Bom);

    bool ok = true;
    EXPECT_EQ(toCp932(QStringLiteral("a😀b"), &ok), QByteArray("a?b"));
    EXPECT_FALSE(ok);
}

// Characters whose CP932 code reads back as another character: a file written in CP932 would
// change them without a word, so they count as not fitting and the text goes out in UTF-8.
TEST(CodePageTest, CharactersThatCp932WouldChangeDoNotFit)
{
    struct Case {
        const char* name;
        char16_t character;
    };
    const Case cases[] = {
        { "wave dash", 0x301C },
        { "double vertical line", 0x2016 },
        { "minus sign", 0x2212 },
        { "cent sign", 0x00A2 },
        { "pound sign", 0x00A3 },
        { "not sign", 0x00AC },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString text = QStringLiteral("1") + QChar(c.character) + QStringLiteral("9日");
        EXPECT_FALSE(fitsCp932(text));
        TextEncoding used = TextEncoding::Cp932;
        const QByteArray bytes = encodeNewText(text, &used);
        EXPECT_EQ(used, TextEncoding::Utf8);
        EXPECT_EQ(decodeText(bytes).text, text);
    }
    // Their look-alikes that CP932 does hold still go out in CP932.
    EXPECT_TRUE(fitsCp932(QStringLiteral("1～9日－∥￠")));
}

// What a writer produces reads back as the same text, whatever encoding the file was read in.
TEST(CodePageTest, WrittenTextReadsBackAsItWas)
{
    struct Case {
        const char* name;
        QString text;
        TextEncoding encoding;
        TextEncoding used;
    };
    const QString zwnbsp(QChar(0xFEFF));
    const Case cases[] = {
        // C3 B1 in CP932 is valid UTF-8 ("ñ"): the reader would take the file for UTF-8.
        { "half-width kana pair that looks like UTF-8", QStringLiteral("ﾃｱ"), TextEncoding::Cp932,
            TextEncoding::Utf8 },
        { "the same pair beside bytes UTF-8 cannot have", QStringLiteral("請求ﾃｱ"),
            TextEncoding::Cp932, TextEncoding::Cp932 },
        { "half-width kana alone", QStringLiteral("ｱｲｳ"), TextEncoding::Cp932,
            TextEncoding::Cp932 },
        // A text that begins with U+FEFF would lose it to the reader's byte-order mark.
        { "leading U+FEFF in UTF-8", zwnbsp + QStringLiteral("a"), TextEncoding::Utf8,
            TextEncoding::Utf8Bom },
        { "leading U+FEFF after a mark", zwnbsp + QStringLiteral("a"), TextEncoding::Utf8Bom,
            TextEncoding::Utf8Bom },
        { "U+FEFF inside stays plain UTF-8", QStringLiteral("a") + zwnbsp, TextEncoding::Utf8,
            TextEncoding::Utf8 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextEncoding used = c.encoding;
        const QByteArray bytes = encodeText(c.text, c.encoding, &used);
        EXPECT_EQ(used, c.used);
        EXPECT_EQ(decodeText(bytes).text, c.text);
        EXPECT_EQ(decodeAs(bytes, used), c.text);
    }
    // A file with two marks holds a text that begins with U+FEFF.
    EXPECT_EQ(decodeText("\xEF\xBB\xBF\xEF\xBB\xBF"
                         "a")
                  .text,
        zwnbsp + QStringLiteral("a"));
    EXPECT_EQ(fromLocaleBytes(toLocaleBytes(zwnbsp + QStringLiteral("a"))), zwnbsp + "a");
}

// Inputs the fuzzer once found to change on their way through a write and a read.
TEST(CodePageTest, FuzzFindingsReadBackAsWritten)
{
    const QDir dir(QStringLiteral("data/fuzz"));
    const QStringList files = dir.entryList({ QStringLiteral("codepage-*") }, QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        const QByteArray bytes = vorlix::test::readFileBytes(dir.filePath(file));
        const DecodedText decoded = decodeText(bytes);
        for (const QString& text :
            { decoded.text, fromCp932(bytes), decodeAs(bytes, TextEncoding::Utf8) }) {
            for (const TextEncoding encoding : { decoded.encoding, TextEncoding::Cp932,
                     TextEncoding::Utf8, TextEncoding::Utf8Bom })
                EXPECT_EQ(decodeText(encodeText(text, encoding)).text, text);
        }
    }
}

}

// The choice between UTF-8 and CP932 is made by a check that does not decode: it must call
// exactly the byte sequences valid that the decoder reads without error, and give the decoder's
// text. Every lead byte is tried with continuation bytes at and beyond the edges of its range,
// whole and cut short, between ASCII and alone.
TEST(CodePageTest, TheUtf8CheckAgreesWithTheDecoderOnEverySequenceShape)
{
    const auto bytesOf = [](std::initializer_list<int> values) {
        QByteArray bytes;
        for (const int value : values)
            bytes.append(static_cast<char>(value));
        return bytes;
    };
    const auto reference = [](const QByteArray& bytes, bool& valid) {
        auto decoder = QStringDecoder(QStringDecoder::Utf8,
            QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        const QString text = decoder.decode(bytes);
        valid = !decoder.hasError();
        return text;
    };
    const std::vector<int> edges { 0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0,
        0xFF };
    int checked = 0;
    const auto check = [&](const QByteArray& bytes) {
        bool valid = false;
        const QString expected = reference(bytes, valid);
        const DecodedText decoded = decodeText(bytes);
        const bool ascii = std::all_of(bytes.begin(), bytes.end(),
            [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        if (ascii)
            return;
        ++checked;
        ASSERT_EQ(decoded.encoding == TextEncoding::Utf8, valid) << bytes.toHex().toStdString();
        ASSERT_EQ(QByteArrayView(bytes).isValidUtf8(), valid) << bytes.toHex().toStdString();
        if (valid) {
            ASSERT_EQ(decoded.text, expected) << bytes.toHex().toStdString();
        }
    };
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        for (const int second : edges) {
            for (const int third : edges) {
                for (const int fourth : { 0x41, 0x80, 0xBF, 0xC0 }) {
                    const QByteArray sequence = bytesOf({ lead, second, third, fourth });
                    for (int cut = 1; cut <= 4; ++cut) {
                        check(sequence.left(cut));
                        check("abcdefghij" + sequence.left(cut) + "klmnopqrst");
                    }
                }
            }
        }
    }
    // Every two-byte and three-byte lead with every second byte: the narrow ranges after E0, ED,
    // F0 and F4 are where an overlong form, a surrogate or a code point past U+10FFFF hides.
    for (int lead = 0xC0; lead <= 0xF4; ++lead) {
        for (int second = 0; second <= 0xFF; ++second)
            check(bytesOf({ lead, second, 0x80, 0x80 }) + "12345678");
    }
    EXPECT_GT(checked, 100000);
}

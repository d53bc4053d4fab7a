#include "shell/TextWindows.h"

#include "shell/CodePage.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using vorlix::shell::TextEncoding;
using vorlix::shell::TextWindows;

namespace {

struct Joined {
    QString text;
    TextEncoding encoding = TextEncoding::Cp932;
    int windows = 0;
};

Joined readInWindows(const QByteArray& bytes, qsizetype size)
{
    TextWindows windows;
    windows.open(bytes, size);
    Joined joined;
    joined.encoding = windows.encoding();
    TextWindows::Window window;
    std::int64_t expectedStart = -1;
    while (windows.next(window)) {
        if (expectedStart >= 0) {
            EXPECT_EQ(window.byteStart, expectedStart);
        }
        expectedStart = window.byteStart + window.bytes.size();
        joined.text += window.text;
        ++joined.windows;
    }
    return joined;
}

} // namespace

// Whatever the bytes, the windows decide the encoding as the whole read does and decode, piece
// by piece, to the same text.
TEST(TextWindows, WindowsDecodeToTheWholeText)
{
    const QString japanese = QStringLiteral("<a>請求書　ソ表</a>\r\n<b>ｶﾅ x</b>");
    bool fits = false;
    const QByteArray sjis = vorlix::shell::toCp932(japanese, &fits);
    ASSERT_TRUE(fits);
    const QByteArray cases[] = {
        QByteArray(),
        QByteArray("plain ascii <a>1</a>"),
        japanese.toUtf8(),
        QByteArray("\xEF\xBB\xBF") + japanese.toUtf8(),
        QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF<a>two marks</a>"),
        sjis,
        // valid UTF-8 up to the very end, where one bad byte makes it CP932
        japanese.toUtf8() + QByteArray("\xFF"),
        // a UTF-16 document read as bytes
        QByteArray(reinterpret_cast<const char*>(japanese.utf16()), japanese.size() * 2),
        // CP932 with a lead byte before "<" and one at the very end
        sjis + QByteArray("\x82<c>\x82"),
        // a mark followed by broken UTF-8
        QByteArray("\xEF\xBB\xBF<a>\xE3\x81</a>\xC0\xAF"),
    };
    for (const QByteArray& bytes : cases) {
        SCOPED_TRACE(bytes.toHex().toStdString());
        const auto whole = vorlix::shell::decodeText(bytes);
        for (const qsizetype size : { qsizetype(1), qsizetype(2), qsizetype(5), qsizetype(4096) }) {
            SCOPED_TRACE(size);
            const Joined joined = readInWindows(bytes, size);
            EXPECT_EQ(joined.encoding, whole.encoding);
            EXPECT_EQ(joined.text, whole.text);
        }
    }
}

// A window without a byte below 0x40 (a long value of kana or letters) ends at the start of its
// last character instead of growing until a boundary comes: a value of a hundred megabytes is then
// read a window at a time. Only a window too small for two characters grows.
TEST(TextWindows, AWindowWithoutABoundaryEndsBetweenCharacters)
{
    const QString kana = QStringLiteral("あいうえおかきくけこさしすせそたちつ");
    const QByteArray sjis = vorlix::shell::toCp932(kana + QStringLiteral("<x>yz"));
    struct Case {
        const char* name;
        QByteArray bytes;
        qsizetype size;
        QString first;
    };
    const Case cases[] = {
        { "UTF-8 in windows of four bytes", (kana + QStringLiteral("<x>yz")).toUtf8(), 4,
            QStringLiteral("あ") },
        { "UTF-8 in windows of one byte", (kana + QStringLiteral("<x>yz")).toUtf8(), 1,
            QStringLiteral("あ") },
        { "CP932 in windows of five bytes", sjis, 5, QStringLiteral("あい") },
        { "CP932 whose trail bytes look like letters", vorlix::shell::toCp932("ソソソソ"), 3,
            QStringLiteral("ソ") },
        { "a long run of letters", QByteArray(100, 'a') + "<x>", 16, QString(15, u'a') },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextWindows windows;
        windows.open(c.bytes, c.size);
        TextWindows::Window window;
        ASSERT_TRUE(windows.next(window));
        EXPECT_EQ(window.text, c.first);
        EXPECT_EQ(readInWindows(c.bytes, c.size).text, vorlix::shell::decodeText(c.bytes).text);
    }
    EXPECT_EQ(TextWindows::windowEnd(QByteArray("\xE3\x81\x82"), 0), -1);
    EXPECT_EQ(TextWindows::windowEnd(QByteArray(" \xE3\x81\x82"), 0), 1);
    EXPECT_EQ(TextWindows::windowEnd(QByteArray("<a>\x82\x5C"), 0), 3);
}

TEST(TextWindows, ReadsAFileAgainOnlyWhileItIsUnchanged)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("d.mnd"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("<a>請求</a><b>2</b>").toUtf8());
    file.close();

    TextWindows windows;
    ASSERT_TRUE(windows.open(path, 3));
    EXPECT_EQ(windows.encoding(), TextEncoding::Utf8);
    QString text;
    ASSERT_TRUE(windows.decodeRange(0, 13, text));
    EXPECT_EQ(text, QStringLiteral("<a>請求</a>"));
    EXPECT_FALSE(windows.decodeRange(13, 99, text));

    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("<c/>");
    file.close();
    EXPECT_FALSE(windows.unchanged());
    EXPECT_FALSE(windows.decodeRange(0, 13, text));

    TextWindows missing;
    EXPECT_FALSE(missing.open(dir.filePath(QStringLiteral("none.mnd"))));
    EXPECT_FALSE(missing.error().isEmpty());
}

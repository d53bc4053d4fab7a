// Loads arbitrary bytes as a tag conversion table. The table must not depend on the encoding the
// file was written in, must recognise its own header pair in both column orders, and must never
// translate a name into text that is not in the file.
#include "document/ConvTag.h"
#include "shell/CodePage.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using vorlix::document::ConvTag;

namespace {

const QString& folder()
{
    static const QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
            ? QStringLiteral("/dev/shm/vorlix-fuzz-XXXXXX")
            : QDir::tempPath() + QStringLiteral("/vorlix-fuzz-XXXXXX"));
    static const QString path = dir.path() + u'/';
    return path;
}

void fail(const char* what, const QString& detail)
{
    std::fprintf(stderr, "%s: %s\n", what, detail.toUtf8().constData());
    std::abort();
}

void writeTable(const QByteArray& bytes)
{
    QFile out(folder() + ConvTag::FileName);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size())
        std::abort();
}

// Every line break and ";" may end a pair's statement.
qsizetype statementEnds(const QString& text)
{
    return text.count(u'\n') + text.count(u'\r') + text.count(u';');
}

// Names to translate: every run of characters between separators of the table, and a few that
// are in no table.
QStringList candidates(const QString& text)
{
    static const QRegularExpression separators(QStringLiteral("[\\s,;\"()]+"));
    QStringList names = text.split(separators, Qt::SkipEmptyParts);
    if (names.size() > 64)
        names.resize(64);
    names << QStringLiteral("NO-SUCH-TAG") << QString();
    return names;
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = vorlix::shell::decodeText(bytes).text;
    writeTable(bytes);
    ConvTag table;
    table.Path(folder());
    if (!table.loaded() || table.pairCount() < 0 || table.pairCount() > statementEnds(text) + 1)
        fail("impossible table", text.left(200));

    // The same table written in UTF-8 with a byte-order mark.
    writeTable(QByteArray("\xEF\xBB\xBF") + text.toUtf8());
    ConvTag same;
    same.Path(folder());
    if (same.pairCount() != table.pairCount())
        fail("the pair count depends on the encoding", text.left(200));

    const QStringList names = candidates(text);
    for (const bool forward : { true, false }) {
        // Without a chosen direction nothing is translated.
        for (const QString& name : names)
            if (table.Convert(name) != name)
                fail("a name translated without a tag set", name);
        if (table.pairCount() == 0)
            break;
        (void)table.TagSet(QStringLiteral("\x01"), QStringLiteral("\x02"));
        const bool chosen = forward ? table.TagSet(names.value(0), names.value(1))
                                    : table.TagSet(names.value(1), names.value(0));
        const bool chosenToo = forward ? same.TagSet(names.value(0), names.value(1))
                                       : same.TagSet(names.value(1), names.value(0));
        if (chosen != chosenToo)
            fail("the tag sets depend on the encoding", text.left(200));
        for (const QString& name : names) {
            const QString converted = table.Convert(name);
            if (converted != same.Convert(name))
                fail("a translation depends on the encoding", name);
            if (converted != name && !text.contains(converted))
                fail("a translation that is not in the table", converted);
        }
        (void)table.TagSet(QString(), QStringLiteral("\x03"));
        (void)same.TagSet(QString(), QStringLiteral("\x03"));
    }
    return 0;
}

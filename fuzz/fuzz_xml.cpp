// Feeds arbitrary bytes, decoded as a data document, to the XML cutter and to the reader; then
// reads the same bytes in windows of a few bytes (so that tokens straddle windows) and checks that
// the streamed read reports the same and, with every record read again, builds the same tree.
#include "document/ApartXML.h"
#include "document/DataRecords.h"
#include "document/DataStream.h"
#include "document/Tree.h"
#include "document/xmlTC.h"
#include "shell/CodePage.h"
#include "shell/TextWindows.h"

#include "tests/support/TreeDump.h"

#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

using vorlix::document::Tree;

void checkStreamedRead(const QByteArray& bytes, qsizetype window, Tree& whole,
    const vorlix::shell::Report& wholeReport)
{
    auto windows = std::make_unique<vorlix::shell::TextWindows>();
    windows->open(bytes, window);
    Tree tree;
    vorlix::document::ApartXML reader;
    reader.Init(&tree);
    {
        vorlix::document::DataStream stream(*windows);
        reader.Stream(stream);
    }
    if (!(reader.report() == wholeReport))
        std::abort();
    const std::int64_t records = whole.Value(QStringLiteral("System/mpiececount")).toLongLong();
    vorlix::document::DataRecords source(std::move(windows), reader.places());
    if (source.count() != records)
        std::abort();
    for (std::int64_t k = 1; k <= records; ++k)
        source.load(tree, k);
    if (vorlix::test::dumpTree(tree, records) != vorlix::test::dumpTree(whole, records))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    // The first byte chooses the window: 1 to 16 bytes.
    const qsizetype window = 1 + (data[0] & 0x0F);
    const QByteArray bytes(
        reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    const QString text = vorlix::shell::decodeText(bytes).text;

    vorlix::document::xmlTC cutter;
    cutter.Text(text);
    QString token;
    std::int32_t last = 0;
    for (;;) {
        const auto kind = cutter.getToken(token);
        if (cutter.Point() < last || cutter.Point() > cutter.Size() + 1)
            std::abort();
        last = cutter.Point();
        if (kind == vorlix::document::XmlToken::EndOfText)
            break;
        if (cutter.Point() == cutter.prevPoint())
            std::abort();
    }

    Tree tree;
    vorlix::document::ApartXML reader;
    reader.Init(&tree);
    reader.Text(text);
    const vorlix::shell::Report& report = reader.report();
    if (!report.clean()
        && (report.nErrPit < 1 || report.nErrPit > text.size() + 1 || report.sErrMsg.isEmpty()))
        std::abort();
    if (tree.Value(QStringLiteral("System/mpiececount")) == Tree::NoLabel)
        std::abort();
    checkStreamedRead(bytes, window, tree, report);
    return 0;
}

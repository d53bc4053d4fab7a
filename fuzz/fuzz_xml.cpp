// Feeds arbitrary bytes, decoded as a data document, to the XML cutter and to the reader.
#include "document/ApartXML.h"
#include "document/Tree.h"
#include "document/xmlTC.h"
#include "shell/CodePage.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
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

    vorlix::document::Tree tree;
    vorlix::document::ApartXML reader;
    reader.Init(&tree);
    reader.Text(text);
    const vorlix::shell::Report& report = reader.report();
    if (!report.clean()
        && (report.nErrPit < 1 || report.nErrPit > text.size() + 1 || report.sErrMsg.isEmpty()))
        std::abort();
    if (tree.Value(QStringLiteral("System/mpiececount")) == vorlix::document::Tree::NoLabel)
        std::abort();
    return 0;
}

// Feeds arbitrary bytes, decoded as the downloader's file list, to the list reader and checks that
// no name it accepts can leave the sheet folder when saved, or the web folder when fetched, and
// that every name can be shown without a control character reaching the screen.
#include "drovik/SampleList.h"
#include "shell/CodePage.h"
#include "shell/GeneFileName.h"

#include <QDir>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

using vorlix::drovik::SampleEntry;
using vorlix::drovik::SampleList;
using vorlix::shell::GeneFileName;
using vorlix::shell::ServiceKind;

namespace {

const QString kSheetFolder = QStringLiteral("/home/user/.local/share/vorlix/sheet/Default/");
const QString kWebFolder = QStringLiteral("http://127.0.0.1:8080/support/smple_data/");

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void checkSafeName(const QString& name)
{
    check(!name.isEmpty() && name != u"." && name != u"..");
    check(!name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')));
    check(SampleList::printable(name) == name);
    // Saved as sheet folder + name: the file access splits it back into the same folder and name.
    const auto saved = GeneFileName::split(kSheetFolder + name, QStringLiteral("/work"));
    check(saved && saved->ServiceType == ServiceKind::Local && saved->Path == kSheetFolder
        && saved->FileName == name);
    check(QDir::cleanPath(kSheetFolder + name) == kSheetFolder + name);
    // Fetched as web folder + name: the request stays in the web folder.
    const auto fetched = GeneFileName::split(kWebFolder + name, QStringLiteral("/work"));
    check(fetched && fetched->ServiceType == ServiceKind::Http
        && fetched->Path == QLatin1String("/support/smple_data/") && fetched->FileName == name);
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = vorlix::shell::decodeText(bytes).text;
    const SampleList list = SampleList::parse(text);
    check(static_cast<qsizetype>(list.entries().size()) + list.headerComment().size()
        <= text.count(QLatin1Char('\n')));
    for (const QString& line : list.headerComment())
        check(!line.contains(QLatin1Char('\n')));
    for (const SampleEntry& entry : list.entries()) {
        check(entry.safe == SampleList::isPlainFileName(entry.name));
        if (entry.safe)
            checkSafeName(entry.name);
        for (const QChar c : SampleList::printable(entry.name))
            check(c.category() != QChar::Other_Control);
    }
    return 0;
}

// Merges arbitrary face text into a small data tree. The first half of the input (up to a NUL
// byte) is a data document, the rest the face program. Each face is merged twice, over the whole
// tree and through a record source into a tree that holds only the document's head; both must
// give the same paged document and the same report.
#include "document/ApartXML.h"
#include "document/Merge.h"
#include "document/Tree.h"
#include "shell/CodePage.h"
#include "tests/document/CopyingRecordSource.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

const QString kData = QStringLiteral(
    "<?xml?><TZQ_002><name>N</name><f>s,&amp;f;</f><g>x,1;end;</g>"
    "<piece><name>A</name><no>1</no><sub><v>deep</v></sub></piece>"
    "<piece><name>B</name><no>2</no></piece><piece><name>A</name><no>3</no></piece></TZQ_002>");

void checkPageStarts(const vorlix::document::Merge& merge, const QString& paged)
{
    if (!paged.startsWith(QStringLiteral("head,")) || !paged.endsWith(QLatin1Char(' ')))
        std::abort();
    const qsizetype end = paged.indexOf(QLatin1Char(';'));
    const auto fields = paged.left(end).split(QLatin1Char(','));
    if (fields.size() != merge.pageCount() + 3)
        std::abort();
    const qsizetype body = paged.size() - (end + 3);
    for (qsizetype i = 2; i < fields.size(); ++i) {
        const qsizetype start = fields.at(i).toLongLong();
        if (start < 1 || start > body) {
            std::fprintf(stderr, "bad page start %lld in %s\n", static_cast<long long>(start),
                qPrintable(paged.left(2000)));
            std::abort();
        }
    }
}

// A document element whose own name looks like a record's ("piece@1") takes that name before the
// pieces do, which only a whole tree models.
bool recordsAreWellNamed(const QString& document)
{
    return !document.contains(QStringLiteral("piece@"));
}

void compareWithSource(const QString& document, const QString& face,
    const vorlix::document::Merge& whole, const QString& paged)
{
    vorlix::test::CopyingRecordSource source(document, [](vorlix::document::Tree&) {});
    const auto head = source.head();
    vorlix::document::Merge merge;
    merge.Init(head.get(), &source);
    merge.setLimits(1 << 20, 200000);
    merge.Text(face);
    if (merge.Convert() != paged || !(merge.report() == whole.report())
        || merge.pageCount() != whole.pageCount()) {
        std::fprintf(stderr, "the merge through the source differs:\n%s\n---\n%s\n%s / %s\n",
            qPrintable(paged.left(2000)), qPrintable(merge.Convert().left(2000)),
            qPrintable(whole.report().sErrMsg), qPrintable(merge.report().sErrMsg));
        std::abort();
    }
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString document = kData;
    const qsizetype split = bytes.indexOf('\0');
    if (split >= 0) {
        document = vorlix::shell::decodeText(bytes.left(split)).text;
        bytes = bytes.mid(split + 1);
    }
    vorlix::document::Tree tree;
    vorlix::document::ApartXML reader;
    reader.Init(&tree);
    reader.Text(document);
    tree.ChRootTree();

    const QString face = vorlix::shell::decodeText(bytes).text;
    vorlix::document::Merge merge;
    merge.Init(&tree);
    merge.setLimits(1 << 20, 200000);
    merge.Text(face);
    const QString paged = merge.Convert();
    checkPageStarts(merge, paged);
    if (recordsAreWellNamed(document))
        compareWithSource(document, face, merge, paged);
    return 0;
}

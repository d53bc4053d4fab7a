// Reads a data document file whole and in a stream and prints the time of each step: the whole
// read (bytes, decoding, reader), the streamed first pass (encoding scan, windows, reader with
// every piece checked) and reading every record again on its own, as the merge does.
//
//   bench_stream FILE [FILE...]     (bench_export --keep DIR leaves invoice documents to read)
#include "document/ApartXML.h"
#include "document/DataRecords.h"
#include "document/DataStream.h"
#include "document/Tree.h"
#include "shell/CodePage.h"
#include "shell/TextWindows.h"

#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <cstdio>
#include <memory>

using namespace vorlix::document;
using vorlix::shell::TextWindows;

namespace {

double milliseconds(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void wholeRead(const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    const double readMs = milliseconds(timer);
    const QString text = vorlix::shell::decodeText(bytes).text;
    const double decodeMs = milliseconds(timer) - readMs;
    Tree tree;
    ApartXML reader;
    reader.Init(&tree);
    reader.Text(text);
    std::printf("  whole:    bytes %8.1f ms, decode %8.1f ms, reader %8.1f ms, total %8.1f ms\n",
        readMs, decodeMs, milliseconds(timer) - readMs - decodeMs, milliseconds(timer));
}

void streamedRead(const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    auto windows = std::make_unique<TextWindows>();
    if (!windows->open(path))
        return;
    const double scanMs = milliseconds(timer);
    Tree tree;
    ApartXML reader;
    reader.Init(&tree);
    {
        DataStream stream(*windows);
        reader.Stream(stream);
    }
    const double passMs = milliseconds(timer) - scanMs;
    DataRecords records(std::move(windows), reader.places());
    const Tree::Mark head = tree.mark();
    for (std::int64_t k = 1; k <= records.count(); ++k) {
        records.load(tree, k);
        tree.rollback(head);
    }
    const double loadMs = milliseconds(timer) - scanMs - passMs;
    std::printf("  streamed: scan  %8.1f ms, pass   %8.1f ms, loads  %8.1f ms, total %8.1f ms"
                " (%lld records, %.2f us a load)\n",
        scanMs, passMs, loadMs, milliseconds(timer), static_cast<long long>(records.count()),
        records.count() > 0 ? loadMs * 1000.0 / static_cast<double>(records.count()) : 0.0);
}

}

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        std::printf("%s\n", argv[i]);
        wholeRead(path);
        streamedRead(path);
    }
    return 0;
}

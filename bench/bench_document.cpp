// Reads data documents of 1,000 / 10,000 / 100,000 pieces of ten fields each and merges them into
// a one-page invoice face of about forty statements per page; prints the times. Then merges
// 10,000 and 100,000 records over the whole tree and through a record source (each in a process
// of its own) and prints the merge's time, the memory it held, and what the paged document and its
// map of statement places keep.
// Usage: bench_document [--merge-only] [--sizes N,N...]
#include "document/ApartXML.h"
#include "document/Merge.h"
#include "document/RecordLoader.h"
#include "document/RecordSource.h"
#include "document/Tree.h"

#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using vorlix::document::ApartXML;
using vorlix::document::Merge;
using vorlix::document::Tree;

namespace {

QString pieceElement(int i)
{
    QString text = QStringLiteral("<piece>\r\n");
    text += QStringLiteral("  <no>%1</no>\r\n  <name>顧客 %1</name>\r\n").arg(i);
    text += QStringLiteral("  <zip>100-%1</zip>\r\n  <address>東京都千代田区 %1</address>\r\n")
                .arg(i % 10000, 4, 10, QLatin1Char('0'));
    for (int item = 1; item <= 3; ++item)
        text += QStringLiteral("  <item%1>品目%1-%2</item%1>\r\n").arg(item).arg(i);
    text += QStringLiteral("  <qty>%1</qty>\r\n  <price>%2</price>\r\n  <total>%3</total>\r\n")
                .arg(i % 7 + 1)
                .arg(100 + i % 900)
                .arg((i % 7 + 1) * (100 + i % 900));
    text += QStringLiteral("</piece>\r\n");
    return text;
}

QString dataDocument(int pieces)
{
    QString text
        = QStringLiteral("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<TZQ_002>\r\n"
                         "<face>invoice.fae</face>\r\n<company>株式会社サンプル</company>\r\n");
    text.reserve(pieces * 330);
    for (int i = 1; i <= pieces; ++i)
        text += pieceElement(i);
    text += QStringLiteral("</TZQ_002>\r\n");
    return text;
}

QString invoiceFace()
{
    QString face
        = QStringLiteral("# invoice\r\nfs,1,\"ＭＳ 明朝\",9,0;\r\nfs,2,\"ＭＳ ゴシック\",14,1;\r\n"
                         "pen,1,1,0;\r\npiece;\r\n");
    face += QStringLiteral("b,100,100,2000,2870;\r\nf,2;s,800,150,\"請求書\";\r\nf,1;\r\n"
                           "s,150,300,$zip;\r\ns,150,350,$address;\r\ns,150,400,$name+\" 様\";\r\n"
                           "s,1400,300,$../company;\r\ns,1400,350,\"No.\"+$no;\r\n");
    for (int row = 0; row < 8; ++row) {
        const int y = 600 + row * 80;
        face += QStringLiteral("h,150,%1,1950;\r\n").arg(y);
        face += QStringLiteral("s,160,%1,$item%2;\r\n").arg(y + 20).arg(row % 3 + 1);
        face += QStringLiteral("s,1200,%1,$qty,$price;\r\n").arg(y + 20);
    }
    face += QStringLiteral("h,150,1300,1950;\r\ns,1500,1350,\"合計\";\r\ns,1700,1350,$total;\r\n"
                           "course,3;s,150,1500,$remark;\r\ncourse,1;\r\nv,1000,600,1300;\r\n"
                           "s,150,2800,\"この請求書は\"+%0x82A0+\"見本です\";\r\n");
    return face;
}

// The records of dataDocument(pieces) written straight into the tree, as the reader stores them;
// no document text and no whole tree stand behind them.
class GeneratedRecords : public vorlix::document::RecordSource {
public:
    explicit GeneratedRecords(std::int64_t pieces)
        : m_pieces(pieces)
    {
    }
    [[nodiscard]] std::int64_t count() const override { return m_pieces; }
    void load(Tree& tree, std::int64_t record) override
    {
        QElapsedTimer timer;
        timer.start();
        const auto i = static_cast<int>(record);
        tree.ChRootTree();
        tree.ChTree(vorlix::document::RecordLoader::recordName(record));
        tree.Value(QStringLiteral("no"), QString::number(i));
        tree.Value(QStringLiteral("name"), QStringLiteral("顧客 %1").arg(i));
        tree.Value(QStringLiteral("zip"),
            QStringLiteral("100-%1").arg(i % 10000, 4, 10, QLatin1Char('0')));
        tree.Value(QStringLiteral("address"),
            QStringLiteral("東京都千代田区 %1").arg(i % 10000, 4, 10, QLatin1Char('0')));
        for (int item = 1; item <= 3; ++item)
            tree.Value(
                QStringLiteral("item%1").arg(item), QStringLiteral("品目%1-%2").arg(item).arg(i));
        tree.Value(QStringLiteral("qty"), QString::number(i % 7 + 1));
        tree.Value(QStringLiteral("price"), QString::number(100 + i % 900));
        tree.Value(QStringLiteral("total"), QString::number((i % 7 + 1) * (100 + i % 900)));
        tree.ChRootTree();
        largestTree = std::max(largestTree, tree.footprint());
        loadNanoseconds += timer.nsecsElapsed();
    }
    std::size_t largestTree = 0;
    qint64 loadNanoseconds = 0;

private:
    std::int64_t m_pieces;
};

// The resident peak of this process in kilobytes, and forgetting it so that the next phase's
// peak can be read on its own.
long peakKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    }
    return -1;
}

void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// One merge of `pieces` records, over the whole tree or through the source; prints one row.
void measureMerge(bool throughSource, int pieces, const QString& face)
{
    Tree tree;
    GeneratedRecords records(pieces);
    {
        ApartXML reader;
        reader.Init(&tree);
        reader.Text(dataDocument(throughSource ? 0 : pieces));
    }
    tree.ChRootTree();
    const long before = peakKilobytes();
    resetPeak();
    const long resident = peakKilobytes();
    QElapsedTimer timer;
    timer.start();
    Merge merge;
    merge.Init(&tree, throughSource ? &records : nullptr);
    merge.Text(face);
    const double mergeMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    const std::size_t treeBytes = throughSource ? records.largestTree : tree.footprint();
    std::printf("%8s %9d %10.1f %10.1f %8lld %12.1f %12.1f %12.1f %12.1f %12.3f %12.3f\n",
        throughSource ? "source" : "whole", pieces, mergeMs,
        static_cast<double>(records.loadNanoseconds) / 1e6,
        static_cast<long long>(merge.pageCount()), static_cast<double>(treeBytes) / 1e6,
        static_cast<double>(resident) / 1e3, static_cast<double>(peakKilobytes()) / 1e3,
        static_cast<double>(before) / 1e3,
        static_cast<double>(merge.document()->storedBytes()) / 1e6,
        static_cast<double>(merge.document()->mapBytes()) / 1e6);
    if (!merge.report().clean())
        std::printf("merge problem: %s\n", qPrintable(merge.report().sErrMsg));
}

void readAndMerge(const QString& face)
{
    std::printf("face: %lld characters\n", static_cast<long long>(face.size()));
    std::printf("%9s %12s %10s %10s %10s %8s %12s\n", "pieces", "doc chars", "read ms", "merge ms",
        "total ms", "pages", "output chars");
    for (const int pieces : { 1000, 10000, 100000 }) {
        const QString document = dataDocument(pieces);
        const std::clock_t cpuStart = std::clock();
        QElapsedTimer timer;
        timer.start();
        Tree tree;
        {
            ApartXML reader;
            reader.Init(&tree);
            reader.Text(document);
            if (!reader.report().clean())
                std::printf("read problem: %s\n", qPrintable(reader.report().sErrMsg));
        }
        const double readMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        timer.restart();
        Merge merge;
        merge.Init(&tree);
        merge.Text(face);
        const QString paged = merge.Convert();
        const double mergeMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        if (!merge.report().clean())
            std::printf("merge problem: %s\n", qPrintable(merge.report().sErrMsg));
        const double cpuMs = static_cast<double>(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC;
        std::printf("%9d %12lld %10.1f %10.1f %10.1f %10.1f %8lld %12lld\n", pieces,
            static_cast<long long>(document.size()), readMs, mergeMs, readMs + mergeMs, cpuMs,
            static_cast<long long>(merge.pageCount()), static_cast<long long>(paged.size()));
    }
}

}

int main(int argc, char** argv)
{
    const QStringList args = [&] {
        QStringList list;
        for (int i = 1; i < argc; ++i)
            list << QString::fromLocal8Bit(argv[i]);
        return list;
    }();
    std::vector<int> sizes { 10000, 100000 };
    if (const qsizetype at = args.indexOf(QStringLiteral("--sizes"));
        at >= 0 && at + 1 < args.size()) {
        sizes.clear();
        for (const QString& size : args.at(at + 1).split(QLatin1Char(',')))
            sizes.push_back(size.toInt());
    }
    const QString face = invoiceFace();
    if (!args.contains(QStringLiteral("--merge-only")))
        readAndMerge(face);
    std::printf("\nmerge over the whole tree and through a record source (a process each; MB)\n");
    std::printf("%8s %9s %10s %10s %8s %12s %12s %12s %12s %12s %12s\n", "mode", "pieces",
        "merge ms", "loads ms", "pages", "tree peak", "rss at start", "rss peak", "rss before",
        "document", "place map");
    std::fflush(stdout);
    for (const int pieces : sizes) {
        for (const bool throughSource : { false, true }) {
            const pid_t child = fork();
            if (child == 0) {
                measureMerge(throughSource, pieces, face);
                std::fflush(stdout);
                _exit(0);
            }
            int status = 0;
            waitpid(child, &status, 0);
        }
    }
    return 0;
}

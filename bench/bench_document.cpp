// Reads data documents of 1,000 / 10,000 / 100,000 pieces of ten fields each and merges them into
// a one-page invoice face of about forty statements per page; prints the times.
#include "document/ApartXML.h"
#include "document/Merge.h"
#include "document/Tree.h"

#include <QElapsedTimer>
#include <QString>
#include <cstdio>
#include <ctime>

using vorlix::document::ApartXML;
using vorlix::document::Merge;
using vorlix::document::Tree;

namespace {

QString dataDocument(int pieces)
{
    QString text
        = QStringLiteral("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<TZQ_002>\r\n"
                         "<face>invoice.fae</face>\r\n<company>株式会社サンプル</company>\r\n");
    text.reserve(pieces * 330);
    for (int i = 1; i <= pieces; ++i) {
        text += QStringLiteral("<piece>\r\n");
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
    }
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

}

int main()
{
    const QString face = invoiceFace();
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
    return 0;
}

// Unattended runs read a large data document in a stream, one record at a time. Whatever the
// size from which they do (VORLIX_STREAM_FROM), the output and the diagnostics are the same.
#include "tests/app/VorlixRun.h"
#include "tests/support/HttpTestServer.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

using namespace vorlix::test;

// Streamed for every size, or never.
QProcessEnvironment streamFrom(const char* bytes)
{
    QProcessEnvironment e;
    e.insert(QStringLiteral("VORLIX_STREAM_FROM"), QString::fromLatin1(bytes));
    return e;
}

// The PDF without its creation and modification dates, which are the only lines a second run
// may change.
QByteArray withoutDates(const QString& pdf)
{
    QByteArray bytes = readFileBytes(pdf);
    static const QRegularExpression date(QStringLiteral("/(CreationDate|ModDate) \\([^)]*\\)"));
    return QString::fromLatin1(bytes).replace(date, QString()).toLatin1();
}

class StreamedRead : public VorlixRun {
protected:
    // Copies a bundled sample into the temporary home.
    void copySample(const QString& name)
    {
        const QString target = env.root() + u'/' + name;
        QFile::remove(target);
        ASSERT_TRUE(QFile::copy(
            qEnvironmentVariable("VORLIX_SOURCE_DIR") + QStringLiteral("/samples/") + name, target))
            << name.toStdString();
    }

    // Runs the same job both ways and expects the same status, standard error and output file.
    void expectSameBothWays(const QString& input, const QString& switchName, const QString& out)
    {
        const RunResult whole
            = run({ switchName + QStringLiteral("whole-") + out, input }, streamFrom("-1"));
        const RunResult streamed
            = run({ switchName + QStringLiteral("streamed-") + out, input }, streamFrom("0"));
        EXPECT_EQ(streamed.status, whole.status)
            << streamed.err.toStdString() << whole.err.toStdString() << streamed.out.constData();
        EXPECT_EQ(
            QString(streamed.err).replace(QStringLiteral("streamed-"), QStringLiteral("whole-")),
            whole.err);
        const QString wholeFile = env.root() + QStringLiteral("/whole-") + out;
        const QString streamedFile = env.root() + QStringLiteral("/streamed-") + out;
        ASSERT_EQ(QFileInfo::exists(streamedFile), QFileInfo::exists(wholeFile));
        if (out.endsWith(QStringLiteral(".pdf")))
            EXPECT_EQ(withoutDates(streamedFile), withoutDates(wholeFile));
        else
            EXPECT_EQ(readFileBytes(streamedFile), readFileBytes(wholeFile));
    }
};

TEST_F(StreamedRead, SamplesGiveTheSamePdfAndMergedText)
{
    for (const char* sample : { "invoice", "delivery-slip", "nouhinsho" }) {
        SCOPED_TRACE(sample);
        const QString name = QString::fromLatin1(sample);
        copySample(name + QStringLiteral(".fae"));
        copySample(name + QStringLiteral(".mnd"));
        if (name == u"invoice")
            copySample(QStringLiteral("logo.png"));
        expectSameBothWays(name + QStringLiteral(".mnd"), QStringLiteral("-e="), name + ".pdf");
        expectSameBothWays(name + QStringLiteral(".mnd"), QStringLiteral("-m="), name + ".txt");
    }
}

TEST_F(StreamedRead, ManyRecordsAQueryAndHeadItemsAfterThePieces)
{
    write(QStringLiteral("list.fae"),
        QStringLiteral("fs,1,\"ＭＳ 明朝\",12,0;\nps,1,1,0,0;\npiece;\ns,100,100,$no;\n"
                       "s,100,200,$name;\ns,100,300,$Title;\ns,100,400,$kind;\n"));
    QString data = QStringLiteral(
        "<?xml version=\"1.0\"?>\n<TZQ_002>\n<face>list.fae</face>\n<path>CurDir</path>\n");
    for (int i = 1; i <= 300; ++i)
        data += QStringLiteral("<piece><no>%1</no><name>顧客%1　様</name><kind>%2</kind></piece>\n")
                    .arg(i)
                    .arg(i % 3);
    data += QStringLiteral("<Title>一覧</Title>\n</TZQ_002>\n");
    write(QStringLiteral("list.mnd"), data);
    expectSameBothWays(QStringLiteral("list.mnd"), QStringLiteral("-m="), QStringLiteral("m.txt"));
    expectSameBothWays(QStringLiteral("list.mnd"), QStringLiteral("-e="), QStringLiteral("e.pdf"));
    const QString merged
        = QString::fromUtf8(readFileBytes(env.root() + QStringLiteral("/streamed-m.txt")));
    EXPECT_TRUE(merged.startsWith(QStringLiteral("head,300,"))) << merged.left(40).toStdString();
    EXPECT_TRUE(merged.contains(QStringLiteral("s,100,200,顧客300　様;")));

    write(QStringLiteral("query.mnd"),
        QString(data).replace(
            QStringLiteral("<path>"), QStringLiteral("<query>kind,1</query><path>")));
    expectSameBothWays(QStringLiteral("query.mnd"), QStringLiteral("-m="), QStringLiteral("q.txt"));
    const QString chosen
        = QString::fromUtf8(readFileBytes(env.root() + QStringLiteral("/streamed-q.txt")));
    EXPECT_TRUE(chosen.startsWith(QStringLiteral("head,100,"))) << chosen.left(40).toStdString();
}

TEST_F(StreamedRead, FaultsNameTheSameLineAndColumn)
{
    write(QStringLiteral("bad.mnd"),
        QStringLiteral("<?xml ?>\n<TZQ_002>\n<face>bill.fae</face>\n<piece><a>1</a></piece>\n"
                       "<piece>\n  <name>open</wrong>\n</piece>\n</TZQ_002>\n"));
    expectSameBothWays(QStringLiteral("bad.mnd"), QStringLiteral("-m="), QStringLiteral("b.txt"));
    const RunResult r
        = run({ QStringLiteral("-m=b.txt"), QStringLiteral("bad.mnd") }, streamFrom("0"));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(
        r.err.contains(QStringLiteral("vorlix: bad.mnd:6:13: LabData>終了タグが違う:wrong")))
        << r.err.toStdString();

    write(QStringLiteral("none.mnd"), QStringLiteral("no declaration\n"));
    expectSameBothWays(QStringLiteral("none.mnd"), QStringLiteral("-e="), QStringLiteral("n.pdf"));
}

TEST_F(StreamedRead, ADocumentFromTheWebIsReadFromItsBytes)
{
    write(QStringLiteral("web.fae"),
        QStringLiteral("fs,1,\"ＭＳ 明朝\",12,0;\nps,1,1,0,0;\npiece;\ns,100,100,$name;\n"));
    QString data
        = QStringLiteral("<?xml ?>\r\n<TZQ_002><face>web.fae</face><path>CurDir</path>\r\n");
    for (int i = 1; i <= 20; ++i)
        data += QStringLiteral("<piece><name>ウェブ%1</name></piece>\r\n").arg(i);
    const QByteArray body = (data + QStringLiteral("</TZQ_002>\r\n")).toUtf8();
    // Each run fetches the document from a server of its own.
    const auto fetch = [this, &body](const char* streamFromBytes, const QString& out) {
        HttpTestServer server(HttpTestServer::sendAndClose("HTTP/1.0 200 OK\r\nContent-Length: "
            + QByteArray::number(body.size()) + "\r\n\r\n" + body));
        const RunResult r
            = run({ QStringLiteral("-m=") + out,
                      QStringLiteral("http://") + server.host() + QStringLiteral("/d/web.mnd") },
                streamFrom(streamFromBytes));
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        return readFileBytes(env.root() + u'/' + out);
    };
    const QByteArray whole = fetch("-1", QStringLiteral("whole.txt"));
    const QByteArray streamed = fetch("0", QStringLiteral("streamed.txt"));
    EXPECT_EQ(streamed, whole);
    const QString merged = QString::fromUtf8(streamed);
    EXPECT_TRUE(merged.startsWith(QStringLiteral("head,20,"))) << merged.left(40).toStdString();
    EXPECT_TRUE(merged.contains(QStringLiteral("ウェブ20")));
}

}

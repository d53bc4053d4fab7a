// The bundled samples are what a new user prints first: each must render
// unattended without a single interpreter complaint, with the right number of
// pages, and its data must add up and keep the amount columns aligned.
#include "shell/CodePage.h"
#include "tests/support/MissingTool.h"
#include "tests/support/PdfCheck.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {

using namespace vorlix::test;

QString samplesDir()
{
    return qEnvironmentVariable("VORLIX_SOURCE_DIR") + QStringLiteral("/samples");
}

QString program()
{
    return qEnvironmentVariable("VORLIX_BINARY_DIR") + QStringLiteral("/app/vorlix");
}

struct Sample {
    const char* input; // file handed to the program
    const char* face; // face file it draws with
    const char* data; // data document, or nullptr for a face-only sample
    int pages;
};

const Sample kSamples[] = {
    { "invoice.mnd", "invoice.fae", "invoice.mnd", 5 },
    { "delivery-slip.mnd", "delivery-slip.fae", "delivery-slip.mnd", 2 },
    { "hagaki.mnd", "hagaki.fae", "hagaki.mnd", 3 },
    { "shipping-label.mnd", "shipping-label.fae", "shipping-label.mnd", 3 },
    { "sample-face.fae", "sample-face.fae", nullptr, 1 },
};

QString decodeCp932(const QByteArray& bytes)
{
    return vorlix::shell::fromCp932(bytes);
}

// Runs the program in a copy of the samples folder (the data documents find
// their face through CurDir), with a temporary home.
class SampleRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFileInfo::exists(program())) << program().toStdString();
        work = env.root() + QStringLiteral("/samples");
        ASSERT_TRUE(QDir().mkpath(work));
        for (const Sample& s : kSamples) {
            for (const char* name : { s.face, s.data }) {
                if (name == nullptr)
                    continue;
                const QString target = work + QLatin1Char('/') + QString::fromLatin1(name);
                QFile::remove(target);
                ASSERT_TRUE(QFile::copy(
                    samplesDir() + QLatin1Char('/') + QString::fromLatin1(name), target))
                    << name;
            }
        }
    }

    int run(const QStringList& arguments, QString* log)
    {
        QProcess process;
        QProcessEnvironment e = env.processEnvironment();
        e.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(e);
        process.setWorkingDirectory(work);
        process.start(program(), arguments);
        EXPECT_TRUE(process.waitForFinished(180000));
        if (log != nullptr)
            *log = QString::fromUtf8(process.readAllStandardOutput());
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    TempEnvironment env;
    QString work;
};

int pdfPages(const QString& pdf)
{
    PdfCheck::expectSound(pdf);
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), { pdf });
    if (!info.waitForFinished(60000))
        return -1;
    const QString text = QString::fromUtf8(info.readAllStandardOutput());
    const QRegularExpressionMatch m = QRegularExpression(
        QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption)
                                          .match(text);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

TEST_F(SampleRun, EachSampleExportsCleanlyWithItsPageCount)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        VORLIX_SKIP_WITHOUT_TOOL("pdfinfo (poppler-utils) is not installed");
    for (const Sample& s : kSamples) {
        SCOPED_TRACE(s.input);
        const QString pdf = env.root() + QStringLiteral("/out-") + QString::fromLatin1(s.input)
            + QStringLiteral(".pdf");
        QString log;
        EXPECT_EQ(run({ QStringLiteral("-e=") + pdf, QString::fromLatin1(s.input) }, &log), 0)
            << log.toStdString();
        EXPECT_EQ(pdfPages(pdf), s.pages);
        // Every diagnostic of the interpreter (unknown word, failed statement,
        // a value that split a text) is logged by GoDoc and drawn on the page.
        for (const QString& line : log.split(QStringLiteral("\r\n")))
            EXPECT_FALSE(line.startsWith(QStringLiteral("DControl/GoDoc"))) << line.toStdString();
        EXPECT_FALSE(log.contains(QStringLiteral("不明なトークン"))) << log.toStdString();
    }
}

// The postcards are written down the card: the PDF's text reads as the data gave it.
TEST_F(SampleRun, PostcardAddressesReadInOrder)
{
    const QString pdf = env.root() + QStringLiteral("/hagaki.pdf");
    QString log;
    ASSERT_EQ(run({ QStringLiteral("-e=") + pdf, QStringLiteral("hagaki.mnd") }, &log), 0)
        << log.toStdString();
    QProcess text;
    text.start(QStringLiteral("pdftotext"), { pdf, QStringLiteral("-") });
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString read = QString::fromUtf8(text.readAllStandardOutput());
    for (const char* expected : { "東京都千代田区霞が関一丁目二番三号",
             "梅田スカイレジデンス二〇五号室", "北海道札幌市北区北八条西五丁目", "十番地の二" })
        EXPECT_TRUE(read.contains(QString::fromUtf8(expected))) << expected;
}

TEST_F(SampleRun, InvoiceRowsFollowEachCustomersItemCount)
{
    const QString merged = env.root() + QStringLiteral("/invoice.txt");
    QString log;
    ASSERT_EQ(run({ QStringLiteral("-m=") + merged, QStringLiteral("invoice.mnd") }, &log), 0)
        << log.toStdString();
    const QString text = QString::fromUtf8(readFileBytes(merged));
    ASSERT_TRUE(text.startsWith(QStringLiteral("head,5,"))) << text.left(40).toStdString();

    // The pages are separated by the merge's "#out" lines; the head comes first. The fourth
    // invoice has 14 items: eleven on its first page, three on its second, which has the totals.
    const QStringList pages = text.split(QRegularExpression(QStringLiteral("#out\\d+\r\n")));
    ASSERT_EQ(pages.size(), 5);
    const struct {
        int rows;
        const char* pageNumber;
        bool last;
    } expected[] = { { 7, "1 / 1", true }, { 3, "1 / 1", true }, { 5, "1 / 1", true },
        { 11, "1 / 2", false }, { 3, "2 / 2", true } };
    // Every item's name is written where the first row's stands; shifts move the later rows.
    const QRegularExpression nameRow(QStringLiteral("s,170,973,\"[^\"]+\";"));
    const QRegularExpression amountRow(QStringLiteral("sf,1930,\\d+,2,\"#,##0\",\"\\d+\";"));
    for (int page = 0; page < 5; ++page) {
        SCOPED_TRACE(page + 1);
        const QString& one = pages[page];
        // One row for each item, each 60 below the one before; no empty texts, no unmatched
        // reference left behind.
        EXPECT_EQ(one.count(nameRow), expected[page].rows);
        EXPECT_EQ(one.count(QStringLiteral("shift,0,60;")), expected[page].rows - 1);
        // Subtotal, tax and total on an invoice's last page, "continued" on the others.
        EXPECT_EQ(one.count(amountRow), expected[page].rows + (expected[page].last ? 3 : 0));
        EXPECT_EQ(one.contains(QStringLiteral("次頁へ続く")), !expected[page].last);
        EXPECT_TRUE(one.contains(QString::fromUtf8(expected[page].pageNumber) + " ページ"));
        EXPECT_FALSE(one.contains(QStringLiteral("\"\""))) << one.toStdString();
        EXPECT_FALSE(one.contains(QLatin1Char('$')));
    }
    // The third customer is a private person: no contact line, no second address line.
    EXPECT_TRUE(pages[2].contains(QStringLiteral("\"様\"")));
    EXPECT_FALSE(pages[2].contains(QStringLiteral("s,190,535,")));
    EXPECT_FALSE(pages[2].contains(QStringLiteral("s,150,398,")));
}

// Forms made on Windows are CP932 with CR LF; a sample saved as UTF-8 or with
// bare line feeds would still load here but no longer be a faithful example.
TEST(SampleFiles, AreCp932WithCrLf)
{
    const QStringList names = { QStringLiteral("invoice.fae"), QStringLiteral("invoice.mnd"),
        QStringLiteral("delivery-slip.fae"), QStringLiteral("delivery-slip.mnd"),
        QStringLiteral("shipping-label.fae"), QStringLiteral("shipping-label.mnd"),
        QStringLiteral("sample-face.fae") };
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray bytes = readFileBytes(samplesDir() + QLatin1Char('/') + name);
        ASSERT_FALSE(bytes.isEmpty());
        EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n"));
        EXPECT_EQ(bytes.count('\r'), bytes.count("\r\n"));
        const QString text = decodeCp932(bytes);
        EXPECT_FALSE(text.contains(QChar::ReplacementCharacter));
        EXPECT_EQ(vorlix::shell::toCp932(text), bytes);
        // Japanese text that happened to be valid UTF-8 would be read as UTF-8.
        EXPECT_NE(QString::fromUtf8(bytes).toUtf8(), bytes);
        if (name.endsWith(QStringLiteral(".mnd"))) {
            EXPECT_TRUE(text.contains(QStringLiteral("encoding=\"Shift_JIS\"")));
            EXPECT_TRUE(text.contains(QStringLiteral("<path>CurDir</path>")));
            EXPECT_TRUE(text.contains(QStringLiteral("<face>") + QFileInfo(name).completeBaseName()
                + QStringLiteral(".fae</face>")));
        }
    }
}

// A figure as the samples write it: digits alone, which the faces format.
long long amountOf(const QString& plain)
{
    static const QRegularExpression digitsOnly(QStringLiteral("^[0-9]+$"));
    EXPECT_TRUE(digitsOnly.match(plain).hasMatch()) << plain.toStdString();
    return plain.toLongLong();
}

QStringList valuesOf(const QString& piece, const QString& element)
{
    QStringList values;
    const QRegularExpression re(QStringLiteral("<%1>([^<]*)</%1>").arg(element));
    for (auto it = re.globalMatch(piece); it.hasNext();)
        values << it.next().captured(1);
    return values;
}

// Each piece must add up (quantity x price, subtotal, 10 % tax rounded down, total), with its
// figures as plain numbers: the faces format and align them.
TEST(SampleFiles, DataDocumentsAddUpInPlainNumbers)
{
    struct Doc {
        const char* name;
        int pieces;
        const char* total;
    };
    const Doc docs[] = { { "invoice.mnd", 4, "total" }, { "delivery-slip.mnd", 2, "total" },
        { "nouhinsho.mnd", 3, "sum" } };
    for (const Doc& doc : docs) {
        SCOPED_TRACE(doc.name);
        const QString text = vorlix::shell::decodeText(
            readFileBytes(samplesDir() + QLatin1Char('/') + QString::fromLatin1(doc.name)))
                                 .text;
        const QStringList pieces = text.split(QStringLiteral("<piece>")).mid(1);
        ASSERT_EQ(pieces.size(), doc.pieces);
        for (const QString& piece : pieces) {
            const QStringList qty = valuesOf(piece, QStringLiteral("qty"));
            const QStringList price = valuesOf(piece, QStringLiteral("price"));
            const QStringList amount = valuesOf(piece, QStringLiteral("amount"));
            ASSERT_FALSE(qty.isEmpty());
            ASSERT_EQ(qty.size(), price.size());
            ASSERT_EQ(qty.size(), amount.size());
            long long sum = 0;
            for (int i = 0; i < qty.size(); ++i) {
                EXPECT_EQ(amountOf(qty[i]) * amountOf(price[i]), amountOf(amount[i]));
                sum += amountOf(amount[i]);
            }
            const QString subtotal = valuesOf(piece, QStringLiteral("subtotal")).value(0);
            const QString tax = valuesOf(piece, QStringLiteral("tax")).value(0);
            const QString total = valuesOf(piece, QString::fromLatin1(doc.total)).value(0);
            EXPECT_EQ(amountOf(subtotal), sum);
            EXPECT_EQ(amountOf(tax), sum / 10);
            EXPECT_EQ(amountOf(total), sum + sum / 10);
        }
    }
}

} // namespace

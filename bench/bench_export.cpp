// End to end: generates invoice data documents of 100 to 100,000 records (and one of 10,000
// records of forty Japanese fields each, one of 10,000 invoices of 1 to 30 items that the sample's
// rows block spreads over about 19,000 pages, and one invoice of 100,000 items on about 9,100
// pages), runs the built `vorlix -e=out.pdf` on each in a private
// settings and data folder, and prints the wall time, pages per second and the child's peak
// resident memory (getrusage of the child), as medians of several runs. The invoices of the
// --qr-sizes (1,000 unless given) are exported a second time with a QR code of the invoice's
// number and amount on every page ("inv+qr"), to compare with the same invoices without.
//
// With --print the invoices (1,000 and 10,000 unless --sizes says otherwise) are exported and then
// printed with `vorlix -p` on a queue of a private CUPS daemon (scripts/cups-sandbox; needs root)
// that holds its jobs without printing them: the time until vorlix exits, the time until the
// server holds the whole job, the peak memory and the most the child's temporary folder held.
//
//   bench_export [--runs N] [--sizes 100,1000,...] [--qr-sizes 1000,...] [--no-fields]
//                [--no-rows] [--vorlix PATH] [--keep DIR] [--print]
//
// The load average is printed with every row: figures taken on a busy machine are not comparable.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Options {
    int runs = 3;
    std::vector<int> sizes { 100, 1000, 10000, 100000 };
    std::vector<int> qrSizes { 1000 };
    bool fields = true;
    bool rows = true;
    QString vorlix = QStringLiteral(VORLIX_BINARY);
    QString keep;
    bool print = false;
};

struct RunResult {
    double seconds = 0.0;
    long peakKiB = 0;
    int status = -1;
    long long pages = 0;
    double heldSeconds = 0.0; // printing: until the server holds the whole job
    long long peakTemporaryKiB = 0; // printing: the most the temporary folder held
};

// The private CUPS daemon of a print run: its folder, socket and the one queue, which accepts
// jobs but does not print them, so that the figures are vorlix's and the server's alone.
struct PrintServer {
    QString folder;
    QString socket;
    bool running = false;
};

constexpr char BenchQueue[] = "BenchPDF";

int runScript(const QStringList& arguments)
{
    const QString script = QStringLiteral(VORLIX_SOURCE_DIR "/scripts/cups-sandbox");
    std::string line = '"' + script.toStdString() + '"';
    for (const QString& argument : arguments)
        line += " \"" + argument.toStdString() + '"';
    return std::system((line + " >/dev/null").c_str());
}

int runClient(const PrintServer& server, const char* command)
{
    const std::string line = "CUPS_SERVER=\"" + server.socket.toStdString() + "\" " + command;
    return std::system(line.c_str());
}

PrintServer startPrintServer(const QString& folder)
{
    PrintServer server;
    server.folder = folder + QStringLiteral("/cups");
    server.socket = server.folder + QStringLiteral("/cups.sock");
    QDir().mkpath(server.folder);
    QFile::setPermissions(server.folder,
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
            | QFileDevice::ReadOther | QFileDevice::ExeOther | QFileDevice::ReadGroup
            | QFileDevice::ExeGroup);
    server.running
        = runScript({ QStringLiteral("start"), server.folder, QString::fromLatin1(BenchQueue) })
            == 0
        && runClient(server, (std::string("cupsdisable ") + BenchQueue).c_str()) == 0;
    return server;
}

// Bytes of the files directly in a folder.
long long folderKiB(const QString& folder)
{
    long long bytes = 0;
    for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden))
        bytes += file.size();
    return bytes / 1024;
}

// Whether the server has a job not yet completed (the held queue keeps it) with every byte:
// its spool file has stopped growing.
bool serverHoldsJob(const PrintServer& server, long long& lastSize)
{
    long long size = 0;
    for (const QFileInfo& file :
        QDir(server.folder + QStringLiteral("/spool")).entryInfoList({ QStringLiteral("d*") }))
        size += file.size();
    const bool stable = size > 0 && size == lastSize;
    lastSize = size;
    return stable;
}

// Three customers cycled through, with five to seven invoice lines each, as in the sample: plain
// figures and dates, which the sample's face formats.
const char* const Customers[][4] = {
    { "株式会社　山田商事", "大阪府大阪市北区梅田一丁目2番3号", "梅田センタービル12階", "御中" },
    { "有限会社　中部物産", "愛知県名古屋市中区錦三丁目15番8号", "錦プレイス5階", "御中" },
    { "鈴木　一郎", "神奈川県藤沢市鵠沼1035番地", "", "様" },
};
const char* const Items[] = { "基幹システム保守サービス（12か月）", "帳票レイアウト作成作業",
    "ノートパソコン（14型・メモリ16GB）", "液晶ディスプレイ（24型）", "USBキーボード",
    "機器設置・初期設定作業", "出張費（大阪）" };

// Five to seven lines an invoice, as the sample has.
int sampleLines(int record)
{
    return 5 + record % 3;
}

QByteArray invoiceData(int records, int (*linesOf)(int) = sampleLines)
{
    QString text
        = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<TZQ_002>\r\n"
                         "<Title>請求書（ベンチマーク）</Title>\r\n<face>invoice.fae</face>\r\n"
                         "<path>CurDir</path>\r\n");
    text.reserve(static_cast<qsizetype>(records) * 1400);
    for (int r = 0; r < records; ++r) {
        const auto& customer = Customers[r % 3];
        text += QStringLiteral("<piece>\r\n  <no>HS-2026-%1</no>\r\n  <date>2026-12-07</date>\r\n")
                    .arg(r + 1, 6, 10, QLatin1Char('0'));
        text += QStringLiteral("  <zip>530-%1</zip>\r\n  <addr1>%2</addr1>\r\n")
                    .arg(r % 10000, 4, 10, QLatin1Char('0'))
                    .arg(QString::fromUtf8(customer[1]));
        if (*customer[2])
            text += QStringLiteral("  <addr2>%1</addr2>\r\n").arg(QString::fromUtf8(customer[2]));
        text += QStringLiteral("  <to>%1</to>\r\n  <honor>%2</honor>\r\n")
                    .arg(QString::fromUtf8(customer[0]), QString::fromUtf8(customer[3]));
        text += QStringLiteral(
            "  <attn>経理部　山本 花子 様</attn>\r\n"
            "  <subject>システム保守および機器導入（2026年12月分）</subject>\r\n");
        long long subtotal = 0;
        QString lines;
        const int count = linesOf(r);
        for (int i = 0; i < count; ++i) {
            const long long qty = 1 + (r + i) % 5;
            const long long price = 2980 + 1000LL * ((r * 7 + i * 13) % 150);
            subtotal += qty * price;
            lines += QStringLiteral("  <item>\r\n    <name>%1</name>\r\n    <qty>%2</qty>\r\n"
                                    "    <unit>式</unit>\r\n    <price>%3</price>\r\n"
                                    "    <amount>%4</amount>\r\n  </item>\r\n")
                         .arg(QString::fromUtf8(Items[(r + i) % 7]))
                         .arg(qty)
                         .arg(price)
                         .arg(qty * price);
        }
        const long long tax = subtotal / 10;
        text += lines;
        text += QStringLiteral(
            "  <subtotal>%1</subtotal>\r\n  <tax>%2</tax>\r\n"
            "  <total>%3</total>\r\n  <due>2027-01-29</due>\r\n"
            "  <biko>納品物の保証期間は納品日より3年間です。</biko>\r\n</piece>\r\n")
                    .arg(subtotal)
                    .arg(tax)
                    .arg(subtotal + tax);
    }
    text += QStringLiteral("</TZQ_002>\r\n");
    return text.toUtf8();
}

// Forty Japanese fields a record, each printed on its own line of one page.
QByteArray fieldsFace()
{
    QString face = QStringLiteral("fs,1,\"ＭＳ 明朝\",10,0;\r\nps,1,1,0,0;\r\npiece;\r\nf,1;\r\n");
    for (int i = 1; i <= 40; ++i)
        face += QStringLiteral("s,150,%1,%34+$f%2+%34;\r\n").arg(100 + i * 65).arg(i);
    return face.toUtf8();
}

QByteArray fieldsData(int records)
{
    QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<TZQ_002>\r\n"
                                  "<face>fields.fae</face>\r\n<path>CurDir</path>\r\n");
    text.reserve(static_cast<qsizetype>(records) * 2000);
    for (int r = 0; r < records; ++r) {
        text += QStringLiteral("<piece>\r\n");
        for (int i = 1; i <= 40; ++i)
            text += QStringLiteral(
                "<f%1>第%2項目　東京都千代田区丸の内%3丁目　株式会社見本</f%1>\r\n")
                        .arg(i)
                        .arg(i)
                        .arg((r + i) % 9 + 1);
        text += QStringLiteral("</piece>\r\n");
    }
    text += QStringLiteral("</TZQ_002>\r\n");
    return text.toUtf8();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The invoice face with a QR code beside the bank details: the invoice's number and amount.
const char QrStatement[] = "bc,1650,2080,\"qr\",0,5,%34+$no+%34,%34+$seikyu+%34;\r\n";

// The sample invoice face (Shift_JIS bytes) with the QR statement, plain ASCII, at its end;
// nothing when the face cannot be read.
QByteArray invoiceWithQr(const QString& folder)
{
    QFile face(folder + QStringLiteral("/invoice.fae"));
    if (!face.open(QIODevice::ReadOnly))
        return {};
    const QByteArray text = face.readAll();
    return text.isEmpty() ? QByteArray() : text + QByteArray(QrStatement);
}

// Pages of a PDF as its writer lays them out: one "/Type /Page" object each.
long long countPdfPages(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    long long pages = 0;
    QByteArray carry;
    static const QByteArray marker("/Type /Page");
    while (!file.atEnd()) {
        QByteArray chunk = carry + file.read(1 << 20);
        qsizetype at = 0;
        while ((at = chunk.indexOf(marker, at)) >= 0) {
            const qsizetype next = at + marker.size();
            if (next < chunk.size() && chunk[next] != 's')
                ++pages;
            at = next;
        }
        carry = chunk.right(marker.size());
    }
    return pages;
}

RunResult runVorlix(const Options& options, const QString& folder, const QString& input,
    const QString& face, const PrintServer* server = nullptr)
{
    RunResult result;
    const std::string output = (folder + QStringLiteral("/out.pdf")).toStdString();
    const std::string exportArg = server ? std::string("-p") : "-e=" + output;
    const std::string printerArg = std::string("-r=") + BenchQueue;
    const std::string temporary = (folder + QStringLiteral("/tmp")).toStdString();
    const std::string faceArg = face.isEmpty() ? std::string() : "-f=" + face.toStdString();
    const std::string inputArg = input.toStdString();
    const std::string program = options.vorlix.toStdString();
    const std::string dir = folder.toStdString();
    std::remove(output.c_str());
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(dir.c_str()) != 0)
            _exit(127);
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, 1);
        setenv("HOME", (dir + "/home").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
        setenv("XDG_DATA_HOME", (dir + "/data").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (dir + "/runtime").c_str(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("TMPDIR", temporary.c_str(), 1);
        if (server) {
            setenv("CUPS_SERVER", server->socket.toStdString().c_str(), 1);
            execl(program.c_str(), program.c_str(), exportArg.c_str(), printerArg.c_str(),
                inputArg.c_str(), static_cast<char*>(nullptr));
        } else if (faceArg.empty())
            execl(program.c_str(), program.c_str(), exportArg.c_str(), inputArg.c_str(),
                static_cast<char*>(nullptr));
        else
            execl(program.c_str(), program.c_str(), exportArg.c_str(), faceArg.c_str(),
                inputArg.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage {};
    const auto since = [&start] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    if (!server) {
        wait4(child, &status, 0, &usage);
    } else {
        // The temporary folder is looked at while the child runs: a spool file lives only until
        // it has been sent.
        const QString temporaryFolder = QString::fromStdString(temporary);
        while (wait4(child, &status, WNOHANG, &usage) == 0) {
            result.peakTemporaryKiB = std::max(result.peakTemporaryKiB, folderKiB(temporaryFolder));
            usleep(20000);
        }
    }
    result.seconds = since();
    result.peakKiB = usage.ru_maxrss;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (!server) {
        result.pages = countPdfPages(QString::fromStdString(output));
        return result;
    }
    long long lastSize = -1;
    while (!serverHoldsJob(*server, lastSize) && since() < result.seconds + 600)
        usleep(50000);
    result.heldSeconds = since() - 0.05;
    runClient(*server, (std::string("cancel -a ") + BenchQueue + " >/dev/null 2>&1").c_str());
    return result;
}

template <typename T> T median(std::vector<T> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QString loadAverage()
{
    double load[3] = {};
    if (getloadavg(load, 3) < 1)
        return QStringLiteral("?");
    return QString::number(load[0], 'f', 2);
}

void measure(const Options& options, const QString& folder, const char* name, int records,
    const QString& input, const QString& face = {})
{
    std::vector<double> seconds;
    std::vector<long> peaks;
    RunResult last;
    const int runs = records >= 100000 ? std::min(options.runs, 3) : options.runs;
    const QString loadBefore = loadAverage();
    for (int i = 0; i < runs; ++i) {
        last = runVorlix(options, folder, input, face);
        seconds.push_back(last.seconds);
        peaks.push_back(last.peakKiB);
    }
    const double wall = median(seconds);
    std::printf("%-9s %8d %5d %9.3f %8.3f %8lld %10.0f %9.1f %6d  %s/%s\n", name, records, runs,
        wall, *std::min_element(seconds.begin(), seconds.end()), last.pages,
        static_cast<double>(last.pages) / wall, static_cast<double>(median(peaks)) / 1024.0,
        last.status, qPrintable(loadBefore), qPrintable(loadAverage()));
    std::fflush(stdout);
}

// Exports, then prints, the same invoices; the ratio is printing's time over export's.
void measurePrint(const Options& options, const QString& folder, const PrintServer& server,
    int records, const QString& input)
{
    std::vector<double> exported;
    std::vector<double> exited;
    std::vector<double> held;
    std::vector<long> peaks;
    std::vector<long long> temporaries;
    RunResult last;
    const QString loadBefore = loadAverage();
    for (int i = 0; i < options.runs; ++i) {
        exported.push_back(runVorlix(options, folder, input, {}).seconds);
        last = runVorlix(options, folder, input, {}, &server);
        exited.push_back(last.seconds);
        held.push_back(last.heldSeconds);
        peaks.push_back(last.peakKiB);
        temporaries.push_back(last.peakTemporaryKiB);
    }
    std::printf("%-9s %8d %5d %9.3f %9.3f %9.3f %6.2f %9.1f %9.1f %6d  %s/%s\n", "print", records,
        options.runs, median(exported), median(exited), median(held),
        median(exited) / median(exported), static_cast<double>(median(peaks)) / 1024.0,
        static_cast<double>(median(temporaries)) / 1024.0, last.status, qPrintable(loadBefore),
        qPrintable(loadAverage()));
    std::fflush(stdout);
}

bool parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        const QString value = i + 1 < argc ? QString::fromLocal8Bit(argv[i + 1]) : QString();
        if (arg == u"--runs" && !value.isEmpty()) {
            options.runs = std::max(1, value.toInt());
            ++i;
        } else if (arg == u"--sizes" && !value.isEmpty()) {
            options.sizes.clear();
            for (const QString& size : value.split(u','))
                options.sizes.push_back(size.toInt());
            ++i;
        } else if (arg == u"--qr-sizes" && !value.isEmpty()) {
            options.qrSizes.clear();
            for (const QString& size : value.split(u','))
                options.qrSizes.push_back(size.toInt());
            ++i;
        } else if (arg == u"--vorlix" && !value.isEmpty()) {
            options.vorlix = value;
            ++i;
        } else if (arg == u"--keep" && !value.isEmpty()) {
            options.keep = value;
            ++i;
        } else if (arg == u"--no-fields") {
            options.fields = false;
        } else if (arg == u"--no-rows") {
            options.rows = false;
        } else if (arg == u"--print") {
            options.print = true;
        } else {
            std::fprintf(stderr,
                "usage: bench_export [--runs N] [--sizes 100,1000,...] [--qr-sizes 1000,...] "
                "[--no-fields] [--no-rows] [--vorlix PATH] [--keep DIR] [--print]\n");
            return false;
        }
    }
    return true;
}

int printInvoices(Options options, const QString& folder)
{
    const PrintServer server = startPrintServer(folder);
    if (!server.running) {
        std::fprintf(stderr, "the private CUPS daemon cannot run here (it needs root)\n");
        runScript({ QStringLiteral("stop"), server.folder });
        return 1;
    }
    if (options.sizes == Options().sizes)
        options.sizes = { 1000, 10000 };
    std::printf("%-9s %8s %5s %9s %9s %9s %6s %9s %9s %6s  %s\n", "work", "records", "runs",
        "export s", "exit s", "held s", "ratio", "peak MB", "tmp MB", "status",
        "load before/after");
    for (const int records : options.sizes) {
        const QString input = QStringLiteral("invoice-%1.mnd").arg(records);
        if (!writeFile(folder + u'/' + input, invoiceData(records)))
            break;
        measurePrint(options, folder, server, records, input);
    }
    runScript({ QStringLiteral("stop"), server.folder });
    return 0;
}

}

int main(int argc, char** argv)
{
    Options options;
    if (!parse(argc, argv, options))
        return 2;
    QTemporaryDir temporary;
    const QString folder = options.keep.isEmpty() ? temporary.path() : options.keep;
    QDir(folder).mkpath(QStringLiteral("."));
    for (const char* sub : { "home", "config", "data", "runtime" })
        QDir(folder).mkpath(QString::fromLatin1(sub));
    QFile::setPermissions(folder + QStringLiteral("/runtime"),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QFile::remove(folder + QStringLiteral("/invoice.fae"));
    QFile::remove(folder + QStringLiteral("/invoice-qr.fae"));
    if (!QFile::copy(QStringLiteral(VORLIX_SAMPLES_DIR "/invoice.fae"),
            folder + QStringLiteral("/invoice.fae"))
        || invoiceWithQr(folder).isEmpty()
        || !writeFile(folder + QStringLiteral("/invoice-qr.fae"), invoiceWithQr(folder))
        || !writeFile(folder + QStringLiteral("/fields.fae"), fieldsFace())) {
        std::fprintf(stderr, "cannot prepare %s\n", qPrintable(folder));
        return 1;
    }
    std::printf("vorlix: %s\n", qPrintable(options.vorlix));
    QDir(folder).mkpath(QStringLiteral("tmp"));
    if (options.print)
        return printInvoices(options, folder);
    std::printf("%-9s %8s %5s %9s %8s %8s %10s %9s %6s  %s\n", "work", "records", "runs",
        "median s", "best s", "pages", "pages/s", "peak MB", "status", "load before/after");
    for (const int records : options.sizes) {
        const QString input = QStringLiteral("invoice-%1.mnd").arg(records);
        if (!writeFile(folder + u'/' + input, invoiceData(records)))
            return 1;
        measure(options, folder, "invoices", records, input);
        if (std::find(options.qrSizes.begin(), options.qrSizes.end(), records)
            != options.qrSizes.end())
            measure(options, folder, "inv+qr", records, input, QStringLiteral("invoice-qr.fae"));
    }
    if (options.rows) {
        // Every count from 1 to 30 equally often; eleven rows fit on a page of the sample.
        const int records = 10000;
        const QString input = QStringLiteral("rows-%1.mnd").arg(records);
        if (!writeFile(folder + u'/' + input,
                invoiceData(records, [](int record) { return 1 + (record * 7) % 30; })))
            return 1;
        measure(options, folder, "rows", records, input);
        const QString single = QStringLiteral("rows-100000.mnd");
        if (!writeFile(folder + u'/' + single, invoiceData(1, [](int) { return 100000; })))
            return 1;
        measure(options, folder, "100k rows", 1, single);
    }
    if (options.fields) {
        const int records = 10000;
        const QString input = QStringLiteral("fields-%1.mnd").arg(records);
        if (!writeFile(folder + u'/' + input, fieldsData(records)))
            return 1;
        measure(options, folder, "40 fields", records, input);
    }
    return 0;
}

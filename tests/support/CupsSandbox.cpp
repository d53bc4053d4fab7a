#include "tests/support/CupsSandbox.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <cups/cups.h>
#include <map>
#include <unistd.h>

namespace vorlix::test {

namespace {

    QString script()
    {
        return qEnvironmentVariable("VORLIX_SOURCE_DIR") + QStringLiteral("/scripts/cups-sandbox");
    }

}

CupsSandbox::CupsSandbox(const QStringList& queues, const QString& configuration)
    : m_dir(QDir::tempPath() + QStringLiteral("/vorlix-cups-XXXXXX"))
{
    if (geteuid() != 0) {
        m_unavailable = QStringLiteral("the private CUPS daemon needs root");
        return;
    }
    // The daemon's filters run as the lp user: the folder must be reachable for them.
    QFile::setPermissions(m_dir.path(),
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
            | QFile::ReadOther | QFile::ExeOther);
    QProcess start;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CUPS_SANDBOX_CONF"), configuration);
    start.setProcessEnvironment(environment);
    start.start(script(), QStringList { QStringLiteral("start"), m_dir.path() } + queues);
    start.waitForFinished(60000);
    m_started = true;
    if (start.exitStatus() != QProcess::NormalExit || start.exitCode() != 0)
        m_unavailable = QStringLiteral("cupsd cannot run here: ")
            + QString::fromUtf8(start.readAllStandardError());
}

CupsSandbox::~CupsSandbox()
{
    stop();
}

void CupsSandbox::stop()
{
    if (m_started)
        QProcess::execute(script(), { QStringLiteral("stop"), m_dir.path() });
    m_started = false;
}

void CupsSandbox::useInThisProcess() const
{
    qputenv("CUPS_SERVER", socket().toLocal8Bit());
}

int CupsSandbox::client(const QString& program, const QStringList& arguments) const
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CUPS_SERVER"), socket());
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(30000))
        return -1;
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

void CupsSandbox::clearOutput() const
{
    QDir out(m_dir.path() + QStringLiteral("/out"));
    for (const QString& pdf : out.entryList({ QStringLiteral("*.pdf") }, QDir::Files))
        out.remove(pdf);
}

QStringList CupsSandbox::waitForPdfs(int count, int timeoutMs) const
{
    const QDir out(m_dir.path() + QStringLiteral("/out"));
    std::map<QString, qint64> lastSizes;
    QElapsedTimer clock;
    clock.start();
    QStringList arrived;
    while (clock.elapsed() < timeoutMs) {
        QThread::msleep(200);
        const QFileInfoList pdfs = out.entryInfoList(
            { QStringLiteral("*.pdf") }, QDir::Files, QDir::Time | QDir::Reversed);
        bool stable = pdfs.size() >= count && !jobsPending();
        arrived.clear();
        for (const QFileInfo& pdf : pdfs) {
            const qint64 size = pdf.size();
            stable = stable && size > 0 && lastSizes[pdf.filePath()] == size;
            lastSizes[pdf.filePath()] = size;
            arrived << pdf.filePath();
        }
        if (stable)
            return arrived;
    }
    return arrived;
}

bool CupsSandbox::jobsPending() const
{
    QProcess queue;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CUPS_SERVER"), socket());
    queue.setProcessEnvironment(environment);
    queue.start(QStringLiteral("lpstat"), { QStringLiteral("-o") });
    return !queue.waitForFinished(10000) || !queue.readAllStandardOutput().trimmed().isEmpty();
}

QStringList CupsSandbox::newestJobAttributes() const
{
    // Asked over a connection of its own: the process's CUPS_SERVER may point elsewhere.
    http_t* http = httpConnect2(socket().toLocal8Bit().constData(), 0, nullptr, AF_LOCAL,
        HTTP_ENCRYPTION_NEVER, 1, 30000, nullptr);
    if (!http)
        return {};
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOBS);
    ippAddString(
        request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, "ipp://localhost/");
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "all");
    ippAddString(
        request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "all");
    ipp_t* response = cupsDoRequest(http, request, "/");
    // The jobs come as groups of attributes, one after the other; the newest has the highest
    // number.
    std::map<int, QStringList> jobs;
    QStringList group;
    int id = 0;
    const auto endGroup = [&] {
        if (id > 0)
            jobs[id] = group;
        group.clear();
        id = 0;
    };
    for (ipp_attribute_t* a = ippFirstAttribute(response); a; a = ippNextAttribute(response)) {
        if (!ippGetName(a)) {
            endGroup();
            continue;
        }
        if (ippGetGroupTag(a) != IPP_TAG_JOB)
            continue;
        const QByteArray name = ippGetName(a);
        if (name == "job-id")
            id = ippGetInteger(a, 0);
        char value[1024];
        ippAttributeString(a, value, sizeof value);
        group << QString::fromUtf8(name + '=' + value);
    }
    endGroup();
    ippDelete(response);
    httpClose(http);
    return jobs.empty() ? QStringList() : jobs.rbegin()->second;
}

}

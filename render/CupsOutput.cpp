#include "render/CupsOutput.h"

#include "shell/SignalCleanup.h"

#include <QFileInfo>
#include <cstring>
#include <cups/cups.h>
#include <optional>

namespace vorlix::render {

namespace {

    constexpr int DefaultTimeout = 30;

    QString lastError()
    {
        return QString::fromUtf8(cupsLastErrorString());
    }

    // The server as the user would name it: its socket, or its host and port.
    QString serverName()
    {
        const QString server = QString::fromUtf8(cupsServer());
        return server.startsWith(u'/') ? server : server + u':' + QString::number(ippPort());
    }

    QString noAnswer()
    {
        return QStringLiteral("CUPS (%1) が %2 秒応答しません")
            .arg(serverName())
            .arg(CupsOutput::timeoutSeconds());
    }

}

// A connection that gives up when the server is silent for the time-out, and says so.
struct CupsOutput::Connection {
    http_t* http = nullptr;
    bool timedOut = false;

    Connection()
    {
        const int seconds = timeoutSeconds();
        int cancel = 0;
        http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
            seconds * 1000, &cancel);
        if (http)
            httpSetTimeout(http, seconds, &Connection::giveUp, this);
    }
    ~Connection()
    {
        if (http)
            httpClose(http);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // libcups asks whether to go on waiting once the time-out has passed: never.
    static int giveUp(http_t*, void* data)
    {
        static_cast<Connection*>(data)->timedOut = true;
        return 0;
    }

    // The error of the last request on this connection.
    [[nodiscard]] QString error() const { return timedOut ? noAnswer() : lastError(); }
};

// On a connection of its own: the job's own one may be in the middle of a request, or gone with
// the server.
void CupsOutput::cancelJob(const QByteArray& queue, int jobId)
{
    if (jobId <= 0)
        return;
    Connection connection;
    if (connection.http)
        cupsCancelJob2(connection.http, queue.constData(), jobId, 0);
}

CupsOutput::CupsOutput(QString queue, QList<Option> options)
    : m_queue(std::move(queue))
    , m_options(std::move(options))
{
}

CupsOutput::~CupsOutput()
{
    discard();
}

int CupsOutput::timeoutSeconds()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("VORLIX_CUPS_TIMEOUT", &ok);
    return ok && seconds >= 1 && seconds <= 3600 ? seconds : DefaultTimeout;
}

QString CupsOutput::probeServer()
{
    const QString server = QString::fromUtf8(cupsServer());
    if (server.startsWith(u'/') && !QFileInfo::exists(server))
        return {};
    Connection connection;
    if (!connection.http)
        return connection.timedOut ? noAnswer() : QString();
    ipp_t* response = cupsDoRequest(connection.http, ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/");
    ippDelete(response);
    return connection.timedOut ? noAnswer() : QString();
}

bool CupsOutput::fail(const QString& what)
{
    if (m_error.isEmpty())
        m_error = what;
    return false;
}

bool CupsOutput::begin(const QString& title)
{
    m_http = std::make_unique<Connection>();
    if (!m_http->http)
        return fail(m_http->timedOut ? noAnswer() : lastError());
    cups_option_t* options = nullptr;
    int count = 0;
    for (const Option& option : std::as_const(m_options))
        count = cupsAddOption(option.first.constData(), option.second.constData(), count, &options);
    const QByteArray queue = m_queue.toUtf8();
    const QByteArray name = title.toUtf8();
    // A signal that ends the program must not leave the job waiting for a document that never
    // comes (the queue would hold it until the server's own time-out). The job and its
    // cancellation are registered in one step: a signal that comes while the server is creating
    // the job is taken once the job has its number.
    const bool created = shell::SignalCleanup::addMade(
        this,
        [&] {
            m_jobId
                = cupsCreateJob(m_http->http, queue.constData(), name.constData(), count, options);
            return m_jobId > 0;
        },
        [this, queue] { cancelJob(queue, m_jobId); });
    cupsFreeOptions(count, options);
    if (!created) {
        m_jobId = 0;
        return fail(m_http->error());
    }
    if (cupsStartDocument(
            m_http->http, queue.constData(), m_jobId, name.constData(), CUPS_FORMAT_PDF, 1)
        != HTTP_STATUS_CONTINUE)
        return fail(m_http->error());
    m_open = true;
    return true;
}

bool CupsOutput::write(const QByteArray& bytes)
{
    if (!m_open)
        return false;
    const http_status_t status
        = cupsWriteRequestData(m_http->http, bytes.constData(), static_cast<size_t>(bytes.size()));
    if (status == HTTP_STATUS_CONTINUE)
        return true;
    m_open = false;
    if (m_http->timedOut)
        return fail(noAnswer());
    // A connection that broke says why in errno terms; an answer of the server in HTTP's.
    if (status == HTTP_STATUS_ERROR)
        return fail(QString::fromLocal8Bit(std::strerror(httpError(m_http->http))));
    return fail(QString::fromUtf8(httpStatus(status)));
}

bool CupsOutput::commit()
{
    if (!m_open || !m_error.isEmpty()) {
        discard();
        return fail(QStringLiteral("the job could not be sent"));
    }
    m_open = false;
    const QByteArray queue = m_queue.toUtf8();
    if (cupsFinishDocument(m_http->http, queue.constData()) > IPP_STATUS_OK_CONFLICTING) {
        fail(m_http->error());
        discard();
        return false;
    }
    if (!jobStands()) {
        discard();
        return false;
    }
    m_committed = true;
    shell::SignalCleanup::remove(this);
    m_http.reset();
    return true;
}

// A job the server took can still have been stopped at once (a filter that failed, a limit):
// its state says so.
bool CupsOutput::jobStands()
{
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
        "/jobs/%d", m_jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
    ippAddString(
        request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    static const char* const wanted[] = { "job-state", "job-state-reasons" };
    ippAddStrings(
        request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr, wanted);
    ipp_t* response = cupsDoRequest(m_http->http, request, "/");
    if (!response || cupsLastError() > IPP_STATUS_OK_CONFLICTING) {
        ippDelete(response);
        return fail(m_http->error());
    }
    const int state = ippGetInteger(ippFindAttribute(response, "job-state", IPP_TAG_ENUM), 0);
    QStringList reasons;
    ipp_attribute_t* reason = ippFindAttribute(response, "job-state-reasons", IPP_TAG_KEYWORD);
    for (int i = 0; reason && i < ippGetCount(reason); ++i)
        reasons << QString::fromUtf8(ippGetString(reason, i, nullptr));
    ippDelete(response);
    if (state == IPP_JSTATE_CANCELED || state == IPP_JSTATE_ABORTED)
        return fail(
            QStringLiteral("job %1 %2 (%3)")
                .arg(m_jobId)
                .arg(QString::fromUtf8(ippEnumString("job-state", state)), reasons.join(u',')));
    return true;
}

void CupsOutput::discard()
{
    shell::SignalCleanup::remove(this);
    m_open = false;
    m_http.reset();
    if (!m_committed && m_jobId > 0)
        cancelJob(m_queue.toUtf8(), m_jobId);
    m_committed = true;
}

}

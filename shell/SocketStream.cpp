#include "shell/SocketStream.h"

#include <QAbstractSocket>
#include <QSignalBlocker>
#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vorlix::shell {

SocketStream::SocketStream(QObject* parent)
    : QObject(parent)
{
}

SocketStream::~SocketStream()
{
    close();
}

bool SocketStream::takeOver(QAbstractSocket& socket)
{
    close();
    m_error.clear();
    const auto descriptor = static_cast<int>(socket.socketDescriptor());
    if (descriptor < 0 || socket.state() != QAbstractSocket::ConnectedState)
        return false;
    // A second descriptor keeps the connection open once the socket lets go of its own; the
    // socket's last signals would only tell of a disconnection that did not happen.
    m_descriptor = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
    {
        const QSignalBlocker quiet(socket);
        socket.abort();
    }
    if (m_descriptor < 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    ::fcntl(m_descriptor, F_SETFL, ::fcntl(m_descriptor, F_GETFL) | O_NONBLOCK);
    m_reading = std::make_unique<QSocketNotifier>(m_descriptor, QSocketNotifier::Read);
    connect(m_reading.get(), &QSocketNotifier::activated, this, &SocketStream::readyRead);
    m_writing = std::make_unique<QSocketNotifier>(m_descriptor, QSocketNotifier::Write);
    m_writing->setEnabled(false);
    connect(m_writing.get(), &QSocketNotifier::activated, this, &SocketStream::sendPending);
    return true;
}

void SocketStream::write(const QByteArray& bytes)
{
    m_pending += bytes;
    sendPending();
}

void SocketStream::sendPending()
{
    while (m_descriptor >= 0 && !m_pending.isEmpty()) {
        const ssize_t sent = ::send(m_descriptor, m_pending.constData(),
            static_cast<size_t>(m_pending.size()), MSG_NOSIGNAL);
        if (sent > 0) {
            m_pending.remove(0, sent);
            continue;
        }
        if (sent < 0 && errno == EINTR)
            continue;
        const bool later = sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
        // A connection that takes no more tells why when it is read.
        if (!later)
            m_pending.clear();
        m_writing->setEnabled(later);
        return;
    }
    if (m_writing)
        m_writing->setEnabled(false);
}

SocketStream::Read SocketStream::readInto(QByteArray& into, qsizetype most)
{
    if (m_descriptor < 0)
        return { 0, End::Failed };
    const qsizetype before = into.size();
    into.resize(before + most);
    ssize_t got = 0;
    do
        got = ::read(m_descriptor, into.data() + before, static_cast<size_t>(most));
    while (got < 0 && errno == EINTR);
    const int error = errno;
    into.resize(before + std::max<qsizetype>(got, 0));
    if (got > 0)
        return { got, End::Open };
    if (got == 0)
        return ended(End::Closed, 0);
    if (error == EAGAIN || error == EWOULDBLOCK)
        return { 0, End::Open };
    return ended(error == ECONNRESET ? End::Reset : End::Failed, error);
}

SocketStream::Read SocketStream::ended(End end, int error)
{
    if (error != 0)
        m_error = QString::fromLocal8Bit(std::strerror(error));
    close();
    return { 0, end };
}

void SocketStream::close()
{
    m_reading.reset();
    m_writing.reset();
    m_pending.clear();
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_descriptor = -1;
}

}

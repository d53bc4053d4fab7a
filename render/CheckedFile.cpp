#include "render/CheckedFile.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace vorlix::render {

namespace {

    // Small writes (the engines write a few bytes at a time) go out together.
    constexpr qsizetype BufferSize = 1 << 16;

}

CheckedFile::CheckedFile(const QString& path)
    : m_path(path)
{
}

CheckedFile::~CheckedFile()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

bool CheckedFile::open(OpenMode mode)
{
    m_descriptor = ::open(
        QFile::encodeName(m_path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (m_descriptor < 0) {
        keepError(errno);
        return false;
    }
    return QIODevice::open(mode | QIODevice::WriteOnly);
}

qint64 CheckedFile::readData(char*, qint64)
{
    return -1;
}

qint64 CheckedFile::writeData(const char* data, qint64 size)
{
    if (!m_error.isEmpty() || m_descriptor < 0)
        return -1;
    m_buffer.append(data, size);
    if (m_buffer.size() >= BufferSize && !writeBuffer())
        return -1;
    return size;
}

bool CheckedFile::writeBuffer()
{
    const char* at = m_buffer.constData();
    qsizetype left = m_buffer.size();
    while (left > 0) {
        const ssize_t written = ::write(m_descriptor, at, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            keepError(written < 0 ? errno : ENOSPC);
            return false;
        }
        at += written;
        left -= written;
    }
    m_buffer.clear();
    return true;
}

bool CheckedFile::finish()
{
    if (m_descriptor >= 0) {
        if (m_error.isEmpty())
            writeBuffer();
        // Some file systems report a lost write only when the file is closed.
        if (::close(m_descriptor) != 0)
            keepError(errno);
        m_descriptor = -1;
    }
    QIODevice::close();
    return m_error.isEmpty();
}

void CheckedFile::keepError(int number)
{
    if (m_error.isEmpty())
        m_error = QString::fromLocal8Bit(std::strerror(number));
}

}

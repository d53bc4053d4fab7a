#include "shell/FileLock.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace vorlix::shell {

FileLock::FileLock(const QString& file)
{
    const QByteArray path = QFile::encodeName(file + QStringLiteral(".lock"));
    m_fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (m_fd < 0)
        return;
    int result = 0;
    do
        result = ::flock(m_fd, LOCK_EX);
    while (result != 0 && errno == EINTR);
    if (result != 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

FileLock::~FileLock()
{
    // Closing the only descriptor of the open file releases its lock.
    if (m_fd >= 0)
        ::close(m_fd);
}

}

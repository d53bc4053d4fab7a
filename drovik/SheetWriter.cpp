#include "drovik/SheetWriter.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace vorlix::drovik {

namespace {

    constexpr int kTemporaryTries = 100;

    SheetWriter::Saved failed(int error)
    {
        return { false, QString::fromLocal8Bit(std::strerror(error)) };
    }

    // A descriptor closed when it goes out of scope.
    class Descriptor {
    public:
        explicit Descriptor(int fd)
            : m_fd(fd)
        {
        }
        ~Descriptor()
        {
            if (m_fd >= 0)
                ::close(m_fd);
        }
        Descriptor(const Descriptor&) = delete;
        Descriptor& operator=(const Descriptor&) = delete;
        [[nodiscard]] int get() const { return m_fd; }
        // Closes now, so that a late write error (a full disk on some file systems) is seen.
        [[nodiscard]] bool close()
        {
            const int fd = std::exchange(m_fd, -1);
            return ::close(fd) == 0;
        }

    private:
        int m_fd = -1;
    };

    bool writeAll(int fd, const QByteArray& bytes)
    {
        const char* data = bytes.constData();
        qsizetype left = bytes.size();
        while (left > 0) {
            const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
            if (written < 0 && errno == EINTR)
                continue;
            if (written == 0)
                errno = ENOSPC;
            if (written <= 0)
                return false;
            data += written;
            left -= written;
        }
        return true;
    }

    // A new file of a name nobody else uses, created in the folder and never through a link.
    std::pair<int, QByteArray> createTemporary(int folder)
    {
        for (int attempt = 0; attempt < kTemporaryTries; ++attempt) {
            const QByteArray name = QByteArrayLiteral(".drovik.") + QByteArray::number(::getpid())
                + '.' + QByteArray::number(attempt) + QByteArrayLiteral(".part");
            const int fd = ::openat(folder, name.constData(),
                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (fd >= 0 || errno != EEXIST)
                return { fd, name };
        }
        return { -1, {} };
    }

}

SheetWriter::SheetWriter(QString folder)
    : m_folder(std::move(folder))
{
}

SheetWriter::Saved SheetWriter::save(const QString& name, const QByteArray& bytes) const
{
    const Descriptor folder(
        ::open(QFile::encodeName(m_folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0)
        return failed(errno);
    const QByteArray target = QFile::encodeName(name);
    struct stat old { };
    const bool exists = ::fstatat(folder.get(), target.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (exists && !S_ISREG(old.st_mode) && !S_ISLNK(old.st_mode))
        return { false, QStringLiteral("通常のファイルではありません") };
    auto [fd, temporary] = createTemporary(folder.get());
    if (fd < 0)
        return failed(errno);
    Descriptor file(fd);
    int error = writeAll(file.get(), bytes) ? 0 : errno;
    if (error == 0 && exists && S_ISREG(old.st_mode) && ::fchmod(file.get(), old.st_mode & 07777))
        error = errno;
    if (error == 0 && ::fsync(file.get()) != 0)
        error = errno;
    if (!file.close() && error == 0)
        error = errno;
    if (error == 0
        && ::renameat(folder.get(), temporary.constData(), folder.get(), target.constData()) != 0)
        error = errno;
    if (error == 0)
        return { true, {} };
    ::unlinkat(folder.get(), temporary.constData(), 0);
    return failed(error);
}

}

#pragma once

#include <QString>

namespace vorlix::shell {

// An advisory lock (flock) on "<file>.lock" beside a file that several processes read, change
// and write back: whoever holds it sees the others' writes before making its own. The lock file
// stays in place (removing it would let two processes lock two different files); the lock ends
// with the object, or with the process however it ends.
class FileLock {
public:
    // Waits for the lock. A lock file that cannot be opened (a read-only folder) leaves the lock
    // not held: the write that follows fails there anyway, and a read-only settings folder must
    // not stop the program.
    explicit FileLock(const QString& file);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    [[nodiscard]] bool held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

}

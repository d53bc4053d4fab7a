#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace vorlix::render {

// A file opened for writing that keeps the first write error: Qt's SVG generator, its PDF engine
// and its image writers drop what a write returns, so a full disk would otherwise pass unseen.
// After the first error nothing more is written; finish() says whether every byte arrived.
class CheckedFile final : public QIODevice {
public:
    explicit CheckedFile(const QString& path);
    ~CheckedFile() override;
    CheckedFile(const CheckedFile&) = delete;
    CheckedFile& operator=(const CheckedFile&) = delete;

    // Opens the file for writing, made or emptied; false (with the error kept) when it cannot be.
    bool open(OpenMode mode) override;
    // Writes out what the file holds and closes it; false when any write or the flush failed.
    [[nodiscard]] bool finish();
    // The first error in the system's words; empty while there is none.
    [[nodiscard]] const QString& error() const { return m_error; }
    // Written from start to end only: the writers never seek.
    [[nodiscard]] bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 size) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    bool writeBuffer();
    void keepError(int number);

    QString m_path;
    int m_descriptor = -1;
    QByteArray m_buffer;
    QString m_error;
};

}

#pragma once

#include <QByteArray>
#include <QString>

namespace vorlix::drovik {

// Writes downloaded files into the sheet folder without ever writing through what the folder
// holds: the content goes into a new temporary file in the folder, which is renamed over the
// name only once it is whole. A symbolic link of that name is replaced, never followed (so
// nothing is written outside the folder); a folder or other special file of that name is left
// alone; a regular file's permissions pass to its replacement.
class SheetWriter {
public:
    // What one save did; the reason is the system's words when it failed.
    struct Saved {
        bool ok = false;
        QString reason;
    };

    explicit SheetWriter(QString folder);

    // Saves the bytes as the file `name` (a plain file name, no folder) of the sheet folder.
    [[nodiscard]] Saved save(const QString& name, const QByteArray& bytes) const;

private:
    QString m_folder;
};

}

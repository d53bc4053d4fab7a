#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>
#include <map>
#include <optional>

namespace vorlix::test {

// Points HOME and the XDG folders at a fresh temporary folder for the lifetime of the object and
// restores the previous values afterwards. Use it in every test that reads or writes settings,
// sheet folders or desktop files.
class TempEnvironment {
public:
    TempEnvironment(); // points the variables at a new temporary folder
    ~TempEnvironment(); // restores them; the folder goes
    TempEnvironment(const TempEnvironment&) = delete;
    TempEnvironment& operator=(const TempEnvironment&) = delete;

    // The temporary root; HOME is this folder.
    QString root() const { return m_dir.path(); }
    QString configHome() const { return root() + "/config"; }
    QString dataHome() const { return root() + "/data"; }

    // The environment for a program the test starts: this one's, with the temporary home and
    // folders, the UTF-8 locale and no shared profiles folder.
    [[nodiscard]] QProcessEnvironment processEnvironment() const;

    // Sets (or with an empty optional, removes) a variable until the object ends.
    void set(const char* name, const std::optional<QByteArray>& value);

private:
    QTemporaryDir m_dir;
    std::map<QByteArray, std::optional<QByteArray>> m_saved;
};

// Reads a whole file as bytes; empty when it cannot be read.
QByteArray readFileBytes(const QString& path);
// Writes bytes to a file, creating its folder; false on failure.
bool writeFileBytes(const QString& path, const QByteArray& bytes);

}

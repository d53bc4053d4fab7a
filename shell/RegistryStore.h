#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace vorlix::shell {

// The keys of the program's registry as one value, read from and written to a small text file:
// each key is a full path ("HKEY_CLASSES_ROOT\.fae") holding named string values; "" names a key's
// default value. Key paths and value names match without regard to letter case, as in the system
// registry whose layout the file association keeps.
//
// The file reads like a registry export:
//   [HKEY_CLASSES_ROOT\.fae]
//   @="vorlix"
//   "Content Type"="text/x-vorlix"
// Double quotes, backslashes and line breaks inside names and data are escaped with "\".
class RegistryStore {
public:
    struct Value {
        QString name;
        QString data;
    };
    struct Key {
        QString path;
        QList<Value> values;
    };

    // The store in a file; a missing file is an empty store, an unreadable one gives nothing.
    [[nodiscard]] static std::optional<RegistryStore> load(const QString& file);
    // Writes the whole store at once (the old file stays whole when writing fails).
    [[nodiscard]] bool save(const QString& file) const;

    // The text of the file and back; lines the reader does not know are skipped.
    [[nodiscard]] QString toText() const;
    [[nodiscard]] static RegistryStore fromText(const QString& text);

    [[nodiscard]] bool contains(const QString& path) const;
    // Creates the key and every key above it that is missing (a root itself is never stored).
    void create(const QString& path);
    // Writes a value into an existing key; false when the key is missing.
    bool setValue(const QString& path, const QString& name, const QString& data);
    [[nodiscard]] std::optional<QString> value(const QString& path, const QString& name) const;
    // The names of the keys right below a key, in the order they were made.
    [[nodiscard]] QStringList subkeys(const QString& path) const;
    // Removes a key with everything below it; false when the key is missing.
    bool remove(const QString& path);

    [[nodiscard]] const QList<Key>& keys() const { return m_keys; }

    // A key path with empty parts and surrounding backslashes removed.
    [[nodiscard]] static QString normalPath(const QString& path);

private:
    [[nodiscard]] qsizetype indexOf(const QString& path) const;

    QList<Key> m_keys;
};

}

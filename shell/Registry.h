#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace vorlix::shell {

// The roots of the registry, numbered as the system registry numbers them.
enum class RegistryRoot : std::uint32_t {
    ClassesRoot = 0x80000000,
    CurrentUser = 0x80000001,
    LocalMachine = 0x80000002,
    Users = 0x80000003,
    CurrentConfig = 0x80000005,
};

// The program's registry: a key store in a file beside the settings file (RegistryStore), with
// the operations the file association uses. Every operation reads the file afresh and writes it
// back at once, holding the file's lock (FileLock) in between, so that programs registering at
// the same time lose none of each other's keys; failures are only the boolean results (an
// unwritable file leaves everything as it was). One key can be held open for reading and writing
// values.
class Registry {
public:
    // The store in `storeFile`; by default "vorlix.reg" beside the settings file (none without a
    // settings object, and then every operation fails).
    explicit Registry(QString storeFile = defaultStoreFile());

    [[nodiscard]] static QString defaultStoreFile();
    [[nodiscard]] const QString& storeFile() const { return m_storeFile; }

    // Opens an existing key; on failure no key is held.
    bool KeyOpen(RegistryRoot root, const QString& path);
    // Writes a string value into the open key; false without one.
    bool setValue(const QString& name, const QString& text);
    // A string value of the open key, trimmed at its first NUL; empty when missing.
    [[nodiscard]] QString Value(const QString& name) const;
    void KeyClose();

    [[nodiscard]] static constexpr RegistryRoot Root() { return RegistryRoot::ClassesRoot; }
    [[nodiscard]] static constexpr RegistryRoot Current() { return RegistryRoot::CurrentUser; }
    [[nodiscard]] static constexpr RegistryRoot Machine() { return RegistryRoot::LocalMachine; }
    [[nodiscard]] static constexpr RegistryRoot Users() { return RegistryRoot::Users; }
    [[nodiscard]] static constexpr RegistryRoot Config() { return RegistryRoot::CurrentConfig; }

    // A folder of the current user's "Shell Folders" key; without an entry there, the user's own
    // folder of that name ("Desktop", "Personal", "My Pictures", ...); empty when unknown.
    [[nodiscard]] QString ShellFolders(const QString& folder) const;

    // Points an extension (".fae"; a dot and at least one more character) at a class.
    bool setShellLink(const QString& extension, const QString& className);
    // The command of a verb of a class; makeDefault makes the verb the class's default action.
    bool setAppAction(
        const QString& className, const QString& verb, const QString& command, bool makeDefault);
    // The icon of a class: file "," index.
    bool setAppIcon(const QString& className, const QString& file, int index);
    // The extension recorded for a MIME type.
    bool setMimeType(const QString& extension, const QString& type);
    bool delMImeType(const QString& type);
    // Removes a key with all its subkeys, however many; false when the key does not exist or the
    // store cannot be written.
    bool delKey(RegistryRoot root, const QString& path);
    // Whether a key exists.
    [[nodiscard]] bool ChkKey(RegistryRoot root, const QString& path) const;

    // The full path of a key below a root ("HKEY_CLASSES_ROOT\.fae").
    [[nodiscard]] static QString fullPath(RegistryRoot root, const QString& path);

private:
    // Creates a key (and the keys above it) and writes one value into it.
    bool createAndSet(
        RegistryRoot root, const QString& path, const QString& name, const QString& data);

    QString m_storeFile;
    std::optional<QString> m_openKey;
};

}

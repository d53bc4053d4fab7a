#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace vorlix::shell {

// Kinds of names the file access tells apart.
enum class ServiceKind : std::int32_t {
    None = 0, // no name set, or an invalid one
    Local = 1, // a path of this computer
    Network = 2, // //server/share/..., reached where the share is mounted
    Http = 3, // http:/ or http:// addresses, read only
};

// A file name split into its parts. Local and network names use "/" ("\" is read as "/"), carry
// no drive letter and have an absolute folder; an HTTP name keeps its host in DriveLetter.
struct GeneFileName {
    ServiceKind ServiceType = ServiceKind::None;
    QString DriveLetter; // "//server" of a network name, the host of an address, else empty
    QString Path; // the folder, starting and ending with "/"
    QString FileName; // the name without folder
    QString Extension; // what follows the last "." of the name, upper-cased

    // The name to open: DriveLetter + Path + FileName.
    [[nodiscard]] QString fullPath() const { return DriveLetter + Path + FileName; }

    // Splits a name as the user or a document wrote it; relative local names are taken from
    // currentFolder. Nothing when the name is invalid.
    [[nodiscard]] static std::optional<GeneFileName> split(
        const QString& name, const QString& currentFolder);
};

}

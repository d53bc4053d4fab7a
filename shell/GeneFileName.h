#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace vorlix::shell {

// Kinds of names the file access tells apart.
enum class ServiceKind : std::int32_t {
    None = 0,
    Local = 1,
    Network = 2,
    Http = 3,
};

// A file name split into its parts. Local and network names use "/" ("\" is read as "/"), carry
// no drive letter and have an absolute folder; an HTTP name keeps its host in DriveLetter.
struct GeneFileName {
    ServiceKind ServiceType = ServiceKind::None;
    QString DriveLetter;
    QString Path;
    QString FileName;
    QString Extension;

    // The name to open: DriveLetter + Path + FileName.
    [[nodiscard]] QString fullPath() const { return DriveLetter + Path + FileName; }

    // Splits a name as the user or a document wrote it; relative local names are taken from
    // currentFolder. Nothing when the name is invalid.
    [[nodiscard]] static std::optional<GeneFileName> split(
        const QString& name, const QString& currentFolder);
};

}

#pragma once

#include <QString>
#include <memory>

namespace vorlix::shell {
class InitFile;
}

namespace vorlix::drovik {

// The settings of the downloader: Vorlix's own vorlix.ini in the settings folder, whatever this
// program is called. The downloader never starts Vorlix; only this file and the sheet folder are
// shared.
class SharedSettings {
public:
    // Chooses vorlix.ini in HostPath, creating a missing file with its two header lines (the
    // comment names drovik), then prepares it as Vorlix's start does with the downloader's
    // defaults (SetInit).
    [[nodiscard]] static std::unique_ptr<shell::InitFile> open();

    // Chooses HostPath + suffix; a file that had to be created gets the downloader's defaults:
    // Vorlix's table without the section "reg", which only Vorlix acts on.
    static void SetInit(shell::InitFile& settings, const QString& suffix);

    // The web folder to fetch from (sheet/www) and the sheet folder to fill (sheet/Default), with
    // their defaults written back when missing.
    [[nodiscard]] static QString webFolder();
    [[nodiscard]] static QString sheetFolder();
};

}

#pragma once
// Where a folder's backups live and how many are kept: "Backups\<folder>\<time>.backup" in the
// device root, the last five. A backup becomes visible only whole: it is written to a temporary
// file, synced to disk, renamed into place and the folder synced, so a crash at any instant leaves
// either no new backup or a complete one, and never one that a listing shows half-written.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stores/backup/BackupFile.h"

namespace orvale::backup {

inline constexpr std::size_t kBackupsKept = 5;

// <root>/Backups/<folder>
std::filesystem::path backupFolder(std::string_view folderName);

struct BackupEntry {
    std::string name;  // the time it was taken, with "-N" when more than one fell in one second
    std::filesystem::path path;
    std::optional<BackupHeader> header;  // none when the file's start is not a backup's header
};

// Newest first.
std::vector<BackupEntry> listBackups(std::string_view folderName);
// The backup of that name, when there is one.
std::optional<BackupEntry> findBackup(std::string_view folderName, std::string_view name);

// Writes the backup taken at `nowUtc` (seconds since 1970) and removes all but the newest five of
// the folder. The new backup's name, or none when it could not be written.
std::optional<std::string> writeBackup(std::string_view folderName, const BackupBuilder& items, BackupReason reason,
                                       std::int64_t nowUtc);

}  // namespace orvale::backup

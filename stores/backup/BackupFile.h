#pragma once
// A folder backup as one file: a short text header (folder, time, why, how many items, how many
// bytes, the CRC-32 of those bytes) and then every item with its key and its exact text. Reading is
// strict: a file that is cut, padded, altered or not a backup at all is refused whole, before
// anything is done with it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvale::backup {

enum class BackupReason { FirstSync, SlowSync, ByHand };

struct BackupHeader {
    std::string folder;  // the kind's folder name, "Contacts"
    std::string taken;   // UTC, YYYYMMDDTHHMMSSZ
    BackupReason reason = BackupReason::SlowSync;
    std::size_t items = 0;
    std::size_t bytes = 0;  // of the item section after the header
    std::uint32_t crc = 0;
};

struct BackupItem {
    std::string key;
    std::string text;
};

struct Backup {
    BackupHeader header;
    std::vector<BackupItem> items;
};

// A backup beyond these is no backup this program wrote.
inline constexpr std::size_t kMaxBackupBytes = std::size_t{1} << 30;
inline constexpr std::size_t kMaxBackupItems = 1'000'000;
inline constexpr std::size_t kMaxBackupItemBytes = std::size_t{16} << 20;
// Every header line fits in this, so a listing reads no more of a file.
inline constexpr std::size_t kMaxHeaderBytes = 512;

// Collects the items one by one and then makes the whole file.
class BackupBuilder {
public:
    void add(std::string_view key, std::string_view text);
    std::size_t count() const { return count_; }
    // The file: the header with the item section's size and CRC, then the section.
    std::string finish(std::string_view folder, std::string_view taken, BackupReason reason) const;

private:
    std::string body_;
    std::size_t count_ = 0;
};

// YYYYMMDDTHHMMSSZ, digits where the digits go.
bool isBackupTime(std::string_view text);

// "first sync", "slow sync", "by hand".
std::string_view reasonText(BackupReason reason);

// The header alone, from the start of a file; nullopt when it is not a backup's header.
std::optional<BackupHeader> readBackupHeader(std::string_view prefix);

struct ParsedBackup {
    std::optional<Backup> backup;
    std::string problem;  // what is wrong with the file when there is no backup
};
// The whole file, checked against its header (sizes, count, CRC) and parsed item by item.
ParsedBackup parseBackup(std::string_view file);

}  // namespace orvale::backup

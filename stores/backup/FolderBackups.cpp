#include "stores/backup/FolderBackups.h"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <system_error>

#include "platform/DevicePaths.h"
#include "platform/FileAccess.h"
#include "stores/DateTimeText.h"

namespace orvale::backup {

namespace {

namespace fs = std::filesystem;
constexpr std::string_view kExtension = ".backup";

// The time and the sequence number within that second of a backup's name; none for any other name.
std::optional<std::pair<std::string, int>> nameOrder(std::string_view name) {
    if (name.size() < 16) return std::nullopt;
    const std::string taken(name.substr(0, 16));
    if (!isBackupTime(taken)) return std::nullopt;
    if (name.size() == 16) return std::pair{taken, 1};
    const std::string_view rest = name.substr(16);
    int n = 0;
    const auto [end, ec] = std::from_chars(rest.data() + 1, rest.data() + rest.size(), n);
    if (rest[0] != '-' || ec != std::errc() || end != rest.data() + rest.size() || n < 2 || n > 999)
        return std::nullopt;
    return std::pair{taken, n};
}

bool newerFirst(const BackupEntry& a, const BackupEntry& b) { return *nameOrder(a.name) > *nameOrder(b.name); }

void makePrivateFolder(const fs::path& folder) {
    std::error_code ec;
    for (const fs::path& f : {folder.parent_path(), folder}) {
        if (!fs::is_directory(f, ec) && fs::create_directories(f, ec)) ::chmod(f.c_str(), 0700);
    }
}

// Temporary files of writes that never finished (the process died): they start with "." and are
// never listed.
void removeLeftovers(const fs::path& folder) {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec)) {
        const std::string leaf = e.path().filename().string();
        if (leaf.size() > 1 && leaf[0] == '.' && leaf.find(kExtension) != std::string::npos) fs::remove(e.path(), ec);
    }
}

}  // namespace

fs::path backupFolder(std::string_view folderName) {
    std::string device = "\\Backups\\";
    device += folderName;
    return platform::hostPath(device);
}

std::vector<BackupEntry> listBackups(std::string_view folderName) {
    std::vector<BackupEntry> out;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(backupFolder(folderName), ec)) {
        const std::string leaf = e.path().filename().string();
        if (leaf.size() <= kExtension.size() || !leaf.ends_with(kExtension) || !e.is_regular_file(ec)) continue;
        const std::string name = leaf.substr(0, leaf.size() - kExtension.size());
        if (!nameOrder(name)) continue;
        const auto prefix = platform::readFilePrefix(e.path(), kMaxHeaderBytes * 8);
        out.push_back({name, e.path(), prefix ? readBackupHeader(*prefix) : std::nullopt});
    }
    std::sort(out.begin(), out.end(), newerFirst);
    return out;
}

std::optional<BackupEntry> findBackup(std::string_view folderName, std::string_view name) {
    for (auto& entry : listBackups(folderName)) {
        if (entry.name == name) return entry;
    }
    return std::nullopt;
}

std::optional<std::string> writeBackup(std::string_view folderName, const BackupBuilder& items, BackupReason reason,
                                       std::int64_t nowUtc) {
    const std::string taken = datetime::formatUtc(nowUtc, true);
    const fs::path folder = backupFolder(folderName);
    makePrivateFolder(folder);
    removeLeftovers(folder);
    std::string name = taken;
    std::error_code ec;
    for (int n = 2; fs::exists(folder / (name + std::string(kExtension)), ec); ++n) {
        if (n > 999) return std::nullopt;
        name = taken + "-" + std::to_string(n);
    }
    const std::string file = items.finish(folderName, taken, reason);
    if (!platform::writeWholeFile(folder / (name + std::string(kExtension)), file, 0600) ||
        !platform::syncFolder(folder))
        return std::nullopt;
    // Only a backup that is safely in place pushes out an old one.
    const std::vector<BackupEntry> all = listBackups(folderName);
    for (std::size_t i = kBackupsKept; i < all.size(); ++i) fs::remove(all[i].path, ec);
    return name;
}

}  // namespace orvale::backup

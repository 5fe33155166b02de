#include "tools/pim/BackupCommands.h"

#include <ctime>
#include <system_error>

#include "platform/FileAccess.h"
#include "stores/DateTime.h"
#include "stores/DateTimeText.h"
#include "stores/backup/FolderBackups.h"
#include "tools/pim/ExitCodes.h"

namespace orvale::pim_tool {

namespace {

constexpr const char* kProgram = "orvale-pim: ";

// The UTC time of a backup's name as the device's local time, "2026-01-05 15:30:00".
std::string localTimeOf(const std::string& taken) {
    std::tm local{};
    char text[32];
    const std::optional<std::int64_t> seconds = datetime::parseUtc(taken);
    if (!seconds || !datetime::breakDownLocal(*seconds, local) ||
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local) == 0)
        return taken;
    return text;
}

}  // namespace

int listBackups(const std::string& folderName, std::ostream& out) {
    for (const auto& entry : backup::listBackups(folderName)) {
        out << entry.name << '\t';
        if (!entry.header) {
            out << "(damaged)\n";
            continue;
        }
        out << localTimeOf(entry.header->taken) << '\t' << entry.header->items
            << (entry.header->items == 1 ? " item" : " items") << '\t'
            // A backup taken by hand came before nothing in particular.
            << (entry.header->reason == backup::BackupReason::ByHand ? "" : "before the ")
            << backup::reasonText(entry.header->reason) << '\n';
    }
    return kOk;
}

int takeBackup(StoreAccess& store, std::ostream& out, std::ostream& err) {
    const auto name = store.backUp();
    if (!name) {
        err << kProgram << "the backup could not be written\n";
        return kUnreadableFile;
    }
    out << *name << '\n';
    return kOk;
}

int restoreBackup(StoreAccess& store, const std::string& folderName, const std::string& name, std::ostream& out,
                  std::ostream& err) {
    const auto entry = backup::findBackup(folderName, name);
    if (!entry) {
        err << kProgram << "there is no backup " << name << " of the " << folderName
            << " folder (the command backups lists them)\n";
        return kUnknownKey;
    }
    std::error_code ec;
    const auto size = std::filesystem::file_size(entry->path, ec);
    if (ec) {
        err << kProgram << entry->path.string() << ": cannot be read\n";
        return kUnreadableFile;
    }
    std::string problem;
    std::optional<std::string> bytes;
    if (size > backup::kMaxBackupBytes) {
        problem = "it is larger than any backup";
    } else if (bytes = platform::readFilePrefix(entry->path, size + 1); !bytes) {
        err << kProgram << entry->path.string() << ": cannot be read\n";
        return kUnreadableFile;
    }
    backup::ParsedBackup parsed;
    if (problem.empty()) {
        parsed = backup::parseBackup(*bytes);
        if (!parsed.backup) {
            problem = parsed.problem;
        } else if (parsed.backup->header.folder != folderName) {
            problem = "it is a backup of the " + parsed.backup->header.folder + " folder";
        }
    }
    if (!problem.empty()) {
        err << kProgram << "backup " << name << " is damaged: " << problem << "; nothing was changed\n";
        return kDamagedBackup;
    }
    const backup::RestoreOutcome outcome = store.restore(*parsed.backup);
    if (!outcome.ok) {
        err << kProgram << "the restore was not done: " << outcome.problem << "; nothing was changed\n";
        return kStoreRefused;
    }
    out << "restored " << name << ": " << outcome.recreated << " made again, " << outcome.replaced << " changed back, "
        << outcome.deleted << " deleted, " << outcome.unchanged << " unchanged\n";
    return kOk;
}

}  // namespace orvale::pim_tool

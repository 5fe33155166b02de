#pragma once
// Taking a backup of a store's folder and putting a folder back from one, through the store
// interface, so every folder kind has backups as soon as its store exists.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "stores/backup/BackupFile.h"

namespace orvale {
class DataStore;
}

namespace orvale::backup {

// Every item of the store's folder as the store exports it, written as the folder's newest backup.
// Its name, or none when the folder could not be read or the backup not written.
std::optional<std::string> backUpStore(DataStore& store, std::string_view folderName, BackupReason reason);

struct RestoreOutcome {
    bool ok = false;
    std::string problem;  // when not ok; nothing was changed then
    std::size_t deleted = 0, replaced = 0, recreated = 0, unchanged = 0;
};

// Puts the store's folder back as `backup` holds it, all in one write group: items the backup does
// not hold are deleted, items whose text differs get the backup's text, and items deleted since
// are made again (as new items, with new keys). When any of it fails, none of it is kept. The next
// sync finds all of it as changes, as it finds any edit made outside a run.
RestoreOutcome restoreStore(DataStore& store, const Backup& backup);

}  // namespace orvale::backup

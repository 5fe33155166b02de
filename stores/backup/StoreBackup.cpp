#include "stores/backup/StoreBackup.h"

#include <ctime>
#include <unordered_map>
#include <unordered_set>

#include "stores/DataStore.h"
#include "stores/StoreItem.h"
#include "stores/backup/FolderBackups.h"

namespace orvale::backup {

namespace {

// Releases a store-side object when it goes out of scope.
struct ItemRef {
    StoreItem* item;
    explicit ItemRef(StoreItem* i) : item(i) {}
    ~ItemRef() {
        if (item != nullptr) item->release();
    }
    ItemRef(const ItemRef&) = delete;
    ItemRef& operator=(const ItemRef&) = delete;
};

// Every write of the restore in one group; ends it unkept unless commit() succeeded.
class WriteGroup {
public:
    explicit WriteGroup(DataStore& store) : store_(store), open_(store.beginWrites()) {}
    ~WriteGroup() {
        if (open_) store_.abandonWrites();
    }
    WriteGroup(const WriteGroup&) = delete;
    WriteGroup& operator=(const WriteGroup&) = delete;
    bool opened() const { return open_; }
    bool commit() {
        open_ = false;
        return store_.commitWrites();
    }

private:
    DataStore& store_;
    bool open_;
};

RestoreOutcome failed(std::string problem) {
    RestoreOutcome out;
    out.problem = std::move(problem);
    return out;
}

}  // namespace

std::optional<std::string> backUpStore(DataStore& store, std::string_view folderName, BackupReason reason) {
    BackupBuilder items;
    if (!store.exportItems([&](const std::string& key, const std::string& text) { items.add(key, text); }))
        return std::nullopt;
    return writeBackup(folderName, items, reason, static_cast<std::int64_t>(std::time(nullptr)));
}

RestoreOutcome restoreStore(DataStore& store, const Backup& backup) {
    std::unordered_map<std::string, std::string> current;
    if (!store.exportItems([&](const std::string& key, const std::string& text) { current.emplace(key, text); }))
        return failed("the folder cannot be read");
    std::unordered_set<std::string> kept;
    for (const auto& item : backup.items) kept.insert(item.key);

    RestoreOutcome out;
    WriteGroup group(store);
    if (!group.opened()) return failed("the device store is busy");
    for (const auto& [key, text] : current) {
        if (kept.count(key) != 0) continue;
        if (!store.deleteItem(key)) return failed("the device store did not delete item " + key);
        ++out.deleted;
    }
    for (const auto& item : backup.items) {
        const auto now = current.find(item.key);
        if (now != current.end() && now->second == item.text) {
            ++out.unchanged;
            continue;
        }
        // An item deleted since cannot have its key again: keys are never reused.
        const bool present = now != current.end();
        ItemRef target(present ? store.itemByKey(item.key) : store.newItem());
        if (target.item == nullptr || !target.item->setData(item.text))
            return failed("the device store did not take the text of item " + item.key);
        ++(present ? out.replaced : out.recreated);
    }
    if (!group.commit()) return failed("the device store could not keep the restore");
    out.ok = true;
    return out;
}

}  // namespace orvale::backup

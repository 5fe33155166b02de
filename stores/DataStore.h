#pragma once
// One opened folder as the engine drives it. Concrete stores (contacts, tasks, calendar) override the
// abstract slots; the rest have the behaviour every store shares.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "stores/ItemList.h"
#include "stores/StoreCounted.h"
#include "stores/StoreItem.h"

namespace orvale {

class DataStoreKind;
class SyncAnchor;
class ChangeTracker;

class DataStore : public StoreCounted {
public:
    explicit DataStore(DataStoreKind* kind);
    ~DataStore() override;
    DataStore(const DataStore&) = delete;
    DataStore& operator=(const DataStore&) = delete;

    virtual StoreItem* newItem() = 0;
    virtual ItemList* allItems() = 0;
    virtual std::string translateKey(const std::string& key) = 0;
    virtual StoreItem* itemByKey(const std::string& key) = 0;
    virtual bool deleteItem(const std::string& key) = 0;
    virtual void beginItem(const std::string& text) = 0;
    virtual void saveAnchor(const SyncAnchor& anchor) = 0;
    virtual void loadAnchor(SyncAnchor& out) = 0;
    virtual ItemList* updatedItems(const SyncAnchor& last, const SyncAnchor& next) = 0;
    virtual ItemList* newItems(const SyncAnchor& last, const SyncAnchor& next) = 0;
    virtual ItemList* deletedItems(const SyncAnchor& last, const SyncAnchor& next) = 0;
    virtual int itemAcknowledged(const std::string& key) = 0;
    virtual void slot13() = 0;
    virtual void slot14() = 0;
    virtual void slot15() = 0;
    virtual void release() = 0;
    virtual void addRef() = 0;

    // ---- Beyond the slots above: what a sync needs to make one durable step of each message.
    //
    // Write groups. The writes made between beginWrites and commitWrites (setData of the store's
    // items, deleteItem, notePendingMap) become durable together at commitWrites, or not at all:
    // a process that dies in between leaves the store as it was. One write refused inside a group
    // (setData or deleteItem false) is undone alone; the others stay in the group. Groups of the
    // stores of one factory may nest into one another; only the outermost commit is the durable
    // step. beginWrites false: no group is open and none needs ending. commitWrites false: none
    // of the group's writes were kept. The defaults suit a store whose every write is durable on
    // its own the moment it returns.
    virtual bool beginWrites() { return true; }
    // A group kept entire or not at all, for a caller that abandons it at the first refused write:
    // the writes need not be undoable one by one, which costs. After a refused write, commitWrites
    // keeps nothing.
    virtual bool beginWholeWrites() { return beginWrites(); }
    virtual bool commitWrites() { return true; }
    // Ends the group without keeping any of its writes.
    virtual void abandonWrites() {}

    // The item a key names, or null when the store holds none under it. itemByKey may build an
    // item for any key (a deleted item still goes to the server by its key); the default takes
    // its answer as it is.
    virtual StoreItem* existingItem(const std::string& key) { return itemByKey(key); }

    // Pending maps: the server items this folder stored in sessions that have not completed, each
    // server item ID with the key it was stored under, for the session after an interrupted one.
    // noted inside a write group, an entry is durable exactly when the item it names is. The
    // defaults keep nothing and refuse nothing (a store without them cannot tell a repeated server
    // Add from a new one); a store that keeps them answers false only when an entry was not kept,
    // and the engine then does not keep the item either.
    struct PendingMap {
        std::string serverId;
        std::string localKey;
    };
    // Nullopt when they cannot be read or there are more than `most`.
    virtual std::optional<std::vector<PendingMap>> pendingMaps(std::size_t most) {
        (void)most;
        return std::vector<PendingMap>{};
    }
    virtual bool notePendingMap(const std::string& serverId, const std::string& localKey) {
        (void)serverId;
        (void)localKey;
        return true;
    }
    // The session completed. A store may keep the entries until the change tracking has recorded
    // its items (so a process that dies in between still knows them), but not beyond this run.
    virtual void dropPendingMaps() {}

    // The keys of the folder's items whose content equals `text` field for field, as this store
    // maps an item's text to the device, in the folder's order. Empty when none does, or when the
    // store does not compare content (the default).
    virtual std::vector<std::string> keysWithContent(const std::string& text) {
        (void)text;
        return {};
    }

    // Server items the device is to be rid of without ever holding them (a refresh from the
    // device that the server answers with items of its own): each is mapped to a key of its own
    // that names no item, and the change tracking records it as an item the device deleted, so
    // the next session that sends changes deletes it on the server.
    //
    // A key no item of any folder has or will ever be given, taken inside the open write group
    // (durable with it); none when the store cannot promise that (the default), and then nothing
    // of the server's is learned.
    virtual std::optional<std::string> reserveUnusedKey() { return std::nullopt; }
    // Records `key` as deleted from the device since the last session; false when it is not
    // recorded (the default keeps no change tracking of its own).
    virtual bool noteDeletedFromDevice(const std::string& key) {
        (void)key;
        return false;
    }

    // Every item of the folder with its key and its text as itemByKey gives it, in the folder's
    // order: what a backup holds. All of the folder, whatever a date window sends. `visit` must not
    // write to the store. False when the folder could not be read whole. The default walks
    // allItems().
    using ItemVisitor = std::function<void(const std::string& key, const std::string& text)>;
    virtual bool exportItems(const ItemVisitor& visit);
    // The items allItems() lists, each with its key and text as the list's items give them, in
    // the list's order, read in bulk where the store can: what a tool lists or exports. `visit`
    // must not write to the store. False when they could not be read whole. The default walks
    // allItems().
    virtual bool listedItems(const ItemVisitor& visit) { return DataStore::exportItems(visit); }

    DataStoreKind* kind() const { return kind_; }

protected:
    ChangeTracker* tracker_ = nullptr;  // owned by the process-wide tracker list

private:
    DataStoreKind* kind_;
};

}  // namespace orvale

#pragma once
// One folder's state during synchronisation: its opened store, the anchor to save at the end, the
// change lists being sent with the position reached, and the folder's counters.
#include <array>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/ElementRef.h"
#include "stores/DataStore.h"
#include "stores/ItemList.h"
#include "stores/StoreItem.h"
#include "stores/SyncAnchor.h"

namespace orvale {

// The change lists in the order they are sent.
enum class ChangeList : int { All = 0, Updated = 1, New = 2, Deleted = 3 };
inline constexpr int kChangeListCount = 4;

struct FolderCounters {
    int added = 0, addsFailed = 0;
    int replaced = 0, replacesFailed = 0;
    int deleted = 0, deletesFailed = 0;
    int failed = 0;
};

class SyncContextHolder {
public:
    SyncContextHolder(int folder, const SyncAnchor& next) : folder_(folder), next_(next) {}

    int folder() const { return folder_; }
    const SyncAnchor& nextAnchor() const { return next_; }
    void setNextAnchor(const SyncAnchor& next) { next_ = next; }

    DataStore* store() const { return store_.get(); }
    void setStore(StoreRef<DataStore> store) { store_ = std::move(store); }
    void releaseStore() { store_.reset(); }

    void setList(ChangeList which, ItemList* adopted) { lists_[slot(which)] = StoreRef<ItemList>(adopted); }
    int listCount(ChangeList which) const;
    const ItemList* list(ChangeList which) const { return lists_[slot(which)].get(); }

    // The item at the remembered position and the list it came from; null when every list is
    // exhausted. The item stays current until `advance`, so a message that has no room for it
    // leaves it for the next one.
    StoreItem* current();
    ChangeList currentList() const { return static_cast<ChangeList>(listIndex_); }
    void advance() { held_.reset(); }

    std::int32_t changes = 0;
    std::int32_t serverChanges = 0;
    bool syncRefused = false;
    // The server opened its Sync of the folder in this session.
    bool serverSyncOpened = false;
    // What the folder's sync type leaves to do after the session could not be done: it does not complete.
    bool leftIncomplete = false;
    // Device items the server's commands wrote in this session (their device keys).
    std::set<std::string> received;
    // A refresh from the server: the device's items when the session began; those the server
    // does not send are deleted once its package is complete.
    std::vector<std::string> deviceKeysAtStart;
    // Changes of the device that the completed session settles without sending them (the server
    // was made equal to the device, or the device to the server): acknowledged at its end.
    std::vector<std::string> settledKeys;
    // A refresh from the device: the keys the server's own items were mapped to instead of being
    // stored (DataStore::reserveUnusedKey); recorded as deleted once the session completed.
    std::set<std::string> learnedKeys;
    FolderCounters counters;

private:
    static std::size_t slot(ChangeList which) { return static_cast<std::size_t>(which); }

    int folder_;
    SyncAnchor next_;
    StoreRef<DataStore> store_;
    std::array<StoreRef<ItemList>, kChangeListCount> lists_;
    int listIndex_ = 0;
    StoreRef<StoreItem> held_;
};

}  // namespace orvale

#pragma once
// One folder's state during synchronisation: its opened store, the anchor to save at the end, the
// change lists being sent with the position reached, and the folder's counters.
#include <array>
#include <cstdint>
#include <utility>

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

    void setList(ChangeList which, ItemList* adopted) { lists_[static_cast<int>(which)] = StoreRef<ItemList>(adopted); }
    int listCount(ChangeList which) const;
    const ItemList* list(ChangeList which) const { return lists_[static_cast<int>(which)].get(); }

    // The item at the remembered position and the list it came from; null when every list is
    // exhausted. The item stays current until `advance`, so a message that has no room for it
    // leaves it for the next one.
    StoreItem* current();
    ChangeList currentList() const { return static_cast<ChangeList>(listIndex_); }
    void advance() { held_.reset(); }

    std::int32_t changes = 0;
    std::int32_t serverChanges = 0;
    bool syncRefused = false;
    FolderCounters counters;

private:
    int folder_;
    SyncAnchor next_;
    StoreRef<DataStore> store_;
    std::array<StoreRef<ItemList>, kChangeListCount> lists_;
    int listIndex_ = 0;
    StoreRef<StoreItem> held_;
};

}  // namespace orvale

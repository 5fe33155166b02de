#include "engine/SyncContextHolder.h"

namespace orvale {

int SyncContextHolder::listCount(ChangeList which) const {
    const auto& list = lists_[slot(which)];
    return list ? list->count() : 0;
}

StoreItem* SyncContextHolder::current() {
    while (!held_ && listIndex_ < kChangeListCount) {
        ItemList* list = lists_[static_cast<std::size_t>(listIndex_)].get();
        if (list != nullptr && list->hasNext()) {
            // A list may hand out null for an identifier it cannot build; that one is skipped.
            held_ = StoreRef<StoreItem>(list->next());
        } else {
            ++listIndex_;
        }
    }
    return held_.get();
}

}  // namespace orvale

#pragma once
// The item list of a folder store: the same cursor, but the device items behind the next few
// identifiers are read in one go rather than one read each, which dominated walking a large folder.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/pim/PimSession.h"
#include "stores/ItemList.h"

namespace orvale {

class FolderStore;

class FolderItemList final : public ItemList {
public:
    FolderItemList(FolderStore* store, std::vector<uint32_t> ids);
    // As ItemList::next: the item for the identifier at the position, read from the device (at
    // most kAhead identifiers ahead of the position), or null at the end.
    StoreItem* next() override;

    static constexpr size_t kAhead = 32;

private:
    FolderStore* folder_;
    size_t bufferStart_ = 0;
    std::vector<std::unique_ptr<platform::pim::Item>> buffer_;
};

}  // namespace orvale

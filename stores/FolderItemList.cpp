#include "stores/FolderItemList.h"

#include <algorithm>

#include "stores/FolderStore.h"

namespace orvale {

namespace pim = platform::pim;

FolderItemList::FolderItemList(FolderStore* store, std::vector<uint32_t> ids)
    : ItemList(store, std::move(ids)), folder_(store) {}

StoreItem* FolderItemList::next() {
    const size_t at = position();
    if (folder_ == nullptr || at >= ids().size()) return nullptr;
    if (!folder_->readsAhead()) return ItemList::next();
    if (at < bufferStart_ || at >= bufferStart_ + buffer_.size()) {
        buffer_.clear();
        bufferStart_ = at;
        const auto first = ids().begin() + static_cast<std::ptrdiff_t>(at);
        const std::vector<uint32_t> wanted(first, first + static_cast<std::ptrdiff_t>(std::min(kAhead, ids().size() - at)));
        pim::Session* session = pim::Session::current();
        auto read = session != nullptr ? session->itemsByOid(wanted) : std::nullopt;
        if (read) buffer_ = std::move(*read);
    }
    advance();
    const std::string key = keyForOid(ids()[at]);
    if (at >= bufferStart_ + buffer_.size()) return folder_->itemByKey(key);  // the read failed: one by one
    std::unique_ptr<pim::Item> device = std::move(buffer_[at - bufferStart_]);
    return folder_->itemOf(key, device.get());
}

}  // namespace orvale

#include "stores/ItemList.h"

#include <cstdlib>

#include "stores/DataStore.h"

namespace orvale {

ItemList::ItemList(DataStore* store, std::vector<uint32_t> ids) : ids_(std::move(ids)), store_(store) {
    if (store_) store_->addRef();
}

ItemList::~ItemList() {
    if (store_) store_->release();
}

StoreItem* ItemList::next() {
    if (!store_ || position_ >= ids_.size()) return nullptr;
    return store_->itemByKey(keyForOid(ids_[position_++]));
}

std::string keyForOid(uint32_t oid) { return std::to_string(static_cast<int32_t>(oid)); }

uint32_t oidForKey(const std::string& key) {
    // Keys are signed 32-bit decimals; wider values wrap as the device's conversion does.
    return static_cast<uint32_t>(std::strtoll(key.c_str(), nullptr, 10));
}

}  // namespace orvale

#pragma once
// What the items of the device's folders share: a key (empty until the item is on the device) and
// the item's text as the store exported it, which is what the engine sends.
#include <string>

#include "stores/StoreItem.h"

namespace orvale {

class TextItem : public StoreItem {
public:
    const std::string& key() const override { return key_; }
    std::size_t dataSize() const override { return data_.size(); }
    const char* data() const override { return data_.c_str(); }

protected:
    TextItem() = default;
    explicit TextItem(std::string key) : key_(std::move(key)) {}

    std::string key_;
    std::string data_;
};

}  // namespace orvale

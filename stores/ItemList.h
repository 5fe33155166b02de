#pragma once
// A cursor over object identifiers; each next() builds the item for one identifier from the device.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "stores/StoreCounted.h"

namespace orvale {

class DataStore;
class StoreItem;

class ItemList : public StoreCounted {
public:
    // Holds a reference on `store` so the items it builds outlive no store.
    ItemList(DataStore* store, std::vector<uint32_t> ids);
    ~ItemList() override;
    ItemList(const ItemList&) = delete;
    ItemList& operator=(const ItemList&) = delete;

    virtual int count() const { return static_cast<int>(ids_.size()); }
    virtual void release() { releaseCount(); }
    virtual bool hasNext() const { return position_ < ids_.size(); }
    // The item for the identifier at the position (key in signed decimal), or null at the end.
    virtual StoreItem* next();
    virtual void addRef() { addRefCount(); }

    const std::vector<uint32_t>& ids() const { return ids_; }

protected:
    size_t position() const { return position_; }
    void advance() { ++position_; }
    DataStore* store() const { return store_; }

private:
    size_t position_ = 0;
    std::vector<uint32_t> ids_;
    DataStore* store_;
};

// Object identifier as an item key: the 32 bits read as signed, so the top bit gives a "-".
std::string keyForOid(uint32_t oid);
// Leading-decimal reading of a key, as the device's keys are read back; junk gives 0.
uint32_t oidForKey(const std::string& key);

}  // namespace orvale

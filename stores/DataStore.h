#pragma once
// One opened folder as the engine drives it. Concrete stores (contacts, tasks, calendar) override the
// abstract slots; the rest have the behaviour every store shares.
#include <string>

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

    DataStoreKind* kind() const { return kind_; }

protected:
    ChangeTracker* tracker_ = nullptr;  // owned by the process-wide tracker list

private:
    DataStoreKind* kind_;
};

}  // namespace orvale

#include "stores/DataStore.h"

#include "stores/DataStoreKind.h"
#include "stores/ItemList.h"
#include "stores/StoreItem.h"

namespace orvale {

DataStore::DataStore(DataStoreKind* kind) : kind_(kind) {
    if (kind_) kind_->storeOpened();
}

DataStore::~DataStore() {
    if (kind_) kind_->storeClosed();
}

bool DataStore::exportItems(const ItemVisitor& visit) {
    ItemList* list = allItems();
    if (list == nullptr) return false;
    while (StoreItem* item = list->next()) {
        visit(item->key(), std::string(item->data(), item->dataSize()));
        item->release();
    }
    list->release();
    return true;
}

}  // namespace orvale

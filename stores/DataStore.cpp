#include "stores/DataStore.h"

#include "stores/DataStoreKind.h"

namespace orvale {

DataStore::DataStore(DataStoreKind* kind) : kind_(kind) {
    if (kind_) kind_->storeOpened();
}

DataStore::~DataStore() {
    if (kind_) kind_->storeClosed();
}

}  // namespace orvale

#include "support/StoreSession.h"

#include "stores/DataStoreKind.h"
#include "stores/ItemList.h"
#include "stores/StoreItem.h"

namespace orvale::test {

namespace {
// Store-side objects are released, never deleted.
struct ItemRef {
    StoreItem* item;
    ~ItemRef() {
        if (item != nullptr) item->release();
    }
};
}  // namespace

StoreSession::StoreSession(int kindCode, ChangeRecording recording)
    : factory_(std::make_unique<DataStoreFactory>(recording)) {
    if (DataStoreKind* kind = factory_->createKindById(kindCode)) store_ = kind->openStore(nullptr);
}

StoreSession::~StoreSession() {
    if (store_ != nullptr) store_->release();
    factory_->saveChanges();
    factory_.reset();
}

std::string StoreSession::add(const std::string& text) {
    const ItemRef ref{store_->newItem()};
    return ref.item->setData(text) ? ref.item->key() : std::string();
}

bool StoreSession::replace(const std::string& key, const std::string& text) {
    const ItemRef ref{store_->itemByKey(key)};
    return ref.item != nullptr && ref.item->setData(text);
}

std::string StoreSession::text(const std::string& key) {
    const ItemRef ref{store_->itemByKey(key)};
    return ref.item != nullptr ? std::string(ref.item->data(), ref.item->dataSize()) : std::string();
}

std::vector<std::string> StoreSession::keys(ItemList* list) {
    std::vector<std::string> out;
    while (StoreItem* item = list->next()) {
        out.push_back(item->key());
        item->release();
    }
    list->release();
    return out;
}

}  // namespace orvale::test

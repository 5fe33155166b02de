#pragma once
// One store of a kind opened the way a sync run opens it: a factory for the run, the kind by its
// code, the store from the kind. When it goes, the store is released, the factory saves (or
// discards) the change databases as a completed run does, and then goes.
#include <memory>
#include <string>
#include <vector>

#include "stores/DataStore.h"
#include "stores/DataStoreFactory.h"
#include "stores/KindCode.h"

namespace orvale::test {

class StoreSession {
public:
    explicit StoreSession(int kindCode, ChangeRecording recording = ChangeRecording::Record);
    ~StoreSession();
    StoreSession(const StoreSession&) = delete;
    StoreSession& operator=(const StoreSession&) = delete;

    DataStoreFactory& factory() { return *factory_; }
    // Null when the kind has no store; tests ASSERT on it before use.
    DataStore* store() { return store_; }

    // newItem + setData: the new key, empty when the store refused the text.
    std::string add(const std::string& text);
    // itemByKey + setData.
    bool replace(const std::string& key, const std::string& text);
    std::string text(const std::string& key);

    // The keys of every item the list gives; the list is released.
    static std::vector<std::string> keys(ItemList* list);

private:
    std::unique_ptr<DataStoreFactory> factory_;
    DataStore* store_ = nullptr;
};

}  // namespace orvale::test

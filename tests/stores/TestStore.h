#pragma once
// A store kind of the tests' own, holding its items in memory, so the store interface can be driven
// the way the engine drives it without any concrete device store.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "stores/DataStore.h"
#include "stores/DataStoreKind.h"
#include "stores/KindRegistry.h"

namespace orvale::test {

// Counts of destroyed objects, so tests can see exactly when each convention deletes.
struct Lifetimes {
    int items = 0, stores = 0, kinds = 0;
};
Lifetimes& lifetimes();

class TestItem : public StoreItem {
public:
    explicit TestItem(std::string key, std::string text = {}) : key_(std::move(key)), text_(std::move(text)) {}
    ~TestItem() override { ++lifetimes().items; }
    const std::string& key() const override { return key_; }
    size_t dataSize() const override { return text_.size(); }
    ContentType contentType() const override;
    bool setData(const std::string& text) override;
    const char* data() const override { return text_.c_str(); }

private:
    std::string key_, text_;
};

class TestStore : public DataStore {
public:
    explicit TestStore(DataStoreKind* kind) : DataStore(kind) {}
    ~TestStore() override { ++lifetimes().stores; }

    StoreItem* newItem() override { return new TestItem({}); }
    ItemList* allItems() override;
    std::string translateKey(const std::string&) override { return {}; }
    // Reads what the device holds for the key; a key the device lacks still gives an item.
    StoreItem* itemByKey(const std::string& key) override;
    bool deleteItem(const std::string& key) override { return texts.erase(oidForKey(key)) > 0; }
    void beginItem(const std::string&) override {}
    void saveAnchor(const SyncAnchor&) override {}
    void loadAnchor(SyncAnchor&) override {}
    ItemList* updatedItems(const SyncAnchor&, const SyncAnchor&) override { return new ItemList(this, {}); }
    ItemList* newItems(const SyncAnchor&, const SyncAnchor&) override { return new ItemList(this, {}); }
    ItemList* deletedItems(const SyncAnchor&, const SyncAnchor&) override { return new ItemList(this, {}); }
    int itemAcknowledged(const std::string&) override { return 1; }
    void slot13() override {}
    void slot14() override {}
    void slot15() override {}
    void release() override { releaseCount(); }
    void addRef() override { addRefCount(); }

    std::map<uint32_t, std::string> texts;  // the "device"
    std::vector<std::string> keysRead;
};

class TestKind : public DataStoreKind {
public:
    explicit TestKind(const KindInfo& info) : info_(info) {}
    ~TestKind() override { ++lifetimes().kinds; }
    std::string kindName() const override { return info_.name; }
    ContentType contentType() const override;
    DataStore* openStore(void*) override { return new TestStore(this); }

private:
    const KindInfo& info_;
};

// Puts a TestKind maker in the registry for each of the three kind codes, and the stores' own back
// (the registry is process-wide; the tests after these need the real stores).
void registerTestKinds();
void registerRealKinds();

}  // namespace orvale::test

#include "scripted/MemoryStore.h"

#include <algorithm>

#include "stores/DataStore.h"
#include "stores/DataStoreKind.h"
#include "stores/ItemList.h"
#include "stores/KindRegistry.h"
#include "stores/StoreItem.h"

namespace orvale::test {
namespace {

class MemoryItem : public StoreItem {
public:
    MemoryItem(MemoryFolder& folder, std::string key, std::string text)
        : folder_(folder), key_(std::move(key)), text_(std::move(text)) {}
    const std::string& key() const override { return key_; }
    std::size_t dataSize() const override { return text_.size(); }
    ContentType contentType() const override { return ContentType(folder_.contentType); }
    bool setData(const std::string& text) override {
        folder_.calls.push_back("setData");
        if (!folder_.refuseText.empty() && text.find(folder_.refuseText) != std::string::npos) return false;
        if (key_.empty()) key_ = keyForOid(folder_.nextKey++);
        text_ = text;
        folder_.items[key_] = text;
        return true;
    }
    const char* data() const override { return text_.c_str(); }

private:
    MemoryFolder& folder_;
    std::string key_;
    std::string text_;
};

class MemoryStore : public DataStore {
public:
    MemoryStore(DataStoreKind* kind, MemoryFolder& folder) : DataStore(kind), folder_(folder) {}

    StoreItem* newItem() override {
        folder_.calls.push_back("newItem");
        return new MemoryItem(folder_, std::string(), std::string());
    }
    ItemList* allItems() override {
        folder_.calls.push_back("allItems");
        std::vector<std::uint32_t> ids;
        for (const auto& [key, text] : folder_.items) ids.push_back(oidForKey(key));
        return new ItemList(this, ids);
    }
    std::string translateKey(const std::string& key) override { return key; }
    StoreItem* itemByKey(const std::string& key) override {
        folder_.calls.push_back("itemByKey " + key);
        const auto it = folder_.items.find(key);
        if (it != folder_.items.end()) return new MemoryItem(folder_, key, it->second);
        // A deleted item is still listed by its key, as the device store does.
        if (std::find(folder_.deleted.begin(), folder_.deleted.end(), oidForKey(key)) != folder_.deleted.end())
            return new MemoryItem(folder_, key, std::string());
        return nullptr;
    }
    StoreItem* existingItem(const std::string& key) override {
        folder_.calls.push_back("existingItem " + key);
        const auto it = folder_.items.find(key);
        return it != folder_.items.end() ? new MemoryItem(folder_, key, it->second) : nullptr;
    }
    bool deleteItem(const std::string& key) override {
        folder_.calls.push_back("deleteItem " + key);
        return folder_.items.erase(key) == 1;
    }
    void beginItem(const std::string&) override {}
    void saveAnchor(const SyncAnchor& anchor) override { folder_.savedAnchors.push_back(anchor); }
    void loadAnchor(SyncAnchor& out) override { out = folder_.storedAnchor ? *folder_.storedAnchor : SyncAnchor(); }
    ItemList* updatedItems(const SyncAnchor&, const SyncAnchor&) override { return listOf("updatedItems", folder_.updated); }
    ItemList* newItems(const SyncAnchor&, const SyncAnchor&) override { return listOf("newItems", folder_.added); }
    ItemList* deletedItems(const SyncAnchor&, const SyncAnchor&) override { return listOf("deletedItems", folder_.deleted); }
    int itemAcknowledged(const std::string& key) override {
        folder_.acknowledged.push_back(key);
        return 1;
    }
    std::optional<std::string> reserveUnusedKey() override {
        folder_.calls.push_back("reserveUnusedKey");
        return keyForOid(folder_.nextKey++);
    }
    bool noteDeletedFromDevice(const std::string& key) override {
        folder_.calls.push_back("noteDeletedFromDevice " + key);
        folder_.deletedFromDevice.push_back(key);
        return true;
    }
    void slot13() override { folder_.calls.push_back("slot13"); }
    void slot14() override { folder_.calls.push_back("slot14"); }
    void slot15() override { folder_.calls.push_back("slot15"); }
    void release() override { releaseCount(); }
    void addRef() override { addRefCount(); }

private:
    ItemList* listOf(const char* call, const std::vector<std::uint32_t>& ids) {
        folder_.calls.push_back(call);
        return new ItemList(this, ids);
    }

    MemoryFolder& folder_;
};

class MemoryKind : public DataStoreKind {
public:
    explicit MemoryKind(MemoryFolder& folder) : folder_(folder) {}
    std::string kindName() const override { return "Memory" + folder_.name; }
    ContentType contentType() const override { return ContentType(folder_.contentType); }
    DataStore* openStore(void*) override {
        folder_.calls.push_back("openStore");
        return folder_.opens ? new MemoryStore(this, folder_) : nullptr;
    }

private:
    MemoryFolder& folder_;
};

}  // namespace

MemoryFolder& MemoryFactory::folder(int kindCode) {
    auto [it, added] = folders_.try_emplace(kindCode);
    if (added) {
        const KindInfo* info = kindInfoByCode(kindCode);
        it->second.name = info != nullptr ? info->folderName : "Folder" + std::to_string(kindCode);
        it->second.contentType = kindCode == 1 ? "text/x-vcard" : "text/x-vcalendar";
    }
    return it->second;
}

const MemoryFolder* MemoryFactory::find(int kindCode) const {
    const auto it = folders_.find(kindCode);
    return it == folders_.end() ? nullptr : &it->second;
}

MemoryFolder* MemoryFactory::findByName(const std::string& name) {
    for (auto& [code, f] : folders_)
        if (f.name == name) return &f;
    return nullptr;
}

DataStoreKind* MemoryFactory::createKindById(int code) {
    const auto it = folders_.find(code);
    return it == folders_.end() ? nullptr : new MemoryKind(it->second);
}

DataStoreKind* MemoryFactory::createKindByName(const std::string& text) {
    const KindInfo* info = kindInfoByFolderName(text);
    return info != nullptr ? createKindById(info->code) : nullptr;
}

std::vector<DataStoreKind*> MemoryFactory::allKinds() {
    std::vector<DataStoreKind*> out;
    for (auto& [code, f] : folders_) out.push_back(new MemoryKind(f));
    return out;
}

}  // namespace orvale::test

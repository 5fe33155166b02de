#include "tools/pim/StoreAccess.h"

#include <algorithm>

#include "stores/DataStore.h"
#include "stores/DataStoreFactory.h"
#include "stores/DataStoreKind.h"
#include "stores/ItemList.h"
#include "stores/KindRegistry.h"
#include "stores/StoreItem.h"
#include "stores/StoreOpening.h"

namespace orvale::pim_tool {

namespace {

// A store reference held for the tool's lifetime; store-side objects go when released.
template <typename T>
struct Released {
    void operator()(T* p) const {
        if (p != nullptr) p->release();
    }
};
using ItemRef = std::unique_ptr<StoreItem, Released<StoreItem>>;
using ListRef = std::unique_ptr<ItemList, Released<ItemList>>;

// Any folder through the generic store interface, the way the engine drives it. The factory
// discards its change trackers: what the tool changes is recorded by no one, so the next sync
// reports it. Every write, or every group of writes, is one device transaction, so a sync may run on
// the same root meanwhile.
class GenericAccess final : public StoreAccess {
public:
    GenericAccess(std::unique_ptr<DataStoreFactory> factory, StoreRef<DataStore> store, std::string component,
                  std::string folderName)
        : factory_(std::move(factory)), store_(std::move(store)), component_(std::move(component)),
          folderName_(std::move(folderName)) {}
    ~GenericAccess() override {
        store_.reset();  // before the factory closes the device session
    }
    GenericAccess(const GenericAccess&) = delete;
    GenericAccess& operator=(const GenericAccess&) = delete;

    std::string itemComponent() const override { return component_; }

    std::optional<std::string> backUp() override {
        return backup::backUpStore(*store_.get(), folderName_, backup::BackupReason::ByHand);
    }
    backup::RestoreOutcome restore(const backup::Backup& backup) override {
        keys_.reset();
        return backup::restoreStore(*store_.get(), backup);
    }

    bool beginWrites() override { return store_->beginWholeWrites(); }
    bool commitWrites() override { return store_->commitWrites(); }
    void abandonWrites() override { store_->abandonWrites(); }
    std::string deviceError() const override { return factory_->deviceError(); }

    std::vector<std::string> keys() override {
        if (!keys_) {
            keys_.emplace();
            const ListRef list(store_->allItems());
            for (const uint32_t oid : list->ids()) keys_->push_back(keyForOid(oid));
        }
        return *keys_;
    }

    // Only keys written as the store writes them: "0012" or "12abc" would read as another item.
    bool exists(const std::string& key) override {
        const auto all = keys();
        return std::find(all.begin(), all.end(), key) != all.end();
    }

    std::string text(const std::string& key) override {
        const ItemRef item(store_->itemByKey(key));
        return item ? std::string(item->data(), item->dataSize()) : std::string();
    }

    bool eachItem(const std::function<void(const std::string& key, const std::string& text)>& use) override {
        return store_->listedItems(use);
    }

    std::optional<std::string> add(const std::string& text) override {
        const ItemRef item(store_->newItem());
        if (!item || !item->setData(text)) return std::nullopt;
        keys_.reset();
        return item->key();
    }

    bool replace(const std::string& key, const std::string& text) override {
        const ItemRef item(store_->itemByKey(key));
        return item && item->setData(text);
    }

    bool remove(const std::string& key) override {
        keys_.reset();
        return store_->deleteItem(key);
    }

private:
    std::unique_ptr<DataStoreFactory> factory_;
    StoreRef<DataStore> store_;
    std::string component_;
    std::string folderName_;
    std::optional<std::vector<std::string>> keys_;
};

}  // namespace

std::unique_ptr<StoreAccess> StoreAccess::open(const std::string& kindName, std::string& problem, bool readOnly) {
    auto factory = std::make_unique<DataStoreFactory>(ChangeRecording::Discard,
                                                      readOnly ? DeviceAccess::ReadOnly : DeviceAccess::ReadWrite);
    problem = factory->openError();
    if (!problem.empty()) return nullptr;
    UnopenedKind kind(factory->createKindByName(kindName));
    if (!kind) return nullptr;
    const std::string name = kind->kindName();
    StoreRef<DataStore> store = openKindStore(std::move(kind));
    if (!store) return nullptr;
    const std::string component = name == "WinMobileContacts"    ? "VCARD"
                                  : name == "WinMobileCalendars" ? "VCALENDAR/VEVENT"
                                                                 : "VCALENDAR/VTODO";
    return std::make_unique<GenericAccess>(std::move(factory), std::move(store), component, kindName);
}

}  // namespace orvale::pim_tool

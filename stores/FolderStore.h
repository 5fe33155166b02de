#pragma once
// What the contacts, tasks and calendar stores share: one device folder, its anchor file, its change
// tracker and the lists made from it. A concrete store adds how its items are built and which
// properties make up their fingerprints.
#include <cstdint>
#include <string>
#include <vector>

#include "stores/ChangeTracker.h"
#include "stores/DataStore.h"
#include "stores/KindRegistry.h"

namespace orvale {

class FolderStore : public DataStore {
public:
    FolderStore(DataStoreKind* kind, const KindInfo& info);

    ItemList* allItems() override;
    std::string translateKey(const std::string&) override { return {}; }
    StoreItem* itemByKey(const std::string& key) override { return readItem(key); }
    bool deleteItem(const std::string& key) override;
    void beginItem(const std::string&) override {}
    void saveAnchor(const SyncAnchor& anchor) override;
    void loadAnchor(SyncAnchor& out) override;
    ItemList* updatedItems(const SyncAnchor& last, const SyncAnchor& next) override;
    ItemList* newItems(const SyncAnchor& last, const SyncAnchor& next) override;
    ItemList* deletedItems(const SyncAnchor& last, const SyncAnchor& next) override;
    // The server accepted the item: the change tracker records its new state at the end of the run.
    int itemAcknowledged(const std::string& key) override;
    void slot13() override {}
    void slot14() override {}
    void slot15() override {}
    void release() override { releaseCount(); }
    void addRef() override { addRefCount(); }

    const KindInfo& info() const { return info_; }

protected:
    // The item for a key, read from the device at once; an item carrying only its key when the
    // device has no such item (a deleted one still needs its key to be sent).
    virtual StoreItem* readItem(const std::string& key) = 0;
    virtual TrackerProfile trackerProfile() const = 0;
    // The calendar narrows the all, updated and new lists to its date window.
    virtual std::vector<uint32_t> narrowed(std::vector<uint32_t> ids) { return ids; }

    // Made on the first list operation of the run and saved when the run's factory goes.
    ChangeTracker& tracker();

private:
    const KindInfo& info_;
};

}  // namespace orvale

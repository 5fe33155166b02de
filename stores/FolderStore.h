#pragma once
// What the contacts, tasks and calendar stores share: one device folder, its anchor file, its change
// tracker and the lists made from it. A concrete store adds how its items are built and which
// properties make up their fingerprints.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
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
    // Null for a key that names no item of this folder (readItem would build one carrying only the key).
    StoreItem* existingItem(const std::string& key) override;
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

    // Write groups are batches of the device session; pending maps are kept in the device's
    // database beside the folder's items. The entries outlive a completed session until the
    // change database has recorded the items (when the run's factory goes).
    bool beginWrites() override;
    bool beginWholeWrites() override;
    bool commitWrites() override;
    void abandonWrites() override;
    std::optional<std::vector<PendingMap>> pendingMaps(std::size_t most) override;
    bool notePendingMap(const std::string& serverId, const std::string& localKey) override;
    void dropPendingMaps() override;
    // By the contents the concrete store gives (contentOfText, contentOfItem); none when it gives none.
    std::vector<std::string> keysWithContent(const std::string& text) override;
    std::optional<std::string> reserveUnusedKey() override;
    bool noteDeletedFromDevice(const std::string& key) override;
    // From one bulk read of the folder when the concrete store gives exportText, else item by item.
    bool exportItems(const ItemVisitor& visit) override;
    // From the bulk read of exportItems when that gives what allItems() lists: outside a sync (a
    // sync's allItems keeps a backup first) and while the store narrows nothing.
    bool listedItems(const ItemVisitor& visit) override;

    const KindInfo& info() const { return info_; }

    // The item for a key from what the device holds for it, read already (null: nothing); the
    // same item readItem would build. Only when readsAhead.
    StoreItem* itemOf(const std::string& key, const platform::pim::Item* device) { return itemFromDevice(key, device); }
    bool readsAhead() const { return buildsFromDevice(); }

protected:
    // Builds the item from the device item read for it, when buildsFromDevice; a store that builds
    // its items only from their keys (the default) costs a read of its own per item.
    virtual bool buildsFromDevice() const { return false; }
    virtual StoreItem* itemFromDevice(const std::string& key, const platform::pim::Item* device) {
        (void)device;
        return readItem(key);
    }
    // What an item is on the device, as one text that two items share exactly when they are equal
    // field for field as this store maps them. For a text: what setData would store (nullopt when it
    // is not an item of this kind); for a device item: read with contentProperties() (the picture
    // whole). A store that gives no contents (the defaults) matches nothing.
    virtual std::optional<std::string> contentOfText(const std::string& text) {
        (void)text;
        return std::nullopt;
    }
    virtual std::string contentOfItem(const platform::pim::Item& item) const {
        (void)item;
        return {};
    }
    virtual std::vector<uint32_t> contentProperties() const { return {}; }
    // Helpers for the two: the content of a new, unsaved device item of `type` once `fill` has put
    // in it what setData would (nullopt without a device session), and one text of several values
    // that cannot run into each other (each value behind its length).
    std::optional<std::string> contentOfNewItem(int type, const std::function<void(platform::pim::Item&)>& fill) const;
    static void appendContentValue(std::string& content, const std::string& value);

    // An item's text exactly as readItem gives it, made from the item of a bulk folder read that
    // holds exportProperties() (streams whole). A store that gives no properties (the default) is
    // exported item by item.
    virtual std::vector<uint32_t> exportProperties() const { return {}; }
    virtual std::string exportText(const platform::pim::Item& item) const {
        (void)item;
        return {};
    }

    // The item for a key, read from the device at once; an item carrying only its key when the
    // device has no such item (a deleted one still needs its key to be sent).
    virtual StoreItem* readItem(const std::string& key) = 0;
    virtual TrackerProfile trackerProfile() const = 0;
    // The calendar narrows the all, updated and new lists to its date window.
    virtual std::vector<uint32_t> narrowed(std::vector<uint32_t> ids) { return ids; }
    // Whether narrowed() may leave items out now.
    virtual bool narrows() const { return false; }

    // Made on the first list operation of the run and saved when the run's factory goes.
    ChangeTracker& tracker();

private:
    const KindInfo& info_;
    // Content hash -> items, of the folder as it was when first asked; a candidate is read again
    // and compared whole before it counts.
    // Values: the item's position in the folder and its identifier.
    std::optional<std::unordered_multimap<std::size_t, std::pair<uint32_t, uint32_t>>> contentIndex_;
};

}  // namespace orvale

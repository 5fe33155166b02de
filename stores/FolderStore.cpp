#include "stores/FolderStore.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "platform/pim/PimSession.h"
#include "stores/AnchorFile.h"
#include "stores/ChangeTrackerList.h"
#include "stores/FolderItemList.h"
#include "stores/SyncAnchor.h"
#include "stores/backup/StoreBackup.h"

namespace orvale {

namespace pim = platform::pim;

FolderStore::FolderStore(DataStoreKind* kind, const KindInfo& info) : DataStore(kind), info_(info) {}

ChangeTracker& FolderStore::tracker() {
    if (tracker_ == nullptr) {
        tracker_ = new ChangeTracker(trackerProfile());
        registerTracker(tracker_);
    }
    return *tracker_;
}

ItemList* FolderStore::allItems() {
    if (!trackersDiscarded()) {
        // The tracker is made here so that a slow sync rewrites the database at the end of the run.
        tracker();
        // The engine asks for all items only for a slow sync, and a slow sync may bring the server's
        // whole folder over the device's: the folder as it stands is kept first. A tool (which
        // records no changes) only lists.
        const bool firstSync = readAnchorLine(info_.anchorFile).empty();
        backup::backUpStore(*this, info_.folderName,
                            firstSync ? backup::BackupReason::FirstSync : backup::BackupReason::SlowSync);
    }
    return new FolderItemList(this, narrowed(ChangeTracker::includedItems(info_.folder)));
}

std::optional<std::string> FolderStore::contentOfNewItem(int type,
                                                         const std::function<void(pim::Item&)>& fill) const {
    pim::Session* session = pim::Session::current();
    if (session == nullptr) return std::nullopt;
    // Through the device's own values, so a text and the item it would become give one content.
    const auto item = session->createItem(type);
    if (!item) return std::nullopt;
    fill(*item);
    return contentOfItem(*item);
}

void FolderStore::appendContentValue(std::string& content, const std::string& value) {
    content += std::to_string(value.size());
    content += ':';
    content += value;
}

bool FolderStore::exportItems(const ItemVisitor& visit) {
    pim::Session* session = pim::Session::current();
    if (session == nullptr) return false;
    std::vector<uint32_t> props = exportProperties();
    if (props.empty()) {
        // No tracker and no date window: a backup is of the whole folder and changes no run's lists.
        const std::vector<uint32_t> ids = ChangeTracker::includedItems(info_.folder);
        for (const uint32_t oid : ids) {
            StoreItem* item = readItem(keyForOid(oid));
            if (item == nullptr) continue;
            visit(item->key(), std::string(item->data(), item->dataSize()));
            item->release();
        }
        return true;
    }
    props.push_back(ChangeTracker::kExclusionProperty);
    return session->visitFolder(info_.folder, props, SIZE_MAX, [&](pim::Item& item) {
        if (!ChangeTracker::excluded(item)) visit(keyForOid(item.oid()), exportText(item));
    });
}

bool FolderStore::listedItems(const ItemVisitor& visit) {
    if (!trackersDiscarded() || narrows() || exportProperties().empty()) return DataStore::listedItems(visit);
    return exportItems(visit);
}

StoreItem* FolderStore::existingItem(const std::string& key) {
    pim::Session* session = pim::Session::current();
    if (session == nullptr) return nullptr;
    const auto device = session->itemByOid(oidForKey(key));
    // A key of another folder names nothing here, as for deleteItem.
    if (!device || device->folder() != info_.folder) return nullptr;
    return itemFromDevice(key, device.get());
}

bool FolderStore::deleteItem(const std::string& key) {
    pim::Session* session = pim::Session::current();
    if (session == nullptr) return false;
    auto item = session->itemByOid(oidForKey(key));
    // Keys are unique across folders: a key of another folder (a confused server) must not delete
    // an event through the contacts store.
    if (!item || item->folder() != info_.folder) return false;
    return item->remove();
}

void FolderStore::saveAnchor(const SyncAnchor& anchor) {
    writeAnchorFile(info_.anchorFile, anchor.getLabel(), anchor.getRemoteLabel(), anchor.getTime());
}

void FolderStore::loadAnchor(SyncAnchor& out) {
    const std::string line = readAnchorLine(info_.anchorFile);
    try {
        out = line.empty() ? SyncAnchor() : SyncAnchor::parse(line);
    } catch (const SyncAnchorException&) {
        // A file that does not read as an anchor means the last sync point is unknown: a slow sync
        // sets it again, where a refusal would keep the folder out of every later sync.
        out = SyncAnchor();
    }
}

ItemList* FolderStore::updatedItems(const SyncAnchor&, const SyncAnchor&) {
    return new FolderItemList(this, narrowed(tracker().updatedList()));
}

ItemList* FolderStore::newItems(const SyncAnchor&, const SyncAnchor&) {
    return new FolderItemList(this, narrowed(tracker().newList()));
}

ItemList* FolderStore::deletedItems(const SyncAnchor&, const SyncAnchor&) {
    return new FolderItemList(this, tracker().deletedList());
}

int FolderStore::itemAcknowledged(const std::string& key) {
    // Without a tracker this run sent nothing from this folder, so there is nothing to record.
    if (tracker_ != nullptr) tracker_->acknowledge(oidForKey(key));
    return 1;
}

std::optional<std::string> FolderStore::reserveUnusedKey() {
    pim::Session* session = pim::Session::current();
    if (session == nullptr) return std::nullopt;
    const std::optional<uint32_t> oid = session->reserveOid();
    if (!oid) return std::nullopt;
    return keyForOid(*oid);
}

bool FolderStore::noteDeletedFromDevice(const std::string& key) {
    // A run that records no changes cannot keep it for the next session.
    if (trackersDiscarded()) return false;
    tracker().recordGone(oidForKey(key));
    return true;
}

bool FolderStore::beginWrites() {
    pim::Session* session = pim::Session::current();
    return session != nullptr && session->beginBatch();
}

bool FolderStore::beginWholeWrites() {
    pim::Session* session = pim::Session::current();
    return session != nullptr && session->beginBatch(true);
}

bool FolderStore::commitWrites() {
    pim::Session* session = pim::Session::current();
    return session != nullptr && session->commitBatch();
}

void FolderStore::abandonWrites() {
    if (pim::Session* session = pim::Session::current()) session->rollbackBatch();
}

std::optional<std::vector<DataStore::PendingMap>> FolderStore::pendingMaps(std::size_t most) {
    pim::Session* session = pim::Session::current();
    if (session == nullptr) return std::nullopt;
    auto stored = session->pendingMaps(info_.folder, most);
    if (!stored) return std::nullopt;
    std::vector<PendingMap> out;
    out.reserve(stored->size());
    for (auto& entry : *stored) out.push_back({std::move(entry.serverId), keyForOid(entry.oid)});
    return out;
}

bool FolderStore::notePendingMap(const std::string& serverId, const std::string& localKey) {
    pim::Session* session = pim::Session::current();
    return session != nullptr && session->notePendingMap(info_.folder, serverId, oidForKey(localKey));
}

void FolderStore::dropPendingMaps() {
    const int folder = info_.folder;
    auto drop = [folder] {
        if (pim::Session* session = pim::Session::current()) session->dropPendingMaps(folder);
    };
    // Until the change database records the session's items, only the entries tell the next
    // session that the copies of server items are not the device's own new items.
    if (tracker_ != nullptr && !trackersDiscarded()) {
        tracker_->whenSaved(drop);
    } else {
        drop();
    }
}

std::vector<std::string> FolderStore::keysWithContent(const std::string& text) {
    std::vector<std::string> keys;
    pim::Session* session = pim::Session::current();
    const std::vector<uint32_t> props = contentProperties();
    if (session == nullptr || props.empty()) return keys;
    const std::hash<std::string> hash;
    if (!contentIndex_) {
        contentIndex_.emplace();
        std::vector<uint32_t> read = props;
        read.push_back(ChangeTracker::kExclusionProperty);
        uint32_t position = 0;
        session->visitFolder(info_.folder, read, SIZE_MAX, [&](pim::Item& item) {
            if (!ChangeTracker::excluded(item)) contentIndex_->emplace(hash(contentOfItem(item)), std::pair{position, item.oid()});
            ++position;
        });
    }
    // Most texts a fresh device receives have nothing to be compared with: no mapping for them.
    if (contentIndex_->empty()) return keys;
    const std::optional<std::string> wanted = contentOfText(text);
    if (!wanted) return keys;
    const auto [first, last] = contentIndex_->equal_range(hash(*wanted));
    // In the folder's order, so the first equal item wins.
    std::vector<std::pair<uint32_t, uint32_t>> candidates;
    for (auto it = first; it != last; ++it) candidates.push_back(it->second);
    std::sort(candidates.begin(), candidates.end());
    for (const auto& [position, oid] : candidates) {
        const auto item = session->itemByOid(oid);
        if (item && item->folder() == info_.folder && !ChangeTracker::excluded(*item) && contentOfItem(*item) == *wanted) {
            keys.push_back(keyForOid(oid));
        }
    }
    return keys;
}

}  // namespace orvale

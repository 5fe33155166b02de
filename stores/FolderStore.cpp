#include "stores/FolderStore.h"

#include "platform/pim/PimSession.h"
#include "stores/AnchorFile.h"
#include "stores/ChangeTrackerList.h"
#include "stores/SyncAnchor.h"

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
    // The tracker is made here so that a slow sync rewrites the database at the end of the run.
    if (!trackersDiscarded()) tracker();
    return new ItemList(this, narrowed(ChangeTracker::includedItems(info_.folder)));
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
    out = line.empty() ? SyncAnchor() : SyncAnchor::parse(line);
}

ItemList* FolderStore::updatedItems(const SyncAnchor&, const SyncAnchor&) {
    return new ItemList(this, narrowed(tracker().updatedList()));
}

ItemList* FolderStore::newItems(const SyncAnchor&, const SyncAnchor&) {
    return new ItemList(this, narrowed(tracker().newList()));
}

ItemList* FolderStore::deletedItems(const SyncAnchor&, const SyncAnchor&) {
    return new ItemList(this, tracker().deletedList());
}

int FolderStore::itemAcknowledged(const std::string& key) {
    // Without a tracker this run sent nothing from this folder, so there is nothing to record.
    if (tracker_ != nullptr) tracker_->acknowledge(oidForKey(key));
    return 1;
}

}  // namespace orvale

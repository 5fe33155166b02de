// The pending-map journal wired into a session. A server Add is noted once it is stored, and the
// journal is written before the message carrying its Map leaves; a session that fails before the
// server got the Map leaves the journal behind. The next session then updates the item it already
// stored when the server sends the Add again, and does not send that item up as new. Only a
// completed session, when the folder's anchor is saved, deletes the journal.
#include "engine/SyncClientImpl.h"

namespace orvale {

PendingMapJournal& SyncClient::Impl::pendingMapsOf(int folder) {
    FolderState& state = folders[folder];
    if (!state.pendingMaps) {
        state.pendingMaps.emplace(state.localName());
        state.pendingMaps->load();
    }
    return *state.pendingMaps;
}

StoreItem* SyncClient::Impl::itemOfPendingAdd(int folder, DataStore& store, const std::string& serverId) {
    const std::optional<std::string> localKey = pendingMapsOf(folder).localKeyFor(serverId);
    if (!localKey) return nullptr;
    return store.itemByKey(*localKey);
}

void SyncClient::Impl::notePendingAdd(int folder, const std::string& serverId, const std::string& localKey) {
    if (!pendingMapsOf(folder).record(serverId, localKey)) {
        observer.text("Added item is not kept for a lost Map: " + localKey);
    }
}

void SyncClient::Impl::savePendingAdds(int folder) {
    if (!pendingMapsOf(folder).save()) observer.text("Pending map journal cannot be written: " + folders[folder].localName());
}

bool SyncClient::Impl::skipPendingAddCopy(SyncContextHolder& context, ChangeList list, StoreItem& item) {
    if (list != ChangeList::New) return false;
    if (!pendingMapsOf(context.folder()).hasLocalKey(item.key())) return false;
    // The change tracker records it at save, so it is not reported as new again.
    if (context.store() != nullptr) context.store()->itemAcknowledged(item.key());
    return true;
}

void SyncClient::Impl::dropPendingMaps(int folder) {
    FolderState& state = folders[folder];
    if (!state.pendingMaps) state.pendingMaps.emplace(state.localName());
    state.pendingMaps->remove();
}

}  // namespace orvale

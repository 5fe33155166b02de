// The pending-map journal wired into a session, and what a session knows of the server items it
// has mapped so far. A server Add is noted in the journal in the same write group as the item it
// stored, so the note is durable before the message carrying its Map can leave; a session that
// fails before the server got the Map leaves the journal behind. The next session then updates the
// item it already stored when the server sends the Add again, and does not send that item up as
// new. Only a completed session lets the journal go.
#include "engine/PendingMaps.h"

#include "engine/SyncObserver.h"
#include "stores/DataStore.h"

namespace orvale {

PendingMapJournal& PendingMaps::of(int folder, DataStore& store) {
    FolderState& state = folders_[folder];
    if (!state.pendingMaps) {
        state.pendingMaps.emplace();
        state.pendingMaps->load(store);
    }
    return *state.pendingMaps;
}

bool PendingMaps::mappedToOther(int folder, const std::string& localKey, const std::string& serverId) const {
    const auto& mapped = folders_[folder].mappedThisSession;
    const auto it = mapped.find(localKey);
    return it != mapped.end() && it->second != serverId;
}

StoreItem* PendingMaps::itemOfPendingAdd(int folder, DataStore& store, const std::string& serverId) {
    const std::optional<std::string> localKey = of(folder, store).localKeyFor(serverId);
    // One device item is one server item: a key another server item took in this session is not
    // this one's any more.
    if (!localKey || mappedToOther(folder, *localKey, serverId)) return nullptr;
    // The user may have deleted the copy since: the Add then stores the item anew.
    return store.existingItem(*localKey);
}

std::optional<std::string> PendingMaps::unmappedItemWithContent(int folder, DataStore& store, const std::string& text) {
    const PendingMapJournal& journal = of(folder, store);
    const auto& mapped = folders_[folder].mappedThisSession;
    for (const std::string& key : store.keysWithContent(text)) {
        // A journalled item waits for its own server item.
        if (mapped.count(key) == 0 && !journal.hasLocalKey(key)) return key;
    }
    return std::nullopt;
}

bool PendingMaps::notePendingAdd(int folder, DataStore& store, const std::string& serverId, const std::string& localKey,
                                 bool existingItem) {
    if (!of(folder, store).record(store, serverId, localKey)) {
        // The item made for this Add goes again in the same write group. An Add that landed on an
        // item the device held wrote nothing new: a journalled copy is noted already (its entry
        // is this one), an equal item was only matched.
        if (!existingItem && !store.deleteItem(localKey)) {
            observer_.text("Device store cannot undo an added item: " + localKey);
            writes_.markLost();
        }
        return false;
    }
    folders_[folder].mappedThisSession[localKey] = serverId;
    // A device item the server's Add landed on has its server counterpart now: the change tracker
    // records it, also when it is still listed as new and was not sent.
    if (existingItem) store.itemAcknowledged(localKey);
    return true;
}

void PendingMaps::serverTookAdd(int folder, const std::string& localKey) {
    // A server that does not match items by content keeps the item it made of our Add and may send
    // an equal older copy too (a slow sync after an interrupted one). Mapping that copy to our item
    // as well would leave the server's new item without a device item, and it would come down as
    // new in the next session: the device would hold the item twice. The copy is answered as equal
    // instead, and stays on the server unmapped.
    folders_[folder].mappedThisSession.emplace(localKey, std::string());
}

bool PendingMaps::skipOwnCopy(SyncContextHolder& context, ChangeList list, StoreItem& item) {
    DataStore* store = context.store();
    if (store == nullptr || (list != ChangeList::New && list != ChangeList::All)) return false;
    const std::string& key = item.key();
    if (folders_[context.folder()].mappedThisSession.count(key) != 0) return true;
    if (!of(context.folder(), *store).hasLocalKey(key)) return false;
    // In a two-way session the server kept its item and only the Map may be missing; it sends
    // the Add again if so. In a slow sync the server may have lost everything: the copy stays
    // unrecorded unless the server's Add lands on it, so it goes up as new next time otherwise.
    if (list == ChangeList::New) store->itemAcknowledged(key);
    return true;
}

int PendingMaps::ownCopiesIn(SyncContextHolder& context, ChangeList list) {
    DataStore* store = context.store();
    const ItemList* items = context.list(list);
    if (store == nullptr || items == nullptr) return 0;
    const PendingMapJournal& journal = of(context.folder(), *store);
    if (journal.size() == 0) return 0;
    int copies = 0;
    for (const std::uint32_t oid : items->ids()) copies += journal.hasLocalKey(keyForOid(oid)) ? 1 : 0;
    return copies;
}

void PendingMaps::drop(int folder, DataStore& store) { of(folder, store).drop(store); }

}  // namespace orvale

#pragma once
// The folders' pending-map journals as a session uses them, and the server items it has mapped so
// far (see PendingMaps.cpp).
#include <optional>
#include <string>

#include "engine/Folders.h"
#include "engine/MessageWrites.h"
#include "engine/PendingMapJournal.h"
#include "engine/SyncContextHolder.h"

namespace orvale {

class DataStore;
class StoreItem;
class SyncObserver;

class PendingMaps {
public:
    PendingMaps(Folders& folders, MessageWrites& writes, SyncObserver& observer)
        : folders_(folders), writes_(writes), observer_(observer) {}

    PendingMapJournal& of(int folder, DataStore& store);
    // The device item a repeated server Add names, when the journal knows it and it still exists.
    StoreItem* itemOfPendingAdd(int folder, DataStore& store, const std::string& serverId);
    // A device item equal to the text that no server item of this session has taken and that does
    // not wait for its own server item (journalled); none when there is no such item.
    std::optional<std::string> unmappedItemWithContent(int folder, DataStore& store, const std::string& text);
    // The journal entry of an Add answered 201 that landed on `localKey` (an item the device held
    // already when `existingItem`), in the message's write group. False when it cannot be noted:
    // the item made for the Add is then removed again (when even that fails, the message's writes
    // are lost).
    bool notePendingAdd(int folder, DataStore& store, const std::string& serverId, const std::string& localKey,
                        bool existingItem);
    // True when a device item on the new or all list is not to be sent: it is the copy of a server
    // item (journalled, or mapped in this session).
    bool skipOwnCopy(SyncContextHolder& context, ChangeList list, StoreItem& item);
    // The server took the device's Add of `localKey` in this session and made its own item of it:
    // no other server item may take that device item now.
    void serverTookAdd(int folder, const std::string& localKey);
    // How many items of the list are journalled copies, which skipOwnCopy will leave out.
    int ownCopiesIn(SyncContextHolder& context, ChangeList list);
    void drop(int folder, DataStore& store);

private:
    bool mappedToOther(int folder, const std::string& localKey, const std::string& serverId) const;

    Folders& folders_;
    MessageWrites& writes_;
    SyncObserver& observer_;
};

}  // namespace orvale

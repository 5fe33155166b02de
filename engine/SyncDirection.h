#pragma once
// What a folder's agreed sync type means for each side: who sends, what, and who deletes what it
// did not receive. Every phase asks these instead of comparing Alert codes.
#include <optional>

#include "stores/SyncMode.h"

namespace orvale {

struct SyncDirection {
    // Our changes since the last session go to the server (Replace, Add, Delete).
    bool weSendChanges = false;
    // Every item of the folder goes to the server as Add, whatever changed.
    bool weSendAll = false;
    // The server's commands are applied to the device.
    bool serverSends = false;
    // Once the server's package is complete, device items it did not send are deleted.
    bool weDropUnreceived = false;
    // The server is made equal to what we send: what we deleted since the last session is
    // settled with it, not sent.
    bool serverReplaced = false;
};

// For the codes 200-205; none for any other.
std::optional<SyncDirection> directionOf(int alertCode);
// A folder's agreed code with the type the user asked for. A refresh from the device goes as a
// slow sync: a server may keep its own items in a refresh from the client and send none of them,
// so nothing would tell the device what to delete; in a slow sync it sends them. They are learned
// instead of stored, and deleted on the server by the next session that sends changes.
std::optional<SyncDirection> directionOf(int alertCode, SyncMode requested);

// The code a requested mode alerts with.
int alertCodeFor(SyncMode mode);

// The sync type a server's Alert for a folder names: 200-205 as they are, 206-210 (the server
// demands a type) as the code of that type; none for any other.
std::optional<int> typeNamedByServer(int serverAlertCode);

// A type where whole folders travel, for which the server's device information is asked as for a
// slow sync.
bool wholeFolderType(int alertCode);

}  // namespace orvale

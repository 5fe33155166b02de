#pragma once
// The applier of the server's commands: each command of a reply is handled in message order and
// answered with its Status; the server's items go into the folders' stores, one write group per
// store and message.
#include <map>
#include <string>

#include "engine/ElementRef.h"
#include "engine/Folders.h"
#include "engine/LargeObjects.h"
#include "engine/MessageBuilder.h"
#include "engine/MessageWrites.h"
#include "engine/PendingMaps.h"
#include "engine/RemoteDeviceInfo.h"
#include "engine/Session.h"
#include "syncml/CommandElements.h"

namespace orvale {

class DataStore;

// A server Sync being applied: where its items go.
struct OpenSync {
    int folder = -1;
    SyncContextHolder* context = nullptr;   // the folder's phase-2 context, when there is one
    StoreRef<DataStore> ownStore;           // opened for this Sync when no context holds one
    DataStore* store() const { return context != nullptr ? context->store() : ownStore.get(); }
};

// What a server command handling pass found.
struct ServerCommandsOutcome {
    bool packageComplete = false;
    // The device store did not keep the message's writes: our reply would claim what is not stored.
    bool writesLost = false;
    // The session ends after this message, none of its writes kept: the answers queued went past
    // the session's bound (MessageBuilder::kMaxQueuedCommands, kMaxQueuedBytes), or the server's
    // RespURI was refused.
    bool mustEnd = false;
    // The message carried something new: items, device information, a Sync not opened before, a
    // sync Alert. A server that only repeats its header, empty Syncs or Alert 222 does not progress.
    bool progress = false;
};

// The answer to one server Add or Replace command under construction.
struct ItemCommandReply {
    const std::string& msgRef;
    const std::string& cmdRef;
    CommandKind kind;
    Map* map = nullptr;  // the command's Map, once an item of it was added
};

class ServerCommands {
public:
    ServerCommands(Session& session, MessageBuilder& messages, Folders& folders, MessageWrites& writes,
                   PendingMaps& pendingMaps, LargeObjects& largeObjects)
        : session_(session),
          messages_(messages),
          folders_(folders),
          writes_(writes),
          pendingMaps_(pendingMaps),
          largeObjects_(largeObjects) {}

    // Handles the commands of the reply received last. `moreToSend`: our last message did not carry
    // everything, so a server's Alert 222 is answered 200.
    ServerCommandsOutcome handle(bool moreToSend);

    void closeSync(const std::string& localName) { openSyncs_.erase(localName); }
    void clear() {
        openSyncs_.clear();
        devInfSent_ = false;
        respUriRefused_ = false;
    }

    // The server's device information received in this client's sessions.
    const RemoteDeviceInfo& remoteInfo() const { return remoteInfo_; }

private:
    void handleHeader(const Header& header);
    void handleSync(const StartSync& sync, const std::string& msgRef);
    void handleAlert(const Alert& alert, const std::string& msgRef);
    void handleGet(const PutOrGet& get, const std::string& msgRef);
    // Alert 222 (true: the server's package is complete), Alert 223, or the server's sync Alert.
    bool handleAnyAlert(const Alert& alert, const std::string& msgRef, bool moreToSend);
    // The server's device information, from its Results or Put.
    void takeDeviceInfo(const ItemListElement* items, const std::string& cmdRef, CommandKind kind,
                        const std::string& msgRef);
    void handleCommand(const ReceivedCommand& command, const std::string& msgRef, bool moreToSend,
                       OpenSync*& current, ServerCommandsOutcome& out);

    // --- ItemCommands.cpp
    void applyAddOrReplace(const Generic& command, CommandKind kind, OpenSync* target, const std::string& msgRef);
    void applyDelete(const Generic& command, OpenSync* target, const std::string& msgRef);
    // The folder's sync type has the server send nothing: the command is answered 405 (true).
    bool refusedForType(const OpenSync* target, const std::string& msgRef, const std::string& cmdRef, CommandKind kind);
    // One complete server item applied to the target's store, inside the message's write group:
    // the code for its Status and, for an Add answered 201, the key of the device item it is now.
    struct AppliedItem {
        int code = 0;
        std::string localKey;
        bool existingItem = false;  // the Add landed on an item the device held already
        bool learned = false;       // not stored: mapped to a key that names no item (learnItem)
    };
    // `key` is the server's item ID for an Add, the device key for a Replace; `text` is the whole
    // item (a large object's chunks put together). The caller answers it with answerItem.
    AppliedItem applyItem(OpenSync& target, CommandKind kind, const std::string& key, const std::string& text,
                          const std::string& cmdRef);
    // An Add stored and noted in the journal together, or neither.
    AppliedItem applyAdd(OpenSync& target, const std::string& serverId, const std::string& text,
                         const std::string& cmdRef);
    AppliedItem storeAdd(OpenSync& target, const std::string& serverId, const std::string& text,
                         const std::string& cmdRef);
    // The Status of one item of the command, naming the item by its key.
    void queueItemStatus(const ItemCommandReply& reply, const std::string& key, int code);
    // A refresh from the device: the server's Add is not stored but learned under a key that names
    // no device item, noted in the journal in the message's write group; the folder records it as
    // deleted from the device once the session completed (SyncPhase::settleFolder).
    AppliedItem learnItem(OpenSync& target, const std::string& serverId, const std::string& cmdRef);
    // The item's Status, its MapItem in the command's Map, observer and counters.
    void answerItem(OpenSync& target, ItemCommandReply& reply, const std::string& key, const AppliedItem& applied);

    Session& session_;
    MessageBuilder& messages_;
    Folders& folders_;
    MessageWrites& writes_;
    PendingMaps& pendingMaps_;
    LargeObjects& largeObjects_;
    std::map<std::string, OpenSync> openSyncs_;
    RemoteDeviceInfo remoteInfo_;
    // Our device information went out in a Results this session.
    bool devInfSent_ = false;
    // The server's RespURI would have lowered the transport's protection or changed the host.
    bool respUriRefused_ = false;
};

}  // namespace orvale

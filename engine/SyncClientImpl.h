#pragma once
// The session engine's state, shared by the files that implement its steps (message building,
// initialisation, synchronisation, server commands, item commands). Not part of the public seam.
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/AbortRecord.h"
#include "engine/Authenticator.h"
#include "engine/ElementRef.h"
#include "engine/LargeObject.h"
#include "engine/MessageChannel.h"
#include "engine/PendingMapJournal.h"
#include "engine/PendingRegistry.h"
#include "engine/ReceivedMessage.h"
#include "engine/RemoteDeviceInfo.h"
#include "engine/SessionLimits.h"
#include "engine/SyncClient.h"
#include "engine/SyncConfig.h"
#include "engine/SyncContextHolder.h"
#include "engine/SyncObserver.h"
#include "stores/SyncAnchor.h"
#include "syncml/CommandElements.h"

namespace orvale {

class DataStoreFactory;
class SessionDataStore;
class Transport;

// A sync source as the session carries it: the configured folder, its anchors and agreed code.
struct FolderState {
    SyncSource source;
    bool active = true;
    int alertCode = 0;
    SyncAnchor last;
    SyncAnchor next;
    // Read on first use; see PendingMaps.cpp.
    std::optional<PendingMapJournal> pendingMaps;
    // Device items a server Add was mapped to in this session: local key -> server item ID.
    std::map<std::string, std::string> mappedThisSession;
    const std::string& localName() const { return source.local.displayName; }
};

struct OutgoingCommand {
    CommandKind kind;
    ElementRef<SyncElement> element;
    std::uint32_t cmdId = 0;
    int folder = -1;
};

// A server Sync being applied: where its items go and the Map of the Add being applied.
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
    // the session's bound (kMaxQueuedCommands, kMaxQueuedBytes), or the server's RespURI was refused.
    bool mustEnd = false;
};

// The answer to one server Add or Replace command under construction.
struct ItemCommandReply {
    const std::string& msgRef;
    const std::string& cmdRef;
    CommandKind kind;
    Map* map = nullptr;  // the command's Map, once an item of it was added
};

struct SyncClient::Impl {
    Impl(const ClientConfig& config, DataStoreFactory& factory, Transport& transport, SyncObserver& observer,
         std::shared_ptr<AbortRecord> abort, SessionDataStore& sessionData);

    // --- collaborators and configuration
    ClientConfig config;
    DataStoreFactory& factory;
    Transport& transport;
    SyncObserver& observer;
    std::shared_ptr<AbortRecord> abort;
    SessionDataStore& sessionData;
    ServerConfig server;
    std::string url;

    // --- counters and negotiated sizes
    std::uint32_t msgId = 1;
    std::uint32_t cmdId = 1;
    SessionLimits limits;
    std::string startTime;
    std::string sessionId;
    std::optional<Authenticator> auth;

    // --- messages
    MessageChannel channel;
    PendingRegistry pending;
    std::deque<ElementRef<Status>> statusQueue;
    std::deque<OutgoingCommand> commandQueue;
    ReceivedMessage received;
    // Message ID of the client message the last reply answered.
    std::uint32_t answeredMsgId = 0;
    // Something besides the header went into the message under construction.
    bool messageHasContent = false;
    // The last message carried all that was queued and every change of the last folder.
    bool lastMessageComplete = false;
    bool inSyncPhase = false;
    bool testMode = false;
    // Our device information went out in a Results this session.
    bool devInfSent = false;
    // What the server's messages had us queue for our next message went past the session's bound:
    // the session ends rather than grow without end.
    bool queueOverflow = false;
    // The server's RespURI would have lowered the transport's protection or changed the host.
    bool respUriRefused = false;
    static constexpr std::size_t kMaxQueuedCommands = 20'000;
    static constexpr std::uint64_t kMaxQueuedBytes = 8u << 20;
    bool queuedPastBound() const;

    // --- folders
    std::vector<FolderState> folders;
    std::vector<std::unique_ptr<SyncContextHolder>> contexts;
    std::map<std::string, OpenSync> openSyncs;
    // Stores whose write group the message being handled opened, in opening order.
    std::vector<DataStore*> messageWrites;
    // A write group of the message could not be opened, or holds what must not be kept: none of
    // the message's writes are kept, and its reply does not leave.
    bool messageWritesLost = false;
    bool serverSyncSeen = false;
    RemoteDeviceInfo remoteInfo;

    // --- large objects: ours being sent, the server's being received
    ElementRef<LargeObject> outgoingObject;
    IncomingLargeObject incomingObject;

    bool aborted() const { return abort && abort->aborted(); }
    std::uint32_t nextCmdId() { return cmdId++; }

    // --- SessionStart.cpp
    int run(const ServerConfig& serverConfig, const std::vector<SyncSource>& sources);
    bool testServer(const std::string& serverUrl, const std::string& user, const std::string& password);
    void startSession(const std::string& serverUrl, const std::string& user, const std::string& password);
    void endSession();

    // --- MessageBuilding.cpp
    void startMessage();
    // Adds queued statuses, then queued commands, while they fit; true when nothing stays queued.
    bool drainQueues();
    // Adds one element of the message; false when it did not fit (it is then dropped when it could
    // never fit, see the file).
    bool addToMessage(CommandKind kind, SyncElement& element);
    // Closes the message, sends it and decodes the reply into `received`.
    void sendAndReceive(bool final);
    // The command a received Status answers, taken from the pending registry, and the Status's code;
    // none (reported) when we never sent such a command.
    std::optional<PendingCommand> answeredCommand(const Status& status, int& code);
    void queueStatus(Status* status);
    void queueCommand(CommandKind kind, SyncElement* element, std::uint32_t id, int folder = -1);
    Status* newStatus(const std::string& msgRef, const std::string& cmdRef, CommandKind kind, int code);

    // --- InitPhase.cpp
    bool runInitPhase(bool testForm);
    void queueFolderAlerts();
    void queueDeviceInfoGet();
    void queueAlert222();
    struct InitStatusOutcome {
        bool newAttempt = false;
        bool headerAccepted = false;
        bool failed = false;
    };
    InitStatusOutcome handleInitStatuses(int& attempts, std::uint32_t refusedMsgId);
    // The reply under handling carries device information (Results).
    bool repliedWithResults() const;

    // --- SyncPhase.cpp
    bool runSyncPhase();
    // False when the session must stop (the server refused our header).
    bool syncFolder(int folder, bool lastFolder);
    bool openFolderContext(int folder, SyncContextHolder& context);
    struct SyncStatusOutcome {
        bool headerFailed = false;
        bool alert222Answered = false;
        bool alert222Refused = false;
    };
    SyncStatusOutcome handleSyncStatuses();
    void finishFolders();

    // --- ChangeSending.cpp
    // Adds the folder's Sync with as many changes as fit; true when all changes are sent.
    bool addFolderChanges(SyncContextHolder& context, bool messageWasEmpty);
    enum class ChunkResult { LastSent, MessageFull, Failed };
    // The next chunk of the pending outgoing large object, cut to the room the message has left.
    ChunkResult addNextChunk(SyncContextHolder& context, bool messageWasEmpty);
    bool largeObjectsAllowed(std::size_t size) const;
    // An item that is not sent this session: counted and reported as failed.
    void reportSkippedItem(SyncContextHolder& context, CommandKind kind, const std::string& key);
    void itemStatusReceived(const PendingCommand& command, int code);

    // --- ServerCommands.cpp
    ServerCommandsOutcome handleServerCommands();
    void handleServerHeader(const Header& header);
    void handleServerSync(const StartSync& sync, const std::string& msgRef);
    void handleServerAlert(const Alert& alert, const std::string& msgRef);
    void handleServerGet(const PutOrGet& get, const std::string& msgRef);

    // --- ItemCommands.cpp
    void applyServerAddOrReplace(const Generic& command, CommandKind kind, OpenSync* target, const std::string& msgRef);
    void applyServerDelete(const Generic& command, OpenSync* target, const std::string& msgRef);
    int folderIndexByLocalName(const std::string& name) const;
    // One complete server item applied to the target's store, inside the message's write group:
    // the code for its Status and, for an Add answered 201, the key of the device item it is now.
    struct AppliedItem {
        int code = 0;
        std::string localKey;
        bool existingItem = false;  // the Add landed on an item the device held already
    };
    // `key` is the server's item ID for an Add, the device key for a Replace; `text` is the whole
    // item (a large object's chunks put together). The caller answers it with answerServerItem.
    AppliedItem applyServerItem(OpenSync& target, CommandKind kind, const std::string& key, const std::string& text,
                                const std::string& cmdRef);
    // An Add stored and noted in the journal together, or neither.
    AppliedItem applyServerAdd(OpenSync& target, const std::string& serverId, const std::string& text,
                               const std::string& cmdRef);
    AppliedItem storeServerAdd(OpenSync& target, const std::string& serverId, const std::string& text,
                               const std::string& cmdRef);
    // The Status of one item of the command, naming the item by its key.
    void queueItemStatus(const ItemCommandReply& reply, const std::string& key, int code);
    // The item's Status, its MapItem in the command's Map, observer and counters.
    void answerServerItem(OpenSync& target, ItemCommandReply& reply, const std::string& key, const AppliedItem& applied);

    // --- MessageWrites.cpp
    // Opens the store's write group for the message being handled, once; false when it cannot be.
    bool writesOpen(DataStore& store);
    // Commits every group the message opened; false when any of their writes were not kept.
    bool commitMessageWrites();
    void abandonMessageWrites();

    // --- LargeObjectReceiving.cpp
    // What becomes of a received Add or Replace item with a key: a chunk kept or refused, or a
    // whole item to apply (the joined chunks, or the item's own data).
    ChunkOutcome receiveChunk(const Generic& command, const ItemElement& item, CommandKind kind, int folder,
                              const std::string& key);
    void queueNoEndOfData(const LargeObject& object);

    // --- PendingMaps.cpp
    PendingMapJournal& pendingMapsOf(int folder, DataStore& store);
    // The device item a repeated server Add names, when the journal knows it and it still exists.
    StoreItem* itemOfPendingAdd(int folder, DataStore& store, const std::string& serverId);
    // A device item equal to the text that no server item of this session has taken and that does
    // not wait for its own server item (journalled); none when there is no such item.
    std::optional<std::string> unmappedItemWithContent(int folder, DataStore& store, const std::string& text);
    bool mappedToOther(int folder, const std::string& localKey, const std::string& serverId) const;
    // The journal entry of an Add answered 201, in the message's write group. False when it cannot
    // be noted: the item made for the Add is then removed again (when even that fails, the
    // message's writes are lost).
    bool notePendingAdd(int folder, DataStore& store, const std::string& serverId, const AppliedItem& applied);
    // True when a device item on the new or all list is not to be sent: it is the copy of a server
    // item (journalled, or mapped in this session).
    bool skipOwnCopy(SyncContextHolder& context, ChangeList list, StoreItem& item);
    // How many items of the list are journalled copies, which skipOwnCopy will leave out.
    int ownCopiesIn(SyncContextHolder& context, ChangeList list);
    void dropPendingMaps(int folder, DataStore& store);
    SyncContextHolder* contextOf(int folder) const;
};

}  // namespace orvale

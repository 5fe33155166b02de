// The server's Add, Replace and Delete applied item by item to the folder's store, with one Status
// per item and one Map per Add that created anything. Every write of one received message goes
// into one write group of the store (see MessageWrites.cpp), made durable before our reply leaves.
#include "engine/AlertChoice.h"
#include "engine/MakeElement.h"
#include "engine/ServerCommands.h"
#include "engine/StatusCodes.h"
#include "engine/StoreTrouble.h"
#include "engine/SyncDirection.h"
#include "engine/SyncObserver.h"
#include "stores/DataStore.h"

namespace orvale {

namespace {

std::string locUri(const SourceOrTarget* s) { return s != nullptr ? s->locURI() : std::string(); }

int observedKind(CommandKind kind) {
    if (kind == CommandKind::Add) return kObservedAdd;
    if (kind == CommandKind::Delete) return kObservedDelete;
    return kObservedReplace;
}

}  // namespace

ServerCommands::AppliedItem ServerCommands::applyAdd(OpenSync& target, const std::string& serverId, const std::string& text,
                                                     const std::string& cmdRef) {
    DataStore& store = *target.store();
    // No item the device stored from the server may be unknown to the journal, or a lost Map would
    // bring it twice: an Add the journal cannot name is not stored at all.
    if (!pendingMaps_.of(target.folder, store).canRecord(serverId)) {
        session_.observer.text("Added item cannot be kept for a lost Map. CmdId: " + cmdRef);
        return {kStatusCommandFailed, {}};
    }
    AppliedItem applied = storeAdd(target, serverId, text, cmdRef);
    if (applied.code == kStatusItemAdded && !pendingMaps_.notePendingAdd(target.folder, store, serverId, applied.localKey, applied.existingItem)) {
        session_.observer.text("Added item is not kept for a lost Map. CmdId: " + cmdRef);
        return {kStatusCommandFailed, {}};
    }
    return applied;
}

ServerCommands::AppliedItem ServerCommands::storeAdd(OpenSync& target, const std::string& serverId, const std::string& text,
                                                     const std::string& cmdRef) {
    DataStore& store = *target.store();
    // The server repeats an Add whose Map it never got: update the copy stored then.
    if (StoreRef<StoreItem> stored{pendingMaps_.itemOfPendingAdd(target.folder, store, serverId)}) {
        if (!stored->setData(text)) {
            session_.observer.text("Cant set content. CmdId: " + cmdRef);
            return {kStatusBadRequest, {}};
        }
        return {kStatusItemAdded, stored->key(), true};
    }
    // A slow sync or a refresh brings the server's every item, also those the device holds already
    // (the server may have lost its map of them, or a first session was interrupted): an item of
    // the device's own that equals the server's, and has no server item yet, is that server item.
    const int type = folders_[target.folder].alertCode;
    if (type == kAlertSlowSync || type == kAlertRefreshFromServer) {
        if (std::optional<std::string> equal = pendingMaps_.unmappedItemWithContent(target.folder, store, text)) return {kStatusItemAdded, *equal, true};
        // Every equal device item has its server item already: this one is a server-side copy
        // (an interrupted slow sync left our items on a server that lost its map). The device
        // keeps one; the server keeps its copy, unmapped, and the Add is answered as done.
        // A refresh from the server is asked to make the device the server's copy, copies and all.
        const std::vector<std::string> equalKeys =
            type == kAlertSlowSync ? store.keysWithContent(text) : std::vector<std::string>{};
        if (!equalKeys.empty()) {
            session_.observer.text("Server item " + serverId + " equals device item " + equalKeys.front() +
                                   ", which has its server item already; not stored twice");
            return {kStatusOk, {}};
        }
    }
    StoreRef<StoreItem> created{store.newItem()};
    if (!created) {
        session_.observer.text("Cant create element. CmdId: " + cmdRef);
        return {kStatusCommandFailed, {}};
    }
    if (!created->setData(text)) {
        session_.observer.text("Cant set content. CmdId: " + cmdRef);
        return {kStatusBadRequest, {}};
    }
    return {kStatusItemAdded, created->key()};
}

ServerCommands::AppliedItem ServerCommands::applyItem(OpenSync& target, CommandKind kind, const std::string& key,
                                                      const std::string& text, const std::string& cmdRef) {
    if (!writes_.open(*target.store())) {
        tellStoreTrouble(session_.observer, kEventStoreNotWritten, "Device store cannot be written. CmdId: " + cmdRef);
        return {kStatusCommandFailed, {}};
    }
    if (kind == CommandKind::Add) return applyAdd(target, key, text, cmdRef);
    StoreRef<StoreItem> stored{target.store()->existingItem(key)};
    if (!stored) return {kStatusNotFound, {}};
    if (!stored->setData(text)) {
        session_.observer.text("Cant set content. CmdId: " + cmdRef);
        return {kStatusBadRequest, {}};
    }
    return {kStatusOk, {}};
}

ServerCommands::AppliedItem ServerCommands::learnItem(OpenSync& target, const std::string& serverId,
                                                       const std::string& cmdRef) {
    DataStore& store = *target.store();
    SyncContextHolder* context = target.context;
    PendingMapJournal& journal = pendingMaps_.of(target.folder, store);
    auto failed = [&] {
        // It would stay on the server: the folder does not complete, and the refresh is done again.
        if (context != nullptr) context->leftIncomplete = true;
        session_.observer.text("Server item cannot be learned. CmdId: " + cmdRef);
        return AppliedItem{kStatusCommandFailed, {}};
    };
    if (context == nullptr || !journal.canRecord(serverId) || !writes_.open(store)) return failed();
    // Learned in an interrupted attempt of this refresh: the server may hold that Map already.
    std::optional<std::string> key = journal.localKeyFor(serverId);
    if (key && StoreRef<StoreItem>(store.existingItem(*key))) key.reset();
    if (!key) key = store.reserveUnusedKey();
    if (!key || !journal.record(store, serverId, *key)) return failed();
    context->learnedKeys.insert(*key);
    AppliedItem learned{kStatusOk, *key};
    learned.learned = true;
    return learned;
}

void ServerCommands::queueItemStatus(const ItemCommandReply& reply, const std::string& key, int code) {
    ElementRef<Status> status = messages_.newStatus(reply.msgRef, reply.cmdRef, reply.kind, code);
    messages_.queueStatus(status);
    if (reply.kind == CommandKind::Add) status->addSourceRef(key);
    else status->addTargetRef(key);
}

void ServerCommands::answerItem(OpenSync& target, ItemCommandReply& reply, const std::string& key,
                                const AppliedItem& applied) {
    const bool isAdd = reply.kind == CommandKind::Add;
    const FolderState& folder = folders_[target.folder];
    queueItemStatus(reply, key, applied.code);

    if (isAdd && (applied.code == kStatusItemAdded || applied.learned)) {
        if (reply.map == nullptr) {
            auto map = makeElement<Map>();
            const std::uint32_t id = messages_.nextCmdId();
            map->setCmdID(static_cast<std::int64_t>(id));
            map->setTarget(makeLocUri(folder.source.remote.uri).get());
            map->setSource(makeLocUri(folder.localName()).get());
            reply.map = map.get();  // the queue holds it
            messages_.queueCommand(CommandKind::Map, std::move(map), id, target.folder);
        }
        auto mapItem = makeElement<MapItem>();
        mapItem->setTarget(makeLocUri(key).get());
        mapItem->setSource(makeLocUri(applied.localKey).get());
        reply.map->addMapItems(mapItem.get());
    }
    // A learned item changed nothing on the device.
    if (applied.learned) return;
    const bool failed = applied.code != kStatusOk && applied.code != kStatusItemAdded;
    session_.observer.itemResult(SyncSide::Server, folder.localName(), observedKind(reply.kind), failed);
    if (SyncContextHolder* context = target.context) {
        FolderCounters& c = context->counters;
        if (failed) {
            ++(isAdd ? c.addsFailed : c.replacesFailed);
            ++c.failed;
        } else {
            ++(isAdd ? c.added : c.replaced);
            context->received.insert(isAdd ? applied.localKey : key);
        }
    }
}

bool ServerCommands::refusedForType(const OpenSync* target, const std::string& msgRef, const std::string& cmdRef,
                                    CommandKind kind) {
    if (target == nullptr) return false;
    const std::optional<SyncDirection> direction = directionOf(folders_[target->folder].alertCode, folders_[target->folder].source.mode);
    if (!direction || direction->serverSends) return false;
    // The user asked that only the device's side travel: the device is not changed.
    messages_.queueStatus(messages_.newStatus(msgRef, cmdRef, kind, kStatusCommandNotAllowed));
    session_.observer.text("Server sent changes in a sync where it sends none. CmdId: " + cmdRef);
    return true;
}

void ServerCommands::applyAddOrReplace(const Generic& command, CommandKind kind, OpenSync* target,
                                       const std::string& msgRef) {
    const std::string cmdRef = command.cmdID();
    const ItemListElement* items = command.items();
    if (target == nullptr || target->store() == nullptr) {
        messages_.queueStatus(messages_.newStatus(msgRef, cmdRef, kind, kStatusCommandFailed));
        return;
    }
    // A refresh from the device learns the server's Adds (learnItem); the rest is refused.
    const std::optional<SyncDirection> direction = directionOf(folders_[target->folder].alertCode, folders_[target->folder].source.mode);
    const bool learn = kind == CommandKind::Add && direction && direction->serverReplaced;
    if (!learn && refusedForType(target, msgRef, cmdRef, kind)) return;
    if (items == nullptr || items->size() == 0) {
        messages_.queueStatus(messages_.newStatus(msgRef, cmdRef, kind, kStatusBadRequest));
        session_.observer.text("There is not items in request. CmdId: " + cmdRef);
        return;
    }
    const bool isAdd = kind == CommandKind::Add;
    ItemCommandReply reply{msgRef, cmdRef, kind};
    for (std::size_t i = 0; i < items->size(); ++i) {
        const ItemElement* item = items->at(i);
        if (item == nullptr) continue;
        const std::string key = isAdd ? locUri(item->source()) : locUri(item->target());
        std::string text = item->data();
        AppliedItem applied;
        ChunkOutcome chunk;
        if (!key.empty()) chunk = largeObjects_.receiveChunk(command, *item, kind, target->folder, key);
        if (chunk.joined) text = std::move(chunk.text);
        if (chunk.action == ChunkOutcome::Action::Status) {
            // A chunk is kept or refused; only a whole item reaches the store.
            if (chunk.pendingItem) {
                queueItemStatus(reply, key, chunk.status);
                continue;
            }
            applied.code = chunk.status;
        } else if ((item->dataCData() == nullptr && !chunk.joined) || text.empty() || key.empty()) {
            applied.code = kStatusCommandFailed;
            session_.observer.text("Item has empty body. CmdId: " + cmdRef);
        } else if (learn) {
            applied = learnItem(*target, key, cmdRef);
        } else {
            applied = applyItem(*target, kind, key, text, cmdRef);
            session_.observer.itemData(SyncSide::Server, folders_[target->folder].localName(), observedKind(kind), key, text);
        }
        answerItem(*target, reply, key, applied);
    }
}

void ServerCommands::applyDelete(const Generic& command, OpenSync* target, const std::string& msgRef) {
    const std::string cmdRef = command.cmdID();
    const ItemListElement* items = command.items();
    if (target == nullptr || target->store() == nullptr) {
        messages_.queueStatus(messages_.newStatus(msgRef, cmdRef, CommandKind::Delete, kStatusBadRequest));
        return;
    }
    if (refusedForType(target, msgRef, cmdRef, CommandKind::Delete)) return;
    if (items == nullptr || items->size() == 0) {
        messages_.queueStatus(messages_.newStatus(msgRef, cmdRef, CommandKind::Delete, kStatusBadRequest));
        session_.observer.text("There is not items in request. CmdId: " + cmdRef);
        return;
    }
    const FolderState& folder = folders_[target->folder];
    const bool writable = writes_.open(*target->store());
    if (!writable)
        tellStoreTrouble(session_.observer, kEventStoreNotWritten, "Device store cannot be written. CmdId: " + cmdRef);
    for (std::size_t i = 0; i < items->size(); ++i) {
        const ItemElement* item = items->at(i);
        const std::string key = item != nullptr ? locUri(item->target()) : std::string();
        // An empty key would read as object 0; it names nothing.
        const bool deleted = writable && !key.empty() && target->store()->deleteItem(key);
        const int code = key.empty() || !writable ? kStatusCommandFailed : deleted ? kStatusOk : kStatusItemNotDeleted;
        ElementRef<Status> status = messages_.newStatus(msgRef, cmdRef, CommandKind::Delete, code);
        messages_.queueStatus(status);
        status->addTargetRef(key);
        if (deleted) session_.observer.itemData(SyncSide::Server, folder.localName(), kObservedDelete, key, {});
        session_.observer.itemResult(SyncSide::Server, folder.localName(), kObservedDelete, !deleted);
        if (SyncContextHolder* context = target->context) {
            if (deleted) {
                ++context->counters.deleted;
                context->received.insert(key);
            } else {
                ++context->counters.deletesFailed;
                ++context->counters.failed;
            }
        }
    }
}

}  // namespace orvale

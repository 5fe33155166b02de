// Synchronisation: our package with every folder's Sync, then the server's package, message after
// message until both are complete.
#include "engine/SyncPhase.h"

#include <set>
#include <string>

#include "engine/AlertChoice.h"
#include "engine/MakeElement.h"
#include "engine/SessionEvents.h"
#include "engine/StatusCodes.h"
#include "engine/StoreTrouble.h"
#include "engine/SyncDirection.h"
#include "engine/SyncObserver.h"
#include "stores/StoreOpening.h"

namespace orvale {

namespace {

std::vector<std::string> keysOf(ItemList* adopted) {
    const StoreRef<ItemList> list(adopted);
    std::vector<std::string> keys;
    if (list) {
        for (const std::uint32_t oid : list->ids()) keys.push_back(keyForOid(oid));
    }
    return keys;
}

void appendKeys(std::vector<std::string>& to, ItemList* adopted) {
    for (std::string& key : keysOf(adopted)) to.push_back(std::move(key));
}

}  // namespace

bool SyncPhase::openFolderContext(int folder, SyncContextHolder& context) {
    FolderState& state = folders_[folder];
    SyncObserver& observer = session_.observer;
    const std::optional<SyncDirection> direction = directionOf(state.alertCode, state.source.mode);
    if (!direction) return false;
    StoreRef<DataStore> opened = openFolderStore(session_.factory, state.source.kind);
    if (!opened) {
        observer.event(kEventStoreNotOpened);
        return false;
    }
    DataStore* store = opened.get();
    context.setStore(std::move(opened));
    const SyncAnchor& last = state.last;
    const SyncAnchor& next = context.nextAnchor();
    // The journalled copies of server items are not sent (see PendingMaps.cpp), so they are not
    // announced either.
    if (direction->weSendChanges) {
        observer.event(kEventTwoWaySync);
        context.setList(ChangeList::Updated, store->updatedItems(last, next));
        context.setList(ChangeList::New, store->newItems(last, next));
        context.setList(ChangeList::Deleted, store->deletedItems(last, next));
        context.changes = context.listCount(ChangeList::Updated) + context.listCount(ChangeList::New) +
                          context.listCount(ChangeList::Deleted) - pendingMaps_.ownCopiesIn(context, ChangeList::New);
    } else if (direction->weSendAll) {
        observer.event(kEventSlowSync);
        context.setList(ChangeList::All, store->allItems());
        context.changes = context.listCount(ChangeList::All) - pendingMaps_.ownCopiesIn(context, ChangeList::All);
        store->slot14();
        store->slot13();
        store->slot15();
        // The server keeps only what we send: deletions since the last session need not go.
        if (direction->serverReplaced) context.settledKeys = keysOf(store->deletedItems(last, next));
    } else if (direction->weDropUnreceived) {
        // The store keeps a backup of the folder before it hands out all its items.
        context.deviceKeysAtStart = keysOf(store->allItems());
        // The device's own changes give way to the server's folder.
        appendKeys(context.settledKeys, store->updatedItems(last, next));
        appendKeys(context.settledKeys, store->newItems(last, next));
        appendKeys(context.settledKeys, store->deletedItems(last, next));
    } else {
        // Nothing of ours goes this time; asking for the changes keeps them for the next session,
        // which sends them as they stand then.
        keysOf(store->updatedItems(last, next));
    }
    return true;
}

SyncPhase::StatusOutcome SyncPhase::handleStatuses() {
    StatusOutcome out;
    SyncObserver& observer = session_.observer;
    ReceivedMessage& received = messages_.received();
    for (const auto& status : received.statuses) {
        int code = 0;
        std::optional<PendingCommand> command = messages_.answeredCommand(*status, code);
        if (!command) continue;
        switch (command->kind) {
            case CommandKind::Sync:
                if (code != kStatusOk) {
                    observer.textNumber("Server did not accept sync for this folder", code);
                    if (SyncContextHolder* context = folders_.contextOf(command->folder)) {
                        context->syncRefused = true;
                        ++context->counters.failed;
                    }
                }
                break;
            case CommandKind::SyncHdr:
                session_.auth->onSyncHeaderStatus(code);
                if (!headerAccepted(code)) {
                    observer.event(code);
                    out.headerFailed = true;
                }
                break;
            case CommandKind::Add:
            case CommandKind::Replace:
            case CommandKind::Delete:
                sender_.itemStatusReceived(*command, code);
                break;
            case CommandKind::Alert:
                if (command->folder < 0) {
                    out.alert222Answered = true;
                    out.alert222Refused = code != kStatusOk;
                    if (code != kStatusOk) observer.event(code);
                }
                break;
            default:
                break;
        }
    }
    received.statuses.clear();
    return out;
}

bool SyncPhase::addOurSide(bool& progress) {
    if (!messages_.drainQueues()) return false;
    for (OutgoingSync& out : syncs_) {
        if (out.changesSent) continue;
        // The next folder's Sync starts only where a change of it could still fit.
        if (messages_.hasContent() && messages_.channel().encodedSize() >= session_.limits.itemsLimit()) return false;
        SyncContextHolder* context = folders_.contextOf(out.folder);
        if (messages_.channel().startSync(*out.sync) != code::Ok) return false;
        const bool messageWasEmpty = !messages_.hasContent();
        messages_.pending().add(messages_.msgId(), out.syncId,
                                PendingCommand{CommandKind::Sync, ElementRef<SyncElement>(out.sync.get()), out.folder, {}});
        messages_.markContent();
        if (!out.started) progress = true;
        out.started = true;
        out.changesSent = sender_.addFolderChanges(*context, messageWasEmpty);
        messages_.channel().endSync();
        if (!out.changesSent) return false;
    }
    return true;
}

void SyncPhase::prepareFolders() {
    syncs_.clear();
    for (std::size_t i = 0; i < folders_.size(); ++i) {
        const int folder = static_cast<int>(i);
        if (!folders_[folder].active) continue;
        SyncContextHolder& context = folders_.addContext(folder);
        if (!openFolderContext(folder, context)) continue;
        const std::string& name = folders_[folder].localName();
        OutgoingSync out;
        out.folder = folder;
        out.sync = makeElement<StartSync>();
        out.syncId = messages_.nextCmdId();
        out.sync->setCmdID(static_cast<std::int64_t>(out.syncId));
        out.sync->setTarget(makeLocUri(folders_[folder].source.remote.uri).get());
        out.sync->setSource(makeLocUri(name).get());
        out.sync->setNumberOfChanges(static_cast<std::int64_t>(context.changes));
        session_.observer.syncStart(SyncSide::Client, name, context.changes);
        syncs_.push_back(std::move(out));
    }
}

SyncPhase::Ending SyncPhase::exchangeMessages() {
    PackageFlow flow;
    for (;;) {
        if (session_.aborted()) return Ending::Aborted;
        if (!flow.messageAllowed()) {
            session_.observer.text("Server did not complete its package");
            return Ending::Incomplete;
        }
        messages_.startMessage();
        bool progress = false;
        const bool complete = addOurSide(progress);
        if (messages_.newCommands() > 0) progress = true;
        messages_.sendAndReceive(flow.finalMessage(complete));

        const StatusOutcome statuses = handleStatuses();
        if (statuses.headerFailed) return Ending::Broken;
        if (flow.askedForMore() && !statuses.alert222Answered) {
            session_.observer.text("Server did not return status for Alert 222");
            return Ending::Incomplete;
        }
        const ServerCommandsOutcome commands = commands_.handle(!complete);
        if (commands.writesLost || commands.mustEnd) {
            // Our statuses would tell the server we hold items we do not: the session ends here,
            // and the next one repeats the work.
            return Ending::Broken;
        }
        PackageFlow::Exchange exchange;
        exchange.ourPackageComplete = complete;
        exchange.serverPackageComplete = commands.packageComplete || statuses.alert222Refused;
        // One Status always answers the server's header; anything beyond it is worth a message.
        exchange.answersQueued = messages_.commandsQueued() || messages_.statusesQueued() >= 2;
        exchange.progress = progress || commands.progress;
        switch (flow.replyHandled(exchange)) {
            case PackageFlow::Next::Send:
                break;
            case PackageFlow::Next::AskForMore:
                messages_.queueNextMessageAlert();
                flow.askForMore();
                break;
            case PackageFlow::Next::Done:
                return Ending::Complete;
            case PackageFlow::Next::Stalled:
                session_.observer.text("Session made no progress in " + std::to_string(PackageFlow::kMaxIdleExchanges) +
                                       " exchanges in a row; it ends as failed");
                return Ending::Incomplete;
        }
    }
}

bool SyncPhase::settleFolder(SyncContextHolder& context) {
    const FolderState& folder = folders_[context.folder()];
    const std::optional<SyncDirection> direction = directionOf(folder.alertCode, folder.source.mode);
    if (!direction || (!direction->weDropUnreceived && !direction->serverReplaced)) return true;
    SyncObserver& observer = session_.observer;
    if (context.syncRefused) {
        // The server did not take our Sync: what the refresh would settle is not settled, and the
        // folder's next session is the same refresh again.
        observer.text("Refresh not completed, the server refused it: " + folder.localName());
        return false;
    }
    DataStore& store = *context.store();
    if (direction->weDropUnreceived) {
        if (!context.serverSyncOpened) {
            // Without the server's Sync there is no telling what it holds; nothing is deleted.
            observer.text("Server sent no Sync for a refresh of " + folder.localName() + "; nothing deleted");
            return false;
        }
        // One durable step: a crash leaves every item or none of them deleted, and the next
        // session (the same refresh) does it again.
        const bool group = store.beginWrites();
        for (const std::string& key : context.deviceKeysAtStart) {
            if (context.received.count(key) != 0) continue;
            const bool deleted = store.deleteItem(key);
            observer.itemResult(SyncSide::Server, folder.localName(), kObservedDelete, !deleted);
            ++(deleted ? context.counters.deleted : context.counters.deletesFailed);
        }
        if (group && !store.commitWrites()) {
            tellStoreTrouble(observer, kEventStoreNotWritten,
                              "Device store did not keep the deletions of the refresh: " + folder.localName());
            return false;
        }
    }
    if (direction->serverReplaced && !recordLearnedItems(context)) return false;
    for (const std::string& key : context.settledKeys) store.itemAcknowledged(key);
    return true;
}

bool SyncPhase::recordLearnedItems(SyncContextHolder& context) {
    DataStore& store = *context.store();
    // An interrupted attempt of this refresh may have told the server keys it learned that this
    // session did not learn again (a server that kept its map of them sends them no more): every
    // journalled key that names no device item is one the server may hold.
    std::set<std::string> keys = context.learnedKeys;
    for (const std::string& key : pendingMaps_.of(context.folder(), store).localKeys()) {
        if (keys.count(key) == 0 && !StoreRef<StoreItem>(store.existingItem(key))) keys.insert(key);
    }
    if (keys.empty()) return true;
    const std::string& name = folders_[context.folder()].localName();
    for (const std::string& key : keys) {
        if (!store.noteDeletedFromDevice(key)) {
            session_.observer.text("Server items of a refresh cannot be kept for deletion: " + name);
            return false;
        }
    }
    session_.observer.serverItemsToDelete(name, static_cast<int>(keys.size()));
    return true;
}

bool SyncPhase::folderIncomplete(const SyncContextHolder& context, bool sessionComplete) const {
    if (!sessionComplete || context.syncRefused || context.leftIncomplete) return true;
    // The server's package ended with one of its items still in chunks. Nothing of it was applied:
    // moving that folder's anchor would leave the item behind for good. The folder does not
    // complete (and keeps its journal): the next session starts from the old anchor, which a
    // server answers with a slow sync that brings the item again.
    const LargeObject* object = largeObjects_.incoming.pending();
    return object != nullptr && object->folder() == context.folder();
}

bool SyncPhase::reportFolders(bool sessionComplete) {
    if (const LargeObject* object = largeObjects_.incoming.pending()) {
        session_.observer.text("Server did not send the end of a large object: " + object->key());
    }
    ElementRef<LargeObject>& outgoing = largeObjects_.outgoing;
    if (outgoing) {
        // The session ended before our large object was through: it was not sent.
        if (SyncContextHolder* context = folders_.contextOf(outgoing->folder())) {
            sender_.reportSkippedItem(*context, outgoing->kind(), outgoing->key());
        }
        outgoing.reset();
    }
    bool allComplete = true;
    for (const OutgoingSync& out : syncs_) {
        SyncContextHolder* context = folders_.contextOf(out.folder);
        if (context == nullptr) continue;
        const std::string& name = folders_[out.folder].localName();
        // What the folder's sync type leaves to do (a refresh's deletions) is done before the
        // folder counts as complete; when it cannot be done, the folder's next session repeats it.
        if (!folderIncomplete(*context, sessionComplete) && !session_.aborted() && !settleFolder(*context))
            context->leftIncomplete = true;
        const bool incomplete = folderIncomplete(*context, sessionComplete);
        if (incomplete) {
            session_.observer.text("Folder did not complete, its anchors stay: " + name);
            allComplete = false;
        }
        session_.observer.itemResult(SyncSide::Client, name, kObservedFolder, incomplete);
    }
    return allComplete;
}

void SyncPhase::finishFolders() {
    for (auto& context : folders_.contexts()) {
        commands_.closeSync(folders_[context->folder()].localName());
        if (context->store() != nullptr && !folderIncomplete(*context, true)) {
            context->store()->saveAnchor(context->nextAnchor());
            pendingMaps_.drop(context->folder(), *context->store());
            session_.observer.folderCompleted(folders_[context->folder()].localName());
        }
    }
    folders_.clearContexts();
    commands_.clear();
}

bool SyncPhase::run() {
    prepareFolders();
    const Ending ending = syncs_.empty() ? Ending::Complete : exchangeMessages();
    bool ok = ending != Ending::Broken;
    if (ending == Ending::Complete || ending == Ending::Incomplete) {
        ok = reportFolders(ending == Ending::Complete);
    }
    // A broken, cancelled or unfinished session must not move the anchors: the next one repeats
    // the work.
    if (ending == Ending::Complete && !session_.aborted()) {
        finishFolders();
    } else {
        commands_.clear();
        folders_.clearContexts();
    }
    syncs_.clear();
    return ok;
}

}  // namespace orvale

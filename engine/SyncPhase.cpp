// Synchronisation: folder after folder, our changes in a Sync and the server's statuses and
// commands, message after message until both sides' packages are complete.
#include "engine/SyncPhase.h"

#include "engine/AlertChoice.h"
#include "engine/MakeElement.h"
#include "engine/SessionEvents.h"
#include "engine/StatusCodes.h"
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
    const std::optional<SyncDirection> direction = directionOf(state.alertCode);
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

void SyncPhase::addOurSide(SyncContextHolder& context, StartSync& sync, std::uint32_t syncId,
                           FolderProgress& progress) {
    const bool everythingFit = messages_.drainQueues();
    const bool nothingDrained = !messages_.hasContent();
    if (everythingFit) {
        if (!progress.changesSent()) {
            if (messages_.channel().startSync(sync) == code::Ok) {
                messages_.pending().add(messages_.msgId(), syncId,
                                        PendingCommand{CommandKind::Sync, ElementRef<SyncElement>(&sync), context.folder(), {}});
                messages_.markContent();
                progress.changesAdded(sender_.addFolderChanges(context, nothingDrained));
                messages_.channel().endSync();
            }
        } else {
            progress.nothingLeftToSend();
        }
    }
    lastMessageComplete_ = progress.messageComplete(everythingFit);
}

SyncPhase::Step SyncPhase::takeServerSide(FolderProgress& progress) {
    const ServerCommandsOutcome commands = commands_.handle(!lastMessageComplete_);
    if (commands.writesLost || commands.mustEnd) {
        // Our statuses would tell the server we hold items we do not: the session ends here,
        // and the next one repeats the work.
        return Step::SessionBroken;
    }
    if (commands.packageComplete && progress.previousComplete()) {
        progress.packageEnded(messages_.commandsQueued(), messages_.statusesQueued());
        return Step::Next;
    }
    if (commands.packageComplete) commands_.forgetServerSync();
    switch (progress.packageOpen(commands.packageComplete, commands_.serverSyncSeen(),
                                 messages_.pending().commandsOutstanding())) {
        case FolderProgress::Request::None:
            break;
        case FolderProgress::Request::GiveUp:
            session_.observer.text("Server did not send all statuses");
            break;
        case FolderProgress::Request::AskForMore:
            messages_.queueNextMessageAlert();
            progress.askedForMore();
            break;
    }
    return Step::Next;
}

SyncPhase::Step SyncPhase::exchangeMessage(SyncContextHolder& context, StartSync& sync, std::uint32_t syncId,
                                           FolderProgress& progress) {
    if (!progress.messageAllowed()) {
        session_.observer.text("Server did not complete its package");
        return Step::FolderEnds;
    }
    messages_.startMessage();
    addOurSide(context, sync, syncId, progress);
    messages_.sendAndReceive(progress.finalMessage());

    const StatusOutcome statuses = handleStatuses();
    if (statuses.alert222Answered) progress.moreAnswered(statuses.alert222Refused);
    if (statuses.headerFailed) return Step::SessionBroken;
    if (progress.exchange() == FolderProgress::Exchange::AskedForMore) {
        session_.observer.text("Server did not return status for Alert 222");
        return Step::FolderEnds;
    }
    const Step step = takeServerSide(progress);
    progress.passEnded();
    return step;
}

bool SyncPhase::syncFolder(int folder, bool lastFolder) {
    SyncContextHolder& context = folders_.addContext(folder);
    if (!openFolderContext(folder, context)) return true;
    const std::string& name = folders_[folder].localName();

    auto sync = makeElement<StartSync>();
    const std::uint32_t syncId = messages_.nextCmdId();
    sync->setCmdID(static_cast<std::int64_t>(syncId));
    sync->setTarget(makeLocUri(folders_[folder].source.remote.uri).get());
    sync->setSource(makeLocUri(name).get());
    sync->setNumberOfChanges(static_cast<std::int64_t>(context.changes));
    session_.observer.syncStart(SyncSide::Client, name, context.changes);

    FolderProgress progress(lastFolder);
    commands_.forgetServerSync();
    Step step = Step::Next;
    while (step == Step::Next && !session_.aborted() && progress.goesOn()) {
        step = exchangeMessage(context, *sync, syncId, progress);
    }
    ElementRef<LargeObject>& outgoing = largeObjects_.outgoing;
    if (outgoing && outgoing->folder() == folder) {
        // The folder ended before its large object was through: it was not sent.
        sender_.reportSkippedItem(context, outgoing->kind(), outgoing->key());
        outgoing.reset();
    }
    session_.observer.itemResult(SyncSide::Client, name, kObservedFolder, context.syncRefused);
    return step != Step::SessionBroken;
}

bool SyncPhase::settleFolder(SyncContextHolder& context) {
    const FolderState& folder = folders_[context.folder()];
    const std::optional<SyncDirection> direction = directionOf(folder.alertCode);
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
            observer.text("Device store did not keep the deletions of the refresh: " + folder.localName());
            return false;
        }
    }
    for (const std::string& key : context.settledKeys) store.itemAcknowledged(key);
    return true;
}

void SyncPhase::finishFolders() {
    // The server's package ended with one of its items still in chunks. Nothing of it was applied:
    // moving that folder's anchor would leave the item behind for good. The folder does not
    // complete (and keeps its journal): the next session starts from the old anchor, which a
    // server answers with a slow sync that brings the item again.
    int unfinished = -1;
    if (const LargeObject* object = largeObjects_.incoming.pending()) {
        unfinished = object->folder();
        session_.observer.text("Server did not send the end of a large object: " + object->key());
        session_.observer.itemResult(SyncSide::Client, folders_[unfinished].localName(), kObservedFolder, true);
    }
    for (auto& context : folders_.contexts()) {
        commands_.closeSync(folders_[context->folder()].localName());
        if (context->store() != nullptr && context->folder() != unfinished && settleFolder(*context)) {
            context->store()->saveAnchor(context->nextAnchor());
            pendingMaps_.drop(context->folder(), *context->store());
            session_.observer.folderCompleted(folders_[context->folder()].localName());
        }
    }
    folders_.clearContexts();
    commands_.clear();
}

bool SyncPhase::run() {
    std::vector<int> order;
    for (std::size_t i = 0; i < folders_.size(); ++i) {
        if (folders_.all()[i].active) order.push_back(static_cast<int>(i));
    }
    bool ok = true;
    for (std::size_t k = 0; k < order.size() && !session_.aborted(); ++k) {
        if (!syncFolder(order[k], k + 1 == order.size())) {
            ok = false;
            break;
        }
    }
    // A broken or cancelled session must not move the anchors: the next one repeats the work.
    if (ok && !session_.aborted()) {
        finishFolders();
    } else {
        commands_.clear();
        folders_.clearContexts();
    }
    return ok;
}

}  // namespace orvale

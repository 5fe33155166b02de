// Synchronisation: our package with every folder's Sync, then the server's package, message after
// message until both are complete.
#include "engine/SyncPhase.h"

#include <string>

#include "engine/AlertChoice.h"
#include "engine/MakeElement.h"
#include "engine/SessionEvents.h"
#include "engine/StatusCodes.h"
#include "engine/SyncObserver.h"
#include "stores/StoreOpening.h"

namespace orvale {

bool SyncPhase::openFolderContext(int folder, SyncContextHolder& context) {
    FolderState& state = folders_[folder];
    SyncObserver& observer = session_.observer;
    StoreRef<DataStore> opened = openFolderStore(session_.factory, state.source.kind);
    if (!opened) {
        observer.event(kEventStoreNotOpened);
        return false;
    }
    DataStore* store = opened.get();
    context.setStore(std::move(opened));
    // The journalled copies of server items are not sent (see PendingMaps.cpp), so they are not
    // announced either.
    if (state.alertCode == kAlertTwoWay) {
        observer.event(kEventTwoWaySync);
        context.setList(ChangeList::Updated, store->updatedItems(state.last, context.nextAnchor()));
        context.setList(ChangeList::New, store->newItems(state.last, context.nextAnchor()));
        context.setList(ChangeList::Deleted, store->deletedItems(state.last, context.nextAnchor()));
        context.changes = context.listCount(ChangeList::Updated) + context.listCount(ChangeList::New) +
                          context.listCount(ChangeList::Deleted) - pendingMaps_.ownCopiesIn(context, ChangeList::New);
        return true;
    }
    if (state.alertCode == kAlertSlowSync) {
        observer.event(kEventSlowSync);
        context.setList(ChangeList::All, store->allItems());
        context.changes = context.listCount(ChangeList::All) - pendingMaps_.ownCopiesIn(context, ChangeList::All);
        store->slot14();
        store->slot13();
        store->slot15();
        return true;
    }
    context.releaseStore();
    return false;
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

bool SyncPhase::folderIncomplete(const SyncContextHolder& context, bool sessionComplete) const {
    if (!sessionComplete || context.syncRefused) return true;
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
        const SyncContextHolder* context = folders_.contextOf(out.folder);
        if (context == nullptr) continue;
        const std::string& name = folders_[out.folder].localName();
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

// Synchronisation: folder after folder, our changes in a Sync and the server's statuses and
// commands, message after message until both sides' packages are complete.
#include "engine/AlertChoice.h"
#include "engine/SyncClientImpl.h"
#include "stores/DataStoreFactory.h"
#include "stores/DataStoreKind.h"

namespace orvale {

namespace {
constexpr int kMaxPasses = 3;
constexpr int kStatusesMissingReport = 300;
// A server that never completes its package must not keep the session alive forever.
constexpr int kMaxFolderMessages = 10000;
}  // namespace

bool SyncClient::Impl::openFolderContext(int folder, SyncContextHolder& context) {
    FolderState& state = folders[folder];
    DataStoreKind* kind = factory.createKindById(state.source.kind);
    if (kind == nullptr) {
        observer.event(616);
        return false;
    }
    DataStore* store = kind->openStore(nullptr);
    if (store == nullptr) {
        delete kind;
        observer.event(616);
        return false;
    }
    context.setStore(store);
    // The journalled copies of server items are not sent (see PendingMaps.cpp), so they are not
    // announced either.
    if (state.alertCode == kAlertTwoWay) {
        observer.event(614);
        context.setList(ChangeList::Updated, store->updatedItems(state.last, context.nextAnchor()));
        context.setList(ChangeList::New, store->newItems(state.last, context.nextAnchor()));
        context.setList(ChangeList::Deleted, store->deletedItems(state.last, context.nextAnchor()));
        context.changes = context.listCount(ChangeList::Updated) + context.listCount(ChangeList::New) +
                          context.listCount(ChangeList::Deleted) - ownCopiesIn(context, ChangeList::New);
        return true;
    }
    if (state.alertCode == kAlertSlowSync) {
        observer.event(613);
        context.setList(ChangeList::All, store->allItems());
        context.changes = context.listCount(ChangeList::All) - ownCopiesIn(context, ChangeList::All);
        store->slot14();
        store->slot13();
        store->slot15();
        return true;
    }
    context.releaseStore();
    return false;
}

SyncClient::Impl::SyncStatusOutcome SyncClient::Impl::handleSyncStatuses() {
    SyncStatusOutcome out;
    for (const auto& status : received.statuses) {
        int code = 0;
        std::optional<PendingCommand> command = answeredCommand(*status, code);
        if (!command) continue;
        switch (command->kind) {
            case CommandKind::Sync:
                if (code != 200) {
                    observer.textNumber("Server did not accept sync for this folder", code);
                    if (SyncContextHolder* context = contextOf(command->folder)) {
                        context->syncRefused = true;
                        ++context->counters.failed;
                    }
                }
                break;
            case CommandKind::SyncHdr:
                auth->onSyncHeaderStatus(code);
                if (code != 200 && code != 212) {
                    observer.event(code);
                    out.headerFailed = true;
                }
                break;
            case CommandKind::Add:
            case CommandKind::Replace:
            case CommandKind::Delete:
                itemStatusReceived(*command, code);
                break;
            case CommandKind::Alert:
                if (command->folder < 0) {
                    out.alert222Answered = true;
                    out.alert222Refused = code != 200;
                    if (code != 200) observer.event(code);
                }
                break;
            default:
                break;
        }
    }
    received.statuses.clear();
    return out;
}

bool SyncClient::Impl::syncFolder(int folder, bool lastFolder) {
    contexts.push_back(std::make_unique<SyncContextHolder>(folder, folders[folder].next));
    SyncContextHolder& context = *contexts.back();
    if (!openFolderContext(folder, context)) return true;
    const std::string& name = folders[folder].localName();

    auto sync = hold(new StartSync());
    const std::uint32_t syncId = nextCmdId();
    sync->setCmdID(static_cast<std::int64_t>(syncId));
    sync->setTarget(new SourceOrTarget(folders[folder].source.remote.uri));
    sync->setSource(new SourceOrTarget(name));
    sync->setNumberOfChanges(static_cast<std::int64_t>(context.changes));
    observer.syncStart(SyncSide::Client, name, context.changes);

    bool done = false, allSent = false, awaiting222 = false, previousComplete = true;
    bool sessionOk = true;
    int pass = 0, alert222s = 0, messages = 0;
    serverSyncSeen = false;
    while (!aborted() && !done && pass < kMaxPasses) {
        if (++messages > kMaxFolderMessages) {
            observer.text("Server did not complete its package");
            break;
        }
        startMessage();
        const bool everythingFit = drainQueues();
        const bool nothingDrained = !messageHasContent;
        if (everythingFit) {
            if (!allSent) {
                if (channel.startSync(*sync) == code::Ok) {
                    pending.add(msgId, syncId, PendingCommand{CommandKind::Sync, ElementRef<SyncElement>(sync.get()), folder, {}});
                    messageHasContent = true;
                    allSent = addFolderChanges(context, nothingDrained);
                    channel.endSync();
                    done = allSent;
                    if (!allSent) pass = 0;
                }
            } else {
                done = true;
            }
        }
        lastMessageComplete = everythingFit && allSent && lastFolder;
        sendAndReceive(allSent && lastFolder && !awaiting222);

        const SyncStatusOutcome statuses = handleSyncStatuses();
        if (statuses.alert222Answered) {
            done = statuses.alert222Refused;
            awaiting222 = false;
        }
        if (statuses.headerFailed) {
            done = true;
            sessionOk = false;
            break;
        }
        if (awaiting222) {
            observer.text("Server did not return status for Alert 222");
            done = true;
            break;
        }
        const ServerCommandsOutcome commands = handleServerCommands();
        if (commands.writesLost || commands.mustEnd) {
            // Our statuses would tell the server we hold items we do not: the session ends here,
            // and the next one repeats the work.
            sessionOk = false;
            break;
        }
        const bool packageComplete = commands.packageComplete;
        if (packageComplete && previousComplete) {
            awaiting222 = false;
            if (!commandQueue.empty() || !allSent) {
                done = false;
                pass = 0;
            } else if (pass <= 1 && lastFolder && statusQueue.size() >= 2) {
                // One more message so the server gets the statuses of its last commands.
                done = false;
                pass = 1;
            }
        } else {
            bool noRequest = false;
            if (packageComplete) {
                noRequest = true;
                serverSyncSeen = false;
            } else {
                noRequest = !serverSyncSeen && (!allSent || !lastFolder);
            }
            previousComplete = noRequest;
            if (!noRequest) {
                if (pending.commandsOutstanding() && ++alert222s >= kStatusesMissingReport) {
                    // Asking again and again would never end with a server that lost them.
                    observer.text("Server did not send all statuses");
                    done = true;
                } else {
                    queueAlert222();
                    awaiting222 = true;
                    done = false;
                    pass = 0;
                }
            }
        }
        ++pass;
    }
    if (outgoingObject && outgoingObject->folder() == folder) {
        // The folder ended before its large object was through: it was not sent.
        reportSkippedItem(context, outgoingObject->kind(), outgoingObject->key());
        outgoingObject.reset();
    }
    observer.itemResult(SyncSide::Client, name, kObservedFolder, context.syncRefused);
    return sessionOk;
}

void SyncClient::Impl::finishFolders() {
    // The server's package ended with one of its items still in chunks. Nothing of it was applied:
    // moving that folder's anchor would leave the item behind for good. The folder does not
    // complete (and keeps its journal): the next session starts from the old anchor, which a
    // server answers with a slow sync that brings the item again.
    int unfinished = -1;
    if (const LargeObject* object = incomingObject.pending()) {
        unfinished = object->folder();
        observer.text("Server did not send the end of a large object: " + object->key());
        observer.itemResult(SyncSide::Client, folders[unfinished].localName(), kObservedFolder, true);
    }
    for (auto& context : contexts) {
        openSyncs.erase(folders[context->folder()].localName());
        if (context->store() != nullptr && context->folder() != unfinished) {
            context->store()->saveAnchor(context->nextAnchor());
            dropPendingMaps(context->folder(), *context->store());
        }
    }
    contexts.clear();
    openSyncs.clear();
}

bool SyncClient::Impl::runSyncPhase() {
    std::vector<int> order;
    for (std::size_t i = 0; i < folders.size(); ++i) {
        if (folders[i].active) order.push_back(static_cast<int>(i));
    }
    bool ok = true;
    for (std::size_t k = 0; k < order.size() && !aborted(); ++k) {
        if (!syncFolder(order[k], k + 1 == order.size())) {
            ok = false;
            break;
        }
    }
    // A broken or cancelled session must not move the anchors: the next one repeats the work.
    if (ok && !aborted()) {
        finishFolders();
    } else {
        openSyncs.clear();
        contexts.clear();
    }
    return ok;
}

}  // namespace orvale

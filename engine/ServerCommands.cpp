// The server's commands of one reply, in message order; each gets its Status, queued for our next
// message.
#include "engine/AlertCodes.h"
#include "engine/BoundedNumber.h"
#include "engine/SessionEvents.h"
#include "engine/StatusCodes.h"
#include "engine/DeviceInfo.h"
#include "engine/MakeElement.h"
#include "engine/RespUri.h"
#include "engine/ServerCommands.h"
#include "engine/StoreTrouble.h"
#include "engine/SyncDirection.h"
#include "engine/SyncObserver.h"
#include "stores/StoreOpening.h"

namespace orvale {

namespace {

// Anchors and URLs from the server are kept and echoed; beyond these lengths they are not.
constexpr std::size_t kMaxAnchorText = 255;
constexpr std::size_t kMaxUrlText = 2048;
constexpr std::uint32_t kMaxNumberOfChanges = 10'000'000;

std::string locUri(const SourceOrTarget* s) { return s != nullptr ? s->locURI() : std::string(); }

int alertCodeOf(const Alert& alert) { return static_cast<int>(readServerNumber(alert.data(), 9999).value_or(0)); }

}  // namespace

void ServerCommands::handleHeader(const Header& header) {
    const std::string respUri = header.respURI();
    if (!respUri.empty() && respUri.size() <= kMaxUrlText && respUri != session_.url) {
        if (const std::string refusal = respUriRefusal(session_.url, respUri); refusal.empty()) {
            session_.url = respUri;
        } else {
            session_.observer.text(refusal + "; the session ends");
            respUriRefused_ = true;
        }
    }
    if (const MetInfElem* meta = header.meta()) {
        if (meta->maxMsgSizeCData() != nullptr) session_.limits.applyServerMaxMsgSize(meta->maxMsgSize());
        if (meta->maxObjSizeCData() != nullptr) session_.limits.applyServerMaxObjSize(meta->maxObjSize());
    }
}

void ServerCommands::handleSync(const StartSync& sync, const std::string& msgRef) {
    const std::string target = locUri(sync.target());
    ElementRef<Status> status = messages_.newStatus(msgRef, sync.cmdID(), CommandKind::Sync, kStatusOk);
    messages_.queueStatus(status);
    status->addTargetRef(target);
    if (!locUri(sync.source()).empty()) status->addSourceRef(locUri(sync.source()));

    auto refuse = [&] {
        status->setData(kStatusDataStoreFailure);
        tellStoreTrouble(session_.observer, kEventStoreNotOpened, "Can't start sync. Target data store does not open.");
    };
    const int folder = folders_.indexByLocalName(target);
    if (folder < 0) return refuse();
    const bool alreadyOpen = openSyncs_.count(target) != 0;
    if (!alreadyOpen) {
        OpenSync open;
        open.folder = folder;
        open.context = folders_.contextOf(folder);
        if (open.context == nullptr || open.context->store() == nullptr) {
            open.context = nullptr;
            open.ownStore = openFolderStore(session_.factory, folders_[folder].source.kind);
            if (!open.ownStore) return refuse();
        }
        openSyncs_.emplace(target, std::move(open));
    }
    const auto changes = sync.numberOfChangesCData() != nullptr
                             ? readServerNumber(sync.numberOfChanges(), kMaxNumberOfChanges).value_or(0)
                             : 0;
    if (SyncContextHolder* context = folders_.contextOf(folder)) {
        context->serverChanges = static_cast<std::int32_t>(changes);
        context->serverSyncOpened = true;
    }
    session_.observer.syncStart(SyncSide::Server, folders_[folder].localName(), static_cast<std::int32_t>(changes));
}

void ServerCommands::handleAlert(const Alert& alert, const std::string& msgRef) {
    const int code = alertCodeOf(alert);
    const ItemListElement* items = alert.items();
    auto failed = [&](Status& status) {
        status.setData(kStatusServiceUnavailable);
        session_.observer.event(kEventAlertRefused);
        session_.observer.event(code);
    };
    if (items == nullptr || items->size() == 0) {
        ElementRef<Status> status = messages_.newStatus(msgRef, alert.cmdID(), CommandKind::Alert, kStatusServiceUnavailable);
        messages_.queueStatus(status);
        failed(*status);
        return;
    }
    for (std::size_t i = 0; i < items->size(); ++i) {
        const ItemElement* item = items->at(i);
        if (item == nullptr) continue;
        ElementRef<Status> status = messages_.newStatus(msgRef, alert.cmdID(), CommandKind::Alert, kStatusOk);
        messages_.queueStatus(status);
        const std::string source = locUri(item->source());
        const std::string target = locUri(item->target());
        if (!source.empty()) status->addSourceRef(source);
        if (!target.empty()) status->addTargetRef(target);

        int folder = -1;
        int index = 0;
        for (const FolderState& f : folders_.all()) {
            const bool matches = (!source.empty() && f.source.remote.uri == source) || (!target.empty() && f.localName() == target);
            if (folder < 0 && f.active && matches) folder = index;
            ++index;
        }
        const MetInfElem* itemMeta = item->meta();
        const Anchor* anchor = itemMeta != nullptr ? itemMeta->anchor() : nullptr;
        if (anchor != nullptr && anchor->last().size() <= kMaxAnchorText && anchor->next().size() <= kMaxAnchorText) {
            auto echo = makeElement<ItemElement>();
            auto meta = makeElement<MetInfElem>();
            auto copy = makeElement<Anchor>();
            if (anchor->lastCData() != nullptr) copy->setLast(anchor->last());
            copy->setNext(anchor->next());
            meta->setAnchor(copy.get());
            echo->setMeta(meta.get());
            status->addItems(echo.get());
            if (folder >= 0) {
                // A server that never synced this folder may send no Last; an empty label would not
                // be a label at all.
                if (!anchor->last().empty()) folders_[folder].last.setRemoteLabel(anchor->last());
                if (!anchor->next().empty()) {
                    folders_[folder].next.setRemoteLabel(anchor->next());
                    if (SyncContextHolder* context = folders_.contextOf(folder)) context->setNextAnchor(folders_[folder].next);
                }
            }
        }
        const std::optional<int> type = typeNamedByServer(code);
        if (folder < 0 || !type) {
            failed(*status);
        } else if (code >= kAlertTwoWayByServer) {
            // The server demands a sync type: taken as long as the folder's synchronisation has
            // not begun; one cannot change type halfway.
            if (folders_.contextOf(folder) == nullptr) folders_[folder].alertCode = *type;
            else failed(*status);
        }
    }
}

void ServerCommands::handleGet(const PutOrGet& get, const std::string& msgRef) {
    ElementRef<Status> status = messages_.newStatus(msgRef, get.cmdID(), CommandKind::Get, kStatusBadRequest);
    messages_.queueStatus(status);
    std::vector<Result*> results;
    const int code = answerGet(get, session_.config, messages_.cmdIdCounter(), msgRef, results, devInfSent_);
    if (code == kStatusOptionalFeatureNotSupported) session_.observer.text("Device information was sent already in this session");
    status->setData(static_cast<std::int64_t>(code));
    for (Result* r : results) {
        messages_.queueCommand(CommandKind::Results, hold(r), static_cast<std::uint32_t>(r->cmdIDAsInt()));
    }
}

bool ServerCommands::handleAnyAlert(const Alert& alert, const std::string& msgRef, bool moreToSend) {
    const int code = alertCodeOf(alert);
    if (code == kAlertNextMessage) {
        const int answer = moreToSend ? kStatusOk : kStatusBadRequest;
        messages_.queueStatus(messages_.newStatus(msgRef, alert.cmdID(), CommandKind::Alert, answer));
        return true;
    }
    if (code == kAlertNoEndOfData) {
        messages_.queueStatus(messages_.newStatus(msgRef, alert.cmdID(), CommandKind::Alert, kStatusBadRequest));
    } else {
        handleAlert(alert, msgRef);
    }
    return false;
}

void ServerCommands::takeDeviceInfo(const ItemListElement* items, const std::string& cmdRef, CommandKind kind,
                                    const std::string& msgRef) {
    readServerDeviceInfo(items, remoteInfo_, session_.sessionData);
    messages_.queueStatus(messages_.newStatus(msgRef, cmdRef, kind, kStatusOk));
}

void ServerCommands::handleCommand(const ReceivedCommand& command, const std::string& msgRef, bool moreToSend,
                                   OpenSync*& current, ServerCommandsOutcome& out) {
    SyncElement* element = command.element.get();
    switch (command.kind) {
        case CommandKind::Final:
            out.packageComplete = true;
            break;
        case CommandKind::SyncHdr:
            if (element == nullptr) break;
            handleHeader(*static_cast<Header*>(element));
            messages_.queueStatus(messages_.newStatus(msgRef, "0", CommandKind::SyncHdr, kStatusOk));
            break;
        case CommandKind::Sync:
            current = nullptr;
            if (element == nullptr) break;  // end of the Sync
            {
                const auto* sync = static_cast<StartSync*>(element);
                const bool wasOpen = openSyncs_.count(locUri(sync->target())) != 0;
                handleSync(*sync, msgRef);
                if (!wasOpen) out.progress = true;
                auto it = openSyncs_.find(locUri(sync->target()));
                if (it != openSyncs_.end()) current = &it->second;
            }
            break;
        case CommandKind::Add:
        case CommandKind::Replace:
            if (element == nullptr) break;
            applyAddOrReplace(*static_cast<Generic*>(element), command.kind, current, msgRef);
            out.progress = true;
            break;
        case CommandKind::Delete:
            if (element == nullptr) break;
            applyDelete(*static_cast<Generic*>(element), current, msgRef);
            out.progress = true;
            break;
        case CommandKind::Alert:
            if (element == nullptr) break;
            if (handleAnyAlert(*static_cast<Alert*>(element), msgRef, moreToSend)) {
                out.packageComplete = true;
            } else {
                out.progress = true;
            }
            break;
        case CommandKind::Results:
            out.progress = true;
            if (const auto* results = static_cast<Result*>(element)) {
                takeDeviceInfo(results->items(), results->cmdID(), CommandKind::Results, msgRef);
            }
            break;
        case CommandKind::Put:
            out.progress = true;
            if (const auto* put = static_cast<PutOrGet*>(element)) takeDeviceInfo(put->items(), put->cmdID(), CommandKind::Put, msgRef);
            break;
        case CommandKind::Get:
            if (element == nullptr) break;
            handleGet(*static_cast<PutOrGet*>(element), msgRef);
            out.progress = true;
            break;
        case CommandKind::Status:
        case CommandKind::Map:
            break;
    }
}

ServerCommandsOutcome ServerCommands::handle(bool moreToSend) {
    ServerCommandsOutcome out;
    // What an unexpected way out leaves open is not kept: nothing of a half-handled message counts.
    struct AbandonUnlessCommitted {
        MessageWrites& writes;
        ~AbandonUnlessCommitted() { writes.abandon(); }
    } abandon{writes_};
    messages_.replyTaken();
    const std::string msgRef = std::to_string(messages_.answeredMsgId());
    OpenSync* current = nullptr;
    ReceivedMessage& received = messages_.received();
    for (const ReceivedCommand& command : received.commands) handleCommand(command, msgRef, moreToSend, current, out);
    received.commands.clear();
    if (messages_.queuedPastBound()) {
        // None of the message's writes are kept: its answers do not leave.
        session_.observer.text("The server's messages asked for more answers than a session holds; the session ends");
        out.mustEnd = true;
        return out;
    }
    if (respUriRefused_) {
        out.mustEnd = true;
        return out;
    }
    if (!writes_.commit()) {
        tellStoreTrouble(session_.observer, kEventStoreNotWritten,
                         "Device store did not keep the items of the message");
        out.writesLost = true;
    }
    return out;
}

}  // namespace orvale

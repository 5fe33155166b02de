// The server's commands of one reply, in message order; each gets its Status, queued for our next
// message.
#include "engine/BoundedNumber.h"
#include "engine/DeviceInfo.h"
#include "engine/RespUri.h"
#include "engine/SyncClientImpl.h"
#include "stores/DataStoreFactory.h"
#include "stores/DataStoreKind.h"

namespace orvale {

namespace {

constexpr int kAlertNextMessage = 222;
constexpr int kAlertNoEndOfData = 223;
// Anchors and URLs from the server are kept and echoed; beyond these lengths they are not.
constexpr std::size_t kMaxAnchorText = 255;
constexpr std::size_t kMaxUrlText = 2048;
constexpr std::uint32_t kMaxNumberOfChanges = 10'000'000;

std::string locUri(const SourceOrTarget* s) { return s != nullptr ? s->locURI() : std::string(); }

int alertCodeOf(const Alert& alert) { return static_cast<int>(readServerNumber(alert.data(), 9999).value_or(0)); }

}  // namespace

int SyncClient::Impl::folderIndexByLocalName(const std::string& name) const {
    for (std::size_t i = 0; i < folders.size(); ++i) {
        if (folders[i].active && folders[i].localName() == name) return static_cast<int>(i);
    }
    return -1;
}

SyncContextHolder* SyncClient::Impl::contextOf(int folder) const {
    for (const auto& c : contexts) {
        if (c->folder() == folder) return c.get();
    }
    return nullptr;
}

void SyncClient::Impl::handleServerHeader(const Header& header) {
    const std::string respUri = header.respURI();
    if (!respUri.empty() && respUri.size() <= kMaxUrlText && respUri != url) {
        if (const std::string refusal = respUriRefusal(url, respUri); refusal.empty()) {
            url = respUri;
        } else {
            observer.text(refusal + "; the session ends");
            respUriRefused = true;
        }
    }
    if (const MetInfElem* meta = header.meta()) {
        if (meta->maxMsgSizeCData() != nullptr) limits.applyServerMaxMsgSize(meta->maxMsgSize());
        if (meta->maxObjSizeCData() != nullptr) limits.applyServerMaxObjSize(meta->maxObjSize());
    }
}

void SyncClient::Impl::handleServerSync(const StartSync& sync, const std::string& msgRef) {
    const std::string target = locUri(sync.target());
    Status* status = newStatus(msgRef, sync.cmdID(), CommandKind::Sync, 200);
    queueStatus(status);
    status->addTargetRef(target);
    if (!locUri(sync.source()).empty()) status->addSourceRef(locUri(sync.source()));

    auto refuse = [&] {
        status->setData(510);
        observer.text("Can't start sync. Target data store does not open.");
    };
    const int folder = folderIndexByLocalName(target);
    if (folder < 0) return refuse();
    const bool alreadyOpen = openSyncs.count(target) != 0;
    if (!alreadyOpen) {
        OpenSync open;
        open.folder = folder;
        open.context = contextOf(folder);
        if (open.context == nullptr || open.context->store() == nullptr) {
            open.context = nullptr;
            DataStoreKind* kind = factory.createKindById(folders[folder].source.kind);
            DataStore* store = kind != nullptr ? kind->openStore(nullptr) : nullptr;
            if (store == nullptr) {
                delete kind;
                return refuse();
            }
            open.ownStore = StoreRef<DataStore>(store);
        }
        openSyncs.emplace(target, std::move(open));
    }
    const auto changes = sync.numberOfChangesCData() != nullptr
                             ? readServerNumber(sync.numberOfChanges(), kMaxNumberOfChanges).value_or(0)
                             : 0;
    if (SyncContextHolder* context = contextOf(folder)) context->serverChanges = static_cast<std::int32_t>(changes);
    observer.syncStart(SyncSide::Server, folders[folder].localName(), static_cast<std::int32_t>(changes));
    if (!alreadyOpen) serverSyncSeen = true;
}

void SyncClient::Impl::handleServerAlert(const Alert& alert, const std::string& msgRef) {
    const int code = alertCodeOf(alert);
    const ItemListElement* items = alert.items();
    auto failed = [&](Status* status) {
        status->setData(503);
        observer.event(605);
        observer.event(code);
    };
    if (items == nullptr || items->size() == 0) {
        Status* status = newStatus(msgRef, alert.cmdID(), CommandKind::Alert, 503);
        queueStatus(status);
        failed(status);
        return;
    }
    for (std::size_t i = 0; i < items->size(); ++i) {
        const ItemElement* item = items->at(i);
        if (item == nullptr) continue;
        Status* status = newStatus(msgRef, alert.cmdID(), CommandKind::Alert, 200);
        queueStatus(status);
        const std::string source = locUri(item->source());
        const std::string target = locUri(item->target());
        if (!source.empty()) status->addSourceRef(source);
        if (!target.empty()) status->addTargetRef(target);

        int folder = -1;
        int index = 0;
        for (const FolderState& f : folders) {
            const bool matches = (!source.empty() && f.source.remote.uri == source) || (!target.empty() && f.localName() == target);
            if (folder < 0 && f.active && matches) folder = index;
            ++index;
        }
        const MetInfElem* itemMeta = item->meta();
        const Anchor* anchor = itemMeta != nullptr ? itemMeta->anchor() : nullptr;
        if (anchor != nullptr && anchor->last().size() <= kMaxAnchorText && anchor->next().size() <= kMaxAnchorText) {
            auto* echo = new ItemElement();
            auto* meta = new MetInfElem();
            auto* copy = new Anchor();
            if (anchor->lastCData() != nullptr) copy->setLast(anchor->last());
            copy->setNext(anchor->next());
            meta->setAnchor(copy);
            echo->setMeta(meta);
            status->addItems(echo);
            if (folder >= 0) {
                // A server that never synced this folder may send no Last; an empty label would not
                // be a label at all.
                if (!anchor->last().empty()) folders[folder].last.setRemoteLabel(anchor->last());
                if (!anchor->next().empty()) {
                    folders[folder].next.setRemoteLabel(anchor->next());
                    if (SyncContextHolder* context = contextOf(folder)) context->setNextAnchor(folders[folder].next);
                }
            }
        }
        if (folder < 0 || (code != 200 && code != 201)) failed(status);
    }
}

void SyncClient::Impl::handleServerGet(const PutOrGet& get, const std::string& msgRef) {
    Status* status = newStatus(msgRef, get.cmdID(), CommandKind::Get, 400);
    queueStatus(status);
    std::vector<Result*> results;
    const int code = answerGet(get, config, cmdId, msgRef, results, devInfSent);
    if (code == 406) observer.text("Device information was sent already in this session");
    status->setData(static_cast<std::int64_t>(code));
    for (Result* r : results) {
        queueCommand(CommandKind::Results, r, static_cast<std::uint32_t>(r->cmdIDAsInt()));
    }
}

ServerCommandsOutcome SyncClient::Impl::handleServerCommands() {
    ServerCommandsOutcome out;
    // What an unexpected way out leaves open is not kept: nothing of a half-handled message counts.
    struct AbandonUnlessCommitted {
        SyncClient::Impl& impl;
        ~AbandonUnlessCommitted() { impl.abandonMessageWrites(); }
    } abandon{*this};
    // The server's messages are numbered in step with ours: its reply answered our last message.
    ++msgId;
    const std::string msgRef = std::to_string(answeredMsgId);
    OpenSync* current = nullptr;
    for (const ReceivedCommand& received_command : received.commands) {
        SyncElement* element = received_command.element.get();
        switch (received_command.kind) {
            case CommandKind::Final:
                out.packageComplete = true;
                break;
            case CommandKind::SyncHdr:
                if (element == nullptr) break;
                handleServerHeader(*static_cast<Header*>(element));
                queueStatus(newStatus(msgRef, "0", CommandKind::SyncHdr, 200));
                break;
            case CommandKind::Sync:
                current = nullptr;
                if (element == nullptr) break;  // end of the Sync
                {
                    const auto* sync = static_cast<StartSync*>(element);
                    handleServerSync(*sync, msgRef);
                    auto it = openSyncs.find(locUri(sync->target()));
                    if (it != openSyncs.end()) current = &it->second;
                }
                break;
            case CommandKind::Add:
            case CommandKind::Replace:
                if (element == nullptr) break;
                applyServerAddOrReplace(*static_cast<Generic*>(element), received_command.kind, current, msgRef);
                break;
            case CommandKind::Delete:
                if (element == nullptr) break;
                applyServerDelete(*static_cast<Generic*>(element), current, msgRef);
                break;
            case CommandKind::Alert: {
                if (element == nullptr) break;
                const auto* alert = static_cast<Alert*>(element);
                const int code = alertCodeOf(*alert);
                if (code == kAlertNextMessage) {
                    out.packageComplete = true;
                    const int answer = inSyncPhase && !lastMessageComplete ? 200 : 400;
                    queueStatus(newStatus(msgRef, alert->cmdID(), CommandKind::Alert, answer));
                } else if (code == kAlertNoEndOfData) {
                    queueStatus(newStatus(msgRef, alert->cmdID(), CommandKind::Alert, 400));
                } else {
                    handleServerAlert(*alert, msgRef);
                }
                break;
            }
            case CommandKind::Results: {
                if (element == nullptr) break;
                const auto* results = static_cast<Result*>(element);
                readServerDeviceInfo(results->items(), remoteInfo, sessionData);
                queueStatus(newStatus(msgRef, results->cmdID(), CommandKind::Results, 200));
                break;
            }
            case CommandKind::Put: {
                if (element == nullptr) break;
                const auto* put = static_cast<PutOrGet*>(element);
                readServerDeviceInfo(put->items(), remoteInfo, sessionData);
                queueStatus(newStatus(msgRef, put->cmdID(), CommandKind::Put, 200));
                break;
            }
            case CommandKind::Get:
                if (element == nullptr) break;
                handleServerGet(*static_cast<PutOrGet*>(element), msgRef);
                break;
            case CommandKind::Status:
            case CommandKind::Map:
                break;
        }
    }
    received.commands.clear();
    if (queuedPastBound()) {
        // None of the message's writes are kept: its answers do not leave.
        observer.text("The server's messages asked for more answers than a session holds; the session ends");
        out.mustEnd = true;
        return out;
    }
    if (respUriRefused) {
        out.mustEnd = true;
        return out;
    }
    if (!commitMessageWrites()) {
        observer.text("Device store did not keep the items of the message");
        out.writesLost = true;
    }
    return out;
}

}  // namespace orvale

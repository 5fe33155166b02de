// Initialisation: credentials, one Alert per folder with its anchors, the server's device
// information when a slow sync is due; repeated until the server accepts the credentials.
#include "engine/AlertChoice.h"
#include "engine/DeviceInfo.h"
#include "engine/InitPhase.h"
#include "engine/MakeElement.h"
#include "engine/SessionEvents.h"
#include "engine/SyncDirection.h"
#include "engine/StatusCodes.h"
#include "engine/SyncObserver.h"
#include "stores/StoreOpening.h"

namespace orvale {

namespace {

constexpr int kMaxAttempts = 10;
constexpr int kMaxInitAlert222 = 2;

class StoredAnchor : public AnchorStore {
public:
    explicit StoredAnchor(DataStore& store) : store_(store) {}
    SyncAnchor loadAnchor() override {
        SyncAnchor out;
        store_.loadAnchor(out);
        return out;
    }
    void saveAnchor(const SyncAnchor& anchor) override { store_.saveAnchor(anchor); }

private:
    DataStore& store_;
};

ElementRef<Alert> folderAlert(std::uint32_t id, const FolderState& folder, std::uint32_t maxObjSize) {
    auto alert = makeElement<Alert>();
    alert->setCmdID(static_cast<std::int64_t>(id));
    alert->setData(static_cast<std::int64_t>(folder.alertCode));
    auto item = makeElement<ItemElement>();
    item->setTarget(makeLocUri(folder.source.remote.uri).get());
    item->setSource(makeLocUri(folder.localName()).get());
    auto meta = makeElement<MetInfElem>();
    meta->setMaxObjSize(static_cast<std::int64_t>(maxObjSize));
    auto anchor = makeElement<Anchor>();
    anchor->setLast(folder.last.getLabel());
    anchor->setNext(folder.next.getLabel());
    meta->setAnchor(anchor.get());
    item->setMeta(meta.get());
    alert->addItems(item.get());
    return alert;
}

std::optional<Challenge> challengeOf(const Status& status) {
    const Chalenger* chal = status.chal();
    if (chal == nullptr || chal->meta() == nullptr) return std::nullopt;
    const MetInfElem* meta = chal->meta();
    Challenge c;
    c.type = meta->type();
    c.format = meta->format().empty() ? "b64" : meta->format();
    if (meta->nextNonceCData() != nullptr) c.nextNonce = meta->nextNonce();
    return c;
}

}  // namespace

void InitPhase::queueFolderAlerts() {
    bool slowSyncDue = false;
    for (auto& folder : folders_.all()) {
        if (!folder.active) continue;
        StoreRef<DataStore> store = openFolderStore(session_.factory, folder.source.kind);
        if (!store) {
            session_.observer.event(kEventStoreNotOpened);
            folder.active = false;
            continue;
        }
        StoredAnchor anchors(*store.get());
        const AlertChoice choice = chooseAlert(anchors, folder.source.mode);
        folder.alertCode = choice.code;
        folder.last = choice.last;
        folder.next = choice.next;
        if (wholeFolderType(choice.code)) slowSyncDue = true;
        const std::uint32_t id = messages_.nextCmdId();
        messages_.queueCommand(CommandKind::Alert, folderAlert(id, folder, session_.limits.incomingObjectLimit()), id,
                               static_cast<int>(&folder - folders_.all().data()));
    }
    if (slowSyncDue) queueDeviceInfoGet();
}

void InitPhase::queueDeviceInfoGet() {
    const std::uint32_t id = messages_.nextCmdId();
    messages_.queueCommand(CommandKind::Get, hold(buildDeviceInfoGet(id, session_.config.device.verDtd)), id);
}

bool InitPhase::repliedWithResults() const {
    for (const ReceivedCommand& c : messages_.received().commands) {
        if (c.kind == CommandKind::Results && c.element) return true;
    }
    return false;
}

void InitPhase::headerStatus(const Status& status, int code, int& attempts, StatusOutcome& out) {
    const auto challenge = challengeOf(status);
    session_.auth->onInitHeaderStatus(code, challenge, challenge ? challenge->nextNonce : std::nullopt);
    if (!session_.auth->refusal().empty()) {
        // No credential goes out again: the run ends unauthenticated.
        session_.observer.text(session_.auth->refusal());
        out.failed = true;
        return;
    }
    if (headerAccepted(code)) {
        session_.observer.event(kEventAuthenticated);
        out.headerAccepted = true;
    } else if (credentialsRefused(code)) {
        ++attempts;
        session_.observer.event(kEventCredentialsRefused);
        session_.observer.event(code);
        session_.observer.textNumber("Attempt count: ", attempts);
        session_.server.authType = session_.sessionData.getInt(kKeyAuthType);
        // The digest of the next session needs this nonce if no later one comes.
        if (challenge && challenge->nextNonce) session_.sessionData.setString(kKeyNextNonce, *challenge->nextNonce);
        out.newAttempt = true;
    }
}

void InitPhase::folderAlertStatus(PendingCommand& command, int code, std::vector<PendingCommand>& refused) {
    FolderState& folder = folders_[command.folder];
    if (code == kStatusOk) return;
    if (code == kStatusRefreshRequired) {
        // The server cannot go on from our anchors. A refresh does not rest on them and stays
        // what it is; anything else starts over with a slow sync.
        if (folder.alertCode != kAlertRefreshFromClient && folder.alertCode != kAlertRefreshFromServer) {
            folder.alertCode = kAlertSlowSync;
        }
        return;
    }
    SyncObserver& observer = session_.observer;
    observer.event(code);
    observer.event(kEventAlertRefused);
    if (code == kStatusNotFound) observer.eventText(kEventFolderNotFound, folder.source.remote.uri);
    if (code == kStatusServiceUnavailable) observer.event(kEventServerBusy);
    if (credentialsRefused(code)) {
        refused.push_back(std::move(command));
    } else {
        folder.active = false;
    }
}

InitPhase::StatusOutcome InitPhase::handleStatuses(int& attempts, std::uint32_t refusedMsgId) {
    StatusOutcome out;
    // Alerts and Gets the server answered 401/407 along with the header: sent again with it.
    std::vector<PendingCommand> refused;
    for (const auto& status : messages_.received().statuses) {
        int code = 0;
        std::optional<PendingCommand> command = messages_.answeredCommand(*status, code);
        if (!command) continue;
        switch (command->kind) {
            case CommandKind::SyncHdr:
                headerStatus(*status, code, attempts, out);
                if (out.failed) return out;
                break;
            case CommandKind::Alert:
                if (command->folder >= 0) {
                    folderAlertStatus(*command, code, refused);
                } else if (code != kStatusOk) {
                    session_.observer.text("Alert222 command fails on first phase");
                    out.failed = true;
                }
                break;
            case CommandKind::Get:
                if (code != kStatusOk) session_.observer.textNumber("GET Command was not accepted", code);
                // A server may accept the Get of a message it refuses and still send no Results:
                // then it goes again with the new credentials, or the first session would never
                // learn what the server supports.
                if (credentialsRefused(code) || !repliedWithResults()) refused.push_back(std::move(*command));
                break;
            default:
                break;
        }
    }
    if (out.newAttempt) sendAgain(refused, refusedMsgId);
    return out;
}

void InitPhase::sendAgain(std::vector<PendingCommand>& refused, std::uint32_t refusedMsgId) {
    // The server refused the whole message: what it never processed goes out again with the
    // new credentials. A first session with a challenging server could not sync otherwise.
    for (auto& c : messages_.pending().takeMessage(refusedMsgId)) refused.push_back(std::move(c));
    for (auto& c : refused) {
        const bool folderAlert = c.kind == CommandKind::Alert && c.folder >= 0 && folders_[c.folder].active;
        // In the test form the Get goes out on every pass anyway.
        const bool get = c.kind == CommandKind::Get && !testMode_;
        if (!folderAlert && !get) continue;
        const std::uint32_t id = messages_.nextCmdId();
        if (c.kind == CommandKind::Alert) {
            static_cast<Alert*>(c.element.get())->setCmdID(static_cast<std::int64_t>(id));
        } else {
            static_cast<PutOrGet*>(c.element.get())->setCmdID(static_cast<std::int64_t>(id));
        }
        messages_.queueCommand(c.kind, c.element, id, c.folder);
    }
}

bool InitPhase::run(bool testForm) {
    session_.observer.event(kEventInitStarted);
    testMode_ = testForm;
    int attempts = 0;
    int alert222s = 0;
    bool alertsDue = !testForm;
    bool headerAccepted = false;
    bool limitExceeded = false;
    while (attempts < kMaxAttempts) {
        messages_.startMessage();
        if (testForm) {
            queueDeviceInfoGet();
        } else if (alertsDue) {
            queueFolderAlerts();
            alertsDue = false;
        }
        messages_.drainQueues();
        const std::uint32_t sent = messages_.msgId();
        messages_.sendAndReceive(true);
        const StatusOutcome statuses = handleStatuses(attempts, sent);
        if (statuses.failed) return false;
        if (statuses.headerAccepted) headerAccepted = true;
        if (statuses.newAttempt) headerAccepted = false;
        const ServerCommandsOutcome commands = commands_.handle(false);
        if (commands.writesLost || commands.mustEnd) return false;
        if (statuses.newAttempt) continue;
        if (!commands.packageComplete && messages_.pending().commandsOutstanding()) {
            if (alert222s >= kMaxInitAlert222) {
                limitExceeded = true;
                break;
            }
            ++alert222s;
            messages_.queueNextMessageAlert();
            continue;
        }
        break;
    }
    const bool ok = headerAccepted && !limitExceeded && attempts < kMaxAttempts;
    if (ok) session_.observer.event(kEventInitDone);
    return ok;
}

}  // namespace orvale

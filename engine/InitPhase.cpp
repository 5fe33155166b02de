// Initialisation: credentials, one Alert per folder with its anchors, the server's device
// information when a slow sync is due; repeated until the server accepts the credentials.
#include "engine/AlertChoice.h"
#include "engine/DeviceInfo.h"
#include "engine/SyncClientImpl.h"
#include "stores/DataStoreFactory.h"
#include "stores/DataStoreKind.h"

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

Alert* folderAlert(std::uint32_t id, const FolderState& folder, std::uint32_t maxObjSize) {
    auto* alert = new Alert();
    alert->setCmdID(static_cast<std::int64_t>(id));
    alert->setData(static_cast<std::int64_t>(folder.alertCode));
    auto* item = new ItemElement();
    item->setTarget(new SourceOrTarget(folder.source.remote.uri));
    item->setSource(new SourceOrTarget(folder.localName()));
    auto* meta = new MetInfElem();
    meta->setMaxObjSize(static_cast<std::int64_t>(maxObjSize));
    auto* anchor = new Anchor();
    anchor->setLast(folder.last.getLabel());
    anchor->setNext(folder.next.getLabel());
    meta->setAnchor(anchor);
    item->setMeta(meta);
    alert->addItems(item);
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

void SyncClient::Impl::queueFolderAlerts() {
    bool slowSyncDue = false;
    for (auto& folder : folders) {
        if (!folder.active) continue;
        DataStoreKind* kind = factory.createKindById(folder.source.kind);
        if (kind == nullptr) {
            observer.event(616);
            folder.active = false;
            continue;
        }
        DataStore* opened = kind->openStore(nullptr);
        if (opened == nullptr) {
            // A kind that never opened a store is its creator's to release.
            delete kind;
            observer.event(616);
            folder.active = false;
            continue;
        }
        StoreRef<DataStore> store(opened);
        StoredAnchor anchors(*store.get());
        const AlertChoice choice = chooseAlert(anchors);
        folder.alertCode = choice.code;
        folder.last = choice.last;
        folder.next = choice.next;
        if (choice.code == kAlertSlowSync) slowSyncDue = true;
        const std::uint32_t id = nextCmdId();
        queueCommand(CommandKind::Alert, folderAlert(id, folder, limits.incomingObjectLimit()), id,
                     static_cast<int>(&folder - folders.data()));
    }
    if (slowSyncDue) queueDeviceInfoGet();
}

void SyncClient::Impl::queueDeviceInfoGet() {
    const std::uint32_t id = nextCmdId();
    queueCommand(CommandKind::Get, buildDeviceInfoGet(id, config.device.verDtd), id);
}

void SyncClient::Impl::queueAlert222() {
    auto* alert = new Alert();
    const std::uint32_t id = nextCmdId();
    alert->setCmdID(static_cast<std::int64_t>(id));
    alert->setData(222);
    auto* item = new ItemElement();
    item->setTarget(new SourceOrTarget(url));
    item->setSource(new SourceOrTarget(config.device.deviceId));
    alert->addItems(item);
    queueCommand(CommandKind::Alert, alert, id);
}

bool SyncClient::Impl::repliedWithResults() const {
    for (const ReceivedCommand& c : received.commands) {
        if (c.kind == CommandKind::Results && c.element) return true;
    }
    return false;
}

SyncClient::Impl::InitStatusOutcome SyncClient::Impl::handleInitStatuses(int& attempts, std::uint32_t refusedMsgId) {
    InitStatusOutcome out;
    // Alerts and Gets the server answered 401/407 along with the header: sent again with it.
    std::vector<PendingCommand> refused;
    for (const auto& status : received.statuses) {
        int code = 0;
        std::optional<PendingCommand> command = answeredCommand(*status, code);
        if (!command) continue;
        switch (command->kind) {
            case CommandKind::SyncHdr: {
                const auto challenge = challengeOf(*status);
                auth->onInitHeaderStatus(code, challenge, challenge ? challenge->nextNonce : std::nullopt);
                if (!auth->refusal().empty()) {
                    // No credential goes out again: the run ends unauthenticated.
                    observer.text(auth->refusal());
                    out.failed = true;
                    return out;
                }
                if (code == 200 || code == 212) {
                    observer.event(602);
                    out.headerAccepted = true;
                } else if (code == 401 || code == 407) {
                    ++attempts;
                    observer.event(603);
                    observer.event(code);
                    observer.textNumber("Attempt count: ", attempts);
                    server.authType = sessionData.getInt(kKeyAuthType);
                    // The digest of the next session needs this nonce if no later one comes.
                    if (challenge && challenge->nextNonce) sessionData.setString(kKeyNextNonce, *challenge->nextNonce);
                    out.newAttempt = true;
                }
                break;
            }
            case CommandKind::Alert:
                if (command->folder < 0) {
                    if (code != 200) {
                        observer.text("Alert222 command fails on first phase");
                        out.failed = true;
                    }
                    break;
                }
                if (code == 200) break;
                if (code == 508) {
                    folders[command->folder].alertCode = kAlertSlowSync;
                    break;
                }
                observer.event(code);
                observer.event(605);
                if (code == 404) observer.eventText(607, folders[command->folder].source.remote.uri);
                if (code == 503) observer.event(606);
                if (code == 401 || code == 407) {
                    refused.push_back(std::move(*command));
                } else {
                    folders[command->folder].active = false;
                }
                break;
            case CommandKind::Get:
                if (code != 200) observer.textNumber("GET Command was not accepted", code);
                // A server may accept the Get of a message it refuses and still send no Results:
                // then it goes again with the new credentials, or the first session would never
                // learn what the server supports.
                if (code == 401 || code == 407 || !repliedWithResults()) refused.push_back(std::move(*command));
                break;
            default:
                break;
        }
    }
    if (out.newAttempt) {
        // The server refused the whole message: what it never processed goes out again with the
        // new credentials. A first session with a challenging server could not sync otherwise.
        for (auto& c : pending.takeMessage(refusedMsgId)) refused.push_back(std::move(c));
        for (auto& c : refused) {
            const bool folderAlert = c.kind == CommandKind::Alert && c.folder >= 0 && folders[c.folder].active;
            // In the test form the Get goes out on every pass anyway.
            const bool get = c.kind == CommandKind::Get && !testMode;
            if (!folderAlert && !get) continue;
            const std::uint32_t id = nextCmdId();
            if (c.kind == CommandKind::Alert) {
                static_cast<Alert*>(c.element.get())->setCmdID(static_cast<std::int64_t>(id));
            } else {
                static_cast<PutOrGet*>(c.element.get())->setCmdID(static_cast<std::int64_t>(id));
            }
            queueCommand(c.kind, c.element.get(), id, c.folder);
        }
    }
    return out;
}

bool SyncClient::Impl::runInitPhase(bool testForm) {
    observer.event(600);
    testMode = testForm;
    int attempts = 0;
    int alert222s = 0;
    bool alertsDue = !testForm;
    bool headerAccepted = false;
    bool limitExceeded = false;
    while (attempts < kMaxAttempts) {
        startMessage();
        if (testForm) {
            queueDeviceInfoGet();
        } else if (alertsDue) {
            queueFolderAlerts();
            alertsDue = false;
        }
        drainQueues();
        const std::uint32_t sent = msgId;
        sendAndReceive(true);
        const InitStatusOutcome statuses = handleInitStatuses(attempts, sent);
        if (statuses.failed) return false;
        if (statuses.headerAccepted) headerAccepted = true;
        if (statuses.newAttempt) headerAccepted = false;
        const ServerCommandsOutcome commands = handleServerCommands();
        if (commands.writesLost || commands.mustEnd) return false;
        if (statuses.newAttempt) continue;
        if (!commands.packageComplete && pending.commandsOutstanding()) {
            if (alert222s >= kMaxInitAlert222) {
                limitExceeded = true;
                break;
            }
            ++alert222s;
            queueAlert222();
            continue;
        }
        break;
    }
    const bool ok = headerAccepted && !limitExceeded && attempts < kMaxAttempts;
    if (ok) observer.event(604);
    return ok;
}

}  // namespace orvale

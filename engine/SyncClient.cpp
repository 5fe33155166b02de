#include "engine/SyncClient.h"

#include <algorithm>
#include <ctime>

#include "engine/SessionId.h"
#include "engine/SyncClientImpl.h"
#include "transport/ServerUrl.h"

namespace orvale {

namespace {
ClientConfig cappedConfig(ClientConfig config) {
    // The workspace cannot be larger than the toolkit allows; the configuration follows it.
    config.maxMessageSize = std::min(config.maxMessageSize, kWorkspaceCap);
    return config;
}
}  // namespace

SyncClient::Impl::Impl(const ClientConfig& clientConfig, DataStoreFactory& storeFactory, Transport& serverTransport,
                       SyncObserver& sessionObserver, std::shared_ptr<AbortRecord> abortRecord,
                       SessionDataStore& data)
    : config(cappedConfig(clientConfig)),
      factory(storeFactory),
      transport(serverTransport),
      observer(sessionObserver),
      abort(std::move(abortRecord)),
      sessionData(data),
      limits(config.maxMessageSize, config.maxObjectSize),
      channel(limits.workspaceSize()),
      incomingObject(limits.incomingObjectLimit()) {
    if (abort) abort->clear();
}

void SyncClient::Impl::startSession(const std::string& serverUrl, const std::string& user, const std::string& password) {
    url = serverUrl;
    startTime = std::to_string(static_cast<long long>(std::time(nullptr)));
    sessionId = makeUniqueSessionId(startTime, config.device.deviceId);
    msgId = 1;
    cmdId = 1;
    const auto target = ServerUrl::parse(serverUrl);
    auth.emplace(sessionData, user, password, target && !target->secure());
    auth->startSession();
}

void SyncClient::Impl::endSession() {
    // Nothing of one session may leak into the next one run on this client.
    auth.reset();
    pending.clear();
    statusQueue.clear();
    commandQueue.clear();
    devInfSent = false;
    queueOverflow = false;
    respUriRefused = false;
    received.clear();
    openSyncs.clear();
    contexts.clear();
    // A large object still pending when the session ends is never applied, nor continued.
    outgoingObject.reset();
    incomingObject.drop();
}

int SyncClient::Impl::run(const ServerConfig& serverConfig, const std::vector<SyncSource>& sources) {
    server = serverConfig;
    observer.sessionBegin();
    folders.clear();
    for (const auto& s : sources) folders.push_back(FolderState{s, true, 0, SyncAnchor(), SyncAnchor(), std::nullopt, {}});
    startSession(server.url, server.user, server.password);

    int result = kRunDone;
    if (!runInitPhase(false)) {
        result = kRunInitFailed;
    } else if (aborted()) {
        result = kRunAborted;
    } else {
        inSyncPhase = true;
        const bool synced = runSyncPhase();
        inSyncPhase = false;
        if (!synced) result = kRunSyncFailed;
        else if (aborted()) result = kRunAborted;
    }
    observer.sessionEnd();
    endSession();
    return result;
}

bool SyncClient::Impl::testServer(const std::string& serverUrl, const std::string& user, const std::string& password) {
    folders.clear();
    startSession(serverUrl, user, password);
    const bool ok = runInitPhase(true);
    endSession();
    return ok;
}

SyncClient::SyncClient(const ClientConfig& config, DataStoreFactory& factory, Transport& transport,
                       SyncObserver& observer, std::shared_ptr<AbortRecord> abort, SessionDataStore& sessionData)
    : impl_(std::make_unique<Impl>(config, factory, transport, observer, std::move(abort), sessionData)) {}

SyncClient::~SyncClient() = default;

int SyncClient::run(const ServerConfig& server, const std::vector<SyncSource>& sources) {
    try {
        return impl_->run(server, sources);
    } catch (...) {
        impl_->endSession();
        throw;
    }
}

bool SyncClient::testServer(const std::string& url, const std::string& user, const std::string& password) {
    try {
        return impl_->testServer(url, user, password);
    } catch (...) {
        impl_->endSession();
        throw;
    }
}

const RemoteDeviceInfo& SyncClient::remoteDeviceInfo() const { return impl_->remoteInfo; }

}  // namespace orvale

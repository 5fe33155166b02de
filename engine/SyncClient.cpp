#include "engine/SyncClient.h"

#include <algorithm>
#include <ctime>

#include "engine/ChangeSender.h"
#include "engine/Folders.h"
#include "engine/InitPhase.h"
#include "engine/LargeObjects.h"
#include "engine/MessageBuilder.h"
#include "engine/MessageWrites.h"
#include "engine/PendingMaps.h"
#include "engine/ServerCommands.h"
#include "engine/Session.h"
#include "engine/SessionId.h"
#include "engine/SyncObserver.h"
#include "engine/SyncPhase.h"
#include "transport/ServerUrl.h"

namespace orvale {

namespace {
ClientConfig cappedConfig(ClientConfig config) {
    // The workspace cannot be larger than the toolkit allows; the configuration follows it.
    config.maxMessageSize = std::min(config.maxMessageSize, kWorkspaceCap);
    return config;
}
}  // namespace

Session::Session(const ClientConfig& clientConfig, DataStoreFactory& storeFactory, Transport& serverTransport,
                 SyncObserver& sessionObserver, std::shared_ptr<AbortRecord> abortRecord, SessionDataStore& data)
    : config(cappedConfig(clientConfig)),
      factory(storeFactory),
      transport(serverTransport),
      observer(sessionObserver),
      abort(std::move(abortRecord)),
      sessionData(data),
      limits(config.maxMessageSize, config.maxObjectSize) {
    if (abort) abort->clear();
}

void Session::start(const std::string& serverUrl, const std::string& user, const std::string& password) {
    url = serverUrl;
    const std::string startTime = std::to_string(static_cast<long long>(std::time(nullptr)));
    sessionId = makeUniqueSessionId(startTime, config.device.deviceId);
    const auto target = ServerUrl::parse(serverUrl);
    auth.emplace(sessionData, user, password, target && !target->secure());
    auth->startSession();
    passwordInClearReported = false;
}

// The session's parts; the phases are made for each session and own nothing that outlives it.
struct SyncClient::Impl {
    Impl(const ClientConfig& config, DataStoreFactory& factory, Transport& transport, SyncObserver& observer,
         std::shared_ptr<AbortRecord> abort, SessionDataStore& sessionData)
        : session(config, factory, transport, observer, std::move(abort), sessionData),
          messages(session),
          pendingMaps(folders, writes, session.observer),
          largeObjects(session.limits.incomingObjectLimit(), messages, session.observer),
          commands(session, messages, folders, writes, pendingMaps, largeObjects),
          sender(session, messages, folders, largeObjects, pendingMaps) {}

    SyncResult run(const ServerConfig& serverConfig, const std::vector<SyncSource>& sources);
    bool testServer(const std::string& serverUrl, const std::string& user, const std::string& password);
    void startSession(const std::string& serverUrl, const std::string& user, const std::string& password);
    void endSession();

    Session session;
    MessageBuilder messages;
    Folders folders;
    MessageWrites writes;
    PendingMaps pendingMaps;
    LargeObjects largeObjects;
    ServerCommands commands;
    ChangeSender sender;
};

void SyncClient::Impl::startSession(const std::string& serverUrl, const std::string& user, const std::string& password) {
    session.start(serverUrl, user, password);
    messages.restartCounters();
}

void SyncClient::Impl::endSession() {
    // Nothing of one session may leak into the next one run on this client.
    session.auth.reset();
    messages.clear();
    commands.clear();
    folders.clearContexts();
    largeObjects.drop();
}

SyncResult SyncClient::Impl::run(const ServerConfig& serverConfig, const std::vector<SyncSource>& sources) {
    session.server = serverConfig;
    session.observer.sessionBegin();
    folders.reset(sources);
    startSession(session.server.url, session.server.user, session.server.password);

    SyncResult result = SyncResult::Done;
    if (!InitPhase(session, messages, folders, commands).run(false)) {
        result = SyncResult::InitFailed;
    } else if (session.aborted()) {
        result = SyncResult::NotReached;
    } else {
        const bool synced = SyncPhase(session, messages, folders, commands, sender, largeObjects, pendingMaps).run();
        if (!synced) result = SyncResult::SyncFailed;
        else if (session.aborted()) result = SyncResult::NotReached;
    }
    session.observer.sessionEnd();
    endSession();
    return result;
}

bool SyncClient::Impl::testServer(const std::string& serverUrl, const std::string& user, const std::string& password) {
    folders.clear();
    startSession(serverUrl, user, password);
    const bool ok = InitPhase(session, messages, folders, commands).run(true);
    endSession();
    return ok;
}

SyncClient::SyncClient(const ClientConfig& config, DataStoreFactory& factory, Transport& transport,
                       SyncObserver& observer, std::shared_ptr<AbortRecord> abort, SessionDataStore& sessionData)
    : impl_(std::make_unique<Impl>(config, factory, transport, observer, std::move(abort), sessionData)) {}

SyncClient::~SyncClient() = default;

SyncResult SyncClient::run(const ServerConfig& server, const std::vector<SyncSource>& sources) {
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

const RemoteDeviceInfo& SyncClient::remoteDeviceInfo() const { return impl_->commands.remoteInfo(); }

}  // namespace orvale

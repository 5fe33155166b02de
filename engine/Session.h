#pragma once
// What every part of one session knows: the client's configuration and collaborators, the server
// being talked to, the session's identity and credentials, and the sizes negotiated so far.
#include <memory>
#include <optional>
#include <string>

#include "engine/AbortRecord.h"
#include "engine/Authenticator.h"
#include "engine/SessionLimits.h"
#include "engine/SyncConfig.h"

namespace orvale {

class DataStoreFactory;
class SessionDataStore;
class SyncObserver;
class Transport;

struct Session {
    Session(const ClientConfig& config, DataStoreFactory& factory, Transport& transport, SyncObserver& observer,
            std::shared_ptr<AbortRecord> abort, SessionDataStore& sessionData);

    // A new session with the server at `serverUrl`: its ID and the credentials remembered so far.
    void start(const std::string& serverUrl, const std::string& user, const std::string& password);
    bool aborted() const { return abort && abort->aborted(); }

    ClientConfig config;
    DataStoreFactory& factory;
    Transport& transport;
    SyncObserver& observer;
    std::shared_ptr<AbortRecord> abort;
    SessionDataStore& sessionData;
    ServerConfig server;
    // Where the next message goes: the configured URL until the server names another.
    std::string url;
    std::string sessionId;
    std::optional<Authenticator> auth;
    // kEventPasswordInClear was reported in this session.
    bool passwordInClearReported = false;
    SessionLimits limits;
};

}  // namespace orvale

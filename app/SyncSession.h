#pragma once
// The session engine as the run driver uses it. The run builds one per run or server test from its
// collaborators; tests put a scripted session in its place.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/RemoteDeviceInfo.h"
#include "engine/SyncConfig.h"
#include "engine/SyncResult.h"

namespace orvale {

class AbortRecord;
class DataStoreFactory;
class SessionDataStore;
class SyncObserver;
class Transport;

class SyncSession {
  public:
    virtual ~SyncSession() = default;
    // 0 done, 1 initialisation failed, 3 aborted, 4 synchronisation failed; may throw.
    virtual SyncResult run(const ServerConfig& server, const std::vector<SyncSource>& sources) = 0;
    // True when the server accepted the credentials.
    virtual bool testServer(const std::string& url, const std::string& user, const std::string& password) = 0;
    virtual const RemoteDeviceInfo& remoteDeviceInfo() const = 0;
};

// Everything a session works with; all of it outlives the session.
struct SessionParts {
    const ClientConfig& config;
    DataStoreFactory& factory;
    Transport& transport;
    SyncObserver& observer;
    std::shared_ptr<AbortRecord> abort;
    SessionDataStore& sessionData;
};

using SessionMaker = std::function<std::unique_ptr<SyncSession>(const SessionParts&)>;

// The program's own engine.
std::unique_ptr<SyncSession> makeEngineSession(const SessionParts& parts);

}  // namespace orvale

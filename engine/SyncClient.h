#pragma once
// One SyncML 1.1 client session with one server for all folders of a run: initialisation (credentials,
// the folders' Alerts, device information), then synchronisation folder by folder.
#include <cstdint>
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

class SyncClient {
public:
    // Clears the abort flag and creates the toolkit instance with its workspace. The collaborators
    // must outlive the client.
    SyncClient(const ClientConfig& config, DataStoreFactory& factory, Transport& transport, SyncObserver& observer,
               std::shared_ptr<AbortRecord> abort, SessionDataStore& sessionData);
    ~SyncClient();
    SyncClient(const SyncClient&) = delete;
    SyncClient& operator=(const SyncClient&) = delete;

    // Done, InitFailed, NotReached (the run was aborted) or SyncFailed. CSyncClientException,
    // CDataStoreException, SyncAnchorException and CBuildItemsException pass to the caller.
    SyncResult run(const ServerConfig& server, const std::vector<SyncSource>& sources);

    // Authenticates and asks for the server's device information; true when authenticated.
    bool testServer(const std::string& url, const std::string& user, const std::string& password);

    // The server's device information received in this client's sessions (empty when none came).
    const RemoteDeviceInfo& remoteDeviceInfo() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace orvale

#include "app/SyncSession.h"
#include "engine/SyncClient.h"

namespace orvale {

namespace {
class EngineSession : public SyncSession {
  public:
    explicit EngineSession(const SessionParts& p)
        : client_(p.config, p.factory, p.transport, p.observer, p.abort, p.sessionData) {}
    SyncResult run(const ServerConfig& server, const std::vector<SyncSource>& sources) override {
        return client_.run(server, sources);
    }
    bool testServer(const std::string& url, const std::string& user, const std::string& password) override {
        return client_.testServer(url, user, password);
    }
    const RemoteDeviceInfo& remoteDeviceInfo() const override { return client_.remoteDeviceInfo(); }

  private:
    SyncClient client_;
};
}  // namespace

std::unique_ptr<SyncSession> makeEngineSession(const SessionParts& parts) {
    return std::make_unique<EngineSession>(parts);
}

}  // namespace orvale

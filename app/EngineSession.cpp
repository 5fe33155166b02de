#include <stdexcept>

#include "app/SyncSession.h"
#include "engine/SyncClient.h"

namespace orvale {

namespace {
#if ORVALE_HAVE_ENGINE
class EngineSession : public SyncSession {
  public:
    explicit EngineSession(const SessionParts& p)
        : client_(p.config, p.factory, p.transport, p.observer, p.abort, p.sessionData) {}
    int run(const ServerConfig& server, const std::vector<SyncSource>& sources) override {
        return client_.run(server, sources);
    }
    bool testServer(const std::string& url, const std::string& user, const std::string& password) override {
        return client_.testServer(url, user, password);
    }
    const RemoteDeviceInfo& remoteDeviceInfo() const override { return client_.remoteDeviceInfo(); }

  private:
    SyncClient client_;
};
#else
class EngineSession : public SyncSession {
  public:
    explicit EngineSession(const SessionParts&) { throw std::runtime_error("session engine not built"); }
    int run(const ServerConfig&, const std::vector<SyncSource>&) override { return 2; }
    bool testServer(const std::string&, const std::string&, const std::string&) override { return false; }
    const RemoteDeviceInfo& remoteDeviceInfo() const override { return info_; }

  private:
    RemoteDeviceInfo info_;
};
#endif
}  // namespace

std::unique_ptr<SyncSession> makeEngineSession(const SessionParts& parts) {
    return std::make_unique<EngineSession>(parts);
}

}  // namespace orvale

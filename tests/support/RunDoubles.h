#pragma once
// Stand-ins for the engine, the transport and a store kind, so that the run driver can be driven
// through every outcome without a server.
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "app/RunEnvironment.h"
#include "app/SyncSession.h"
#include "engine/AbortRecord.h"
#include "engine/SessionDataStore.h"
#include "engine/SyncObserver.h"
#include "stores/DataStoreKind.h"
#include "transport/Transport.h"

namespace orvale::test {

class FakeTransport : public Transport {
  public:
    int exchange(const std::string&, const std::string&, std::string&) override { return 1; }
    void setErrorFlag(std::int32_t v) { errorFlag_ = v; }
    void setFailure(const TransportFailure& f) { failure_ = f; }
};

// What the scripted session does, and what it saw.
struct SessionScript {
    SyncResult result = SyncResult::Done;
    bool throws = false;
    bool authenticated = true;
    std::int32_t errorFlagAfter = 0;
    TransportFailure failureAfter;
    RemoteDeviceInfo deviceInfo;
    // Runs inside run() / testServer() with the session's collaborators.
    std::function<void(const SessionParts&)> during;

    int sessionsMade = 0;
    std::vector<SyncSource> sources;
    // URL, user and password of the last testServer().
    std::vector<std::string> testedWith;
    bool abortSeen = false;
    bool transportAborted = false;
    // The run's transport (the session sees it through the run's log).
    FakeTransport* transport = nullptr;
};

class ScriptedSession : public SyncSession {
  public:
    ScriptedSession(const SessionParts& parts, SessionScript& script) : parts_(parts), script_(script) {}
    SyncResult run(const ServerConfig&, const std::vector<SyncSource>& sources) override {
        script_.sources = sources;
        act();
        return script_.result;
    }
    bool testServer(const std::string& url, const std::string& user, const std::string& password) override {
        script_.testedWith = {url, user, password};
        act();
        return script_.authenticated;
    }
    const RemoteDeviceInfo& remoteDeviceInfo() const override { return script_.deviceInfo; }

  private:
    void act() {
        if (script_.during) script_.during(parts_);
        script_.transport->setErrorFlag(script_.errorFlagAfter);
        script_.transport->setFailure(script_.failureAfter);
        script_.abortSeen = parts_.abort && parts_.abort->aborted();
        if (script_.throws) throw std::runtime_error("scripted failure");
    }
    SessionParts parts_;
    SessionScript& script_;
};

// Holds a scripted session (from its `during`) until the test lets it go on.
class Gate {
  public:
    void wait() {
        std::unique_lock<std::mutex> lock(m_);
        cv_.wait(lock, [this] { return open_; });
    }
    void open() {
        std::lock_guard<std::mutex> lock(m_);
        open_ = true;
        cv_.notify_all();
    }

  private:
    std::mutex m_;
    std::condition_variable cv_;
    bool open_ = false;
};

inline RunEnvironment scriptedEnvironment(SessionScript& script) {
    RunEnvironment env;
    env.makeTransport = [&script](const ProxyDescriptor&) {
        auto transport = std::make_unique<FakeTransport>();
        script.transport = transport.get();
        return RunTransport{std::move(transport), [&script] { script.transportAborted = true; }};
    };
    env.makeSession = [&script](const SessionParts& parts) {
        ++script.sessionsMade;
        return std::make_unique<ScriptedSession>(parts, script);
    };
    return env;
}

// A kind that exists but opens no store: enough for the run to let its folder take part.
class StubKind : public DataStoreKind {
  public:
    explicit StubKind(std::string name) : name_(std::move(name)) {}
    std::string kindName() const override { return name_; }
    ContentType contentType() const override { return ContentType("text/x-vcard"); }
    DataStore* openStore(void*) override { return nullptr; }

  private:
    std::string name_;
};

}  // namespace orvale::test

#pragma once
// A server on 127.0.0.1 that takes every connection and never answers: a run or server test
// against it waits until it is cut short.
#include <atomic>
#include <string>
#include <thread>

namespace orvale::test {

class StalledServer {
  public:
    StalledServer();
    ~StalledServer();
    StalledServer(const StalledServer&) = delete;
    StalledServer& operator=(const StalledServer&) = delete;

    int port() const { return port_; }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/sync"; }
    // Connections taken so far.
    int connections() const { return connections_.load(); }

  private:
    void serve();

    int listen_ = -1;
    int stop_[2] = {-1, -1};
    int port_ = 0;
    std::atomic<int> connections_{0};
    std::thread thread_;
};

}  // namespace orvale::test

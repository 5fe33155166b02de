#include "support/StalledServer.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace orvale::test {

StalledServer::StalledServer() {
    listen_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (listen_ < 0 || bind(listen_, reinterpret_cast<sockaddr*>(&a), len) != 0 || ::listen(listen_, 8) != 0 ||
        getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len) != 0 || pipe(stop_) != 0)
        return;
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] { serve(); });
}

StalledServer::~StalledServer() {
    if (thread_.joinable()) {
        const char c = 0;
        (void)!write(stop_[1], &c, 1);
        thread_.join();
    }
    for (int fd : {listen_, stop_[0], stop_[1]}) {
        if (fd >= 0) close(fd);
    }
}

void StalledServer::serve() {
    std::vector<int> held;
    for (;;) {
        pollfd fds[2] = {{listen_, POLLIN, 0}, {stop_[0], POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) continue;
        if (fds[1].revents != 0) break;
        if (fds[0].revents & POLLIN) {
            const int fd = accept(listen_, nullptr, nullptr);
            if (fd >= 0) {
                held.push_back(fd);
                ++connections_;
            }
        }
    }
    for (int fd : held) close(fd);
}

}  // namespace orvale::test

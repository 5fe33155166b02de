#include "LocalHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include "support/TempDeviceRoot.h"

extern char** environ;

namespace orvale::test {

namespace {

std::string readLineWithin(int fd, int timeoutMs) {
    std::string line;
    char c = 0;
    while (true) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0) break;
        if (::read(fd, &c, 1) != 1 || c == '\n') break;
        line += c;
    }
    return line;
}

}  // namespace

ServerCertificate makeCertificate(const std::filesystem::path& dir, const std::string& name,
                                  const std::string& subjectAltName) {
    ServerCertificate out{dir / (name + ".crt"), dir / (name + ".key")};
    const std::string command = std::string(ORVALE_OPENSSL) +
                                " req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2"
                                " -subj /CN=" + name + " -addext subjectAltName=" + subjectAltName +
                                " -keyout '" + out.key.string() + "' -out '" + out.cert.string() +
                                "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("openssl could not make a certificate");
    return out;
}

int unusedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(fd);
    return ntohs(addr.sin_port);
}

LocalHttpServer::LocalHttpServer(const std::optional<ServerCertificate>& tls) {
    std::string tmpl = (std::filesystem::temp_directory_path() / "orvale-http-XXXXXX").string();
    if (::mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    dir_ = tmpl;

    std::vector<std::string> args = {ORVALE_PYTHON3, std::string(ORVALE_TEST_DATA) + "/transport/test_server.py",
                                     "--log-dir", dir_.string()};
    if (tls) args.insert(args.end(), {"--cert", tls->cert.string(), "--key", tls->key.string()});
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    int out[2];
    if (::pipe(out) != 0) throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const int rc = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    const std::string line = rc == 0 ? readLineWithin(out[0], 20000) : std::string();
    ::close(out[0]);
    if (line.rfind("PORT ", 0) != 0) throw std::runtime_error("test server did not start: " + line);
    port_ = std::atoi(line.c_str() + 5);
}

LocalHttpServer::~LocalHttpServer() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

std::string LocalHttpServer::url(const std::string& path, const std::string& scheme) const {
    return scheme + "://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> LocalHttpServer::requests() const {
    std::vector<std::string> out;
    for (int k = 1;; ++k) {
        const auto file = dir_ / ("request-" + std::to_string(k) + ".txt");
        if (!std::filesystem::exists(file)) break;
        out.push_back(readFileBytes(file));
    }
    return out;
}

ReceivedRequest splitRequest(const std::string& raw) {
    ReceivedRequest out;
    const std::size_t headEnd = raw.find("\r\n\r\n");
    const std::string head = raw.substr(0, headEnd);
    out.body = headEnd == std::string::npos ? std::string() : raw.substr(headEnd + 4);
    std::size_t pos = 0;
    bool first = true;
    while (pos <= head.size()) {
        std::size_t end = head.find("\r\n", pos);
        if (end == std::string::npos) end = head.size();
        std::string line = head.substr(pos, end - pos);
        if (first) {
            out.requestLine = line;
            first = false;
        } else if (!line.empty()) {
            out.headers.push_back(line);
        }
        pos = end + 2;
    }
    std::sort(out.headers.begin(), out.headers.end());
    return out;
}

}  // namespace orvale::test

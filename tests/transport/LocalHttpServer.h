#pragma once
// The tests' own HTTP(S) server (tests/data/transport/test_server.py), started on a free port of
// 127.0.0.1 for one test and killed after it. It records every request exactly as received.
#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace orvale::test {

struct ServerCertificate {
    std::filesystem::path cert;  // PEM, self-signed: also the CA file that trusts it
    std::filesystem::path key;
};

// A self-signed certificate for `subjectAltName` (e.g. "IP:127.0.0.1"), made with openssl in `dir`.
ServerCertificate makeCertificate(const std::filesystem::path& dir, const std::string& name,
                                  const std::string& subjectAltName);

// A port of 127.0.0.1 on which nothing listens.
int unusedPort();

class LocalHttpServer {
public:
    explicit LocalHttpServer(const std::optional<ServerCertificate>& tls = std::nullopt);
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    int port() const { return port_; }
    std::string url(const std::string& path, const std::string& scheme = "http") const;
    // Every request received so far, in order: request line, headers, empty line, body.
    std::vector<std::string> requests() const;

private:
    std::filesystem::path dir_;
    pid_t pid_ = -1;
    int port_ = 0;
};

// A received request taken apart; header lines are kept as sent ("Name: value").
struct ReceivedRequest {
    std::string requestLine;
    std::vector<std::string> headers;  // sorted, so that tests do not depend on header order
    std::string body;
};
ReceivedRequest splitRequest(const std::string& raw);

}  // namespace orvale::test

// Certificates are verified, peer and host name, against the system store plus ORVALE_CA_FILE.
#include "LocalHttpServer.h"
#include "TransportFixture.h"

namespace orvale::test {
namespace {

class HttpsExchangeTest : public TransportFixture {
protected:
    std::string exchange(const std::string& url) {
        std::string reply;
        result = transport.exchange(url, "secret credentials", reply);
        return reply;
    }

    ServerCertificate good = makeCertificate(root.path(), "good", "IP:127.0.0.1");
    int result = -1;
};

TEST_F(HttpsExchangeTest, UntrustedCertificateFailsBeforeAnythingIsSent) {
    LocalHttpServer server(good);
    EXPECT_EQ(exchange(server.url("/echo", "https")), "");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(transport.status(), 0u);
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(HttpsExchangeTest, PrivateCaFileMakesTheServerTrustedWhateverTheSchemesCase) {
    LocalHttpServer server(good);
    setenv("ORVALE_CA_FILE", good.cert.c_str(), 1);
    for (const char* scheme : {"https", "HTTPS", "Https"}) {
        SCOPED_TRACE(scheme);
        EXPECT_EQ(exchange(server.url("/echo", scheme)), "echo:secret credentials");
        EXPECT_EQ(result, 0);
    }
}

TEST_F(HttpsExchangeTest, TrustedCertificateForAnotherHostNameFails) {
    const ServerCertificate other = makeCertificate(root.path(), "other", "DNS:sync.example.org");
    LocalHttpServer server(other);
    setenv("ORVALE_CA_FILE", other.cert.c_str(), 1);
    exchange(server.url("/echo", "https"));
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(server.requests().empty());
}

// An upper-case scheme is still https: the message never goes out in clear text.
TEST_F(HttpsExchangeTest, UpperCaseSchemeNeverFallsBackToPlainHttp) {
    LocalHttpServer plain;
    exchange("HTTPS://127.0.0.1:" + std::to_string(plain.port()) + "/echo");
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(plain.requests().empty());
}

}  // namespace
}  // namespace orvale::test

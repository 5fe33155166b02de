// Exchanges and fetches against the tests' own server on 127.0.0.1.
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "LocalHttpServer.h"
#include "TransportFixture.h"
#include "platform/Power.h"

namespace orvale::test {
namespace {

class HttpExchangeTest : public TransportFixture {
protected:
    LocalHttpServer server;
};

unsigned modeOf(const std::filesystem::path& p) {
    struct stat st {};
    ::stat(p.c_str(), &st);
    return st.st_mode & 0777;
}

TEST_F(HttpExchangeTest, ReplyOf200IsReturnedAndEveryMessageCapturedInPairs) {
    static const char kMessage[] = "\x02\x00\x00\x6a\x1d-\x00message one";
    const std::string request(kMessage, sizeof kMessage - 1);
    std::string reply;
    const auto powerBefore = platform::powerCallCounts().powerStateRequests;
    ASSERT_EQ(transport.exchange(server.url("/echo"), request, reply), 0);
    EXPECT_EQ(platform::powerCallCounts().powerStateRequests, powerBefore + 1);
    EXPECT_EQ(platform::powerCallCounts().lastPowerState, platform::kPowerStateOn);
    EXPECT_EQ(reply, "echo:" + request);
    EXPECT_EQ(transport.status(), 200u);
    EXPECT_EQ(transport.errorFlag(), 0);
    ASSERT_EQ(transport.exchange(server.url("/echo"), "two", reply), 0);

    EXPECT_EQ(captured("01_from_client.xml"), request);
    EXPECT_EQ(captured("01_from_server.xml"), "echo:" + request);
    EXPECT_EQ(captured("02_from_client.xml"), "two");
    EXPECT_EQ(captured("02_from_server.xml"), "echo:two");
    EXPECT_EQ(modeOf(capture.hostFolder() / "01_from_client.xml"), 0600u);
    EXPECT_EQ(modeOf(capture.hostFolder() / "01_from_server.xml"), 0600u);
}

// The engine picks its message by these statuses; the capture keeps the pair aligned with an
// empty server file.
TEST_F(HttpExchangeTest, OtherStatusesFailWithEmptyReplyAndKeepTheStatus) {
    for (const unsigned code : {401u, 404u, 503u, 500u}) {
        SCOPED_TRACE(code);
        capture.prepare();
        MessageCapture fresh{MessageCapture::kLastSessionPath};
        MessageCapture::setCurrent(&fresh);
        std::string reply = "left over";
        EXPECT_EQ(transport.exchange(server.url("/status/" + std::to_string(code)), "req", reply), 1);
        EXPECT_EQ(reply, "");
        EXPECT_EQ(transport.status(), code);
        EXPECT_EQ(transport.errorFlag(), 1);
        EXPECT_EQ(captured("01_from_client.xml"), "req");
        EXPECT_TRUE(isCaptured("01_from_server.xml"));
        EXPECT_EQ(captured("01_from_server.xml"), "");
    }
}

TEST_F(HttpExchangeTest, RefusedConnectionFailsWithoutTouchingTheLastStatus) {
    std::string reply;
    ASSERT_EQ(transport.exchange(server.url("/echo"), "one", reply), 0);
    const std::string refused = "http://127.0.0.1:" + std::to_string(unusedPort()) + "/sync";
    EXPECT_EQ(transport.exchange(refused, "two", reply), 1);
    EXPECT_EQ(transport.status(), 200u);
    // The run must learn that its last exchange failed, whatever the one before got.
    EXPECT_EQ(transport.errorFlag(), 1);
    EXPECT_EQ(captured("02_from_client.xml"), "two");
    EXPECT_FALSE(isCaptured("02_from_server.xml"));
}

TEST_F(HttpExchangeTest, UrlsThatAreNotAbsoluteHttpContactNobody) {
    const std::string hostPort = "127.0.0.1:" + std::to_string(server.port());
    for (const std::string& url : {hostPort + "/echo", "//" + hostPort + "/echo", "ftp://" + hostPort + "/echo",
                                   std::string("file:///etc/passwd"), std::string(), std::string("http://")}) {
        SCOPED_TRACE(url);
        std::string reply;
        EXPECT_EQ(transport.exchange(url, "req", reply), 1);
        EXPECT_EQ(transport.fetch(url, reply), 1);
        EXPECT_EQ(reply, "");
    }
    EXPECT_EQ(transport.status(), 0u);
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(HttpExchangeTest, ReplyBodyIsCutAtItsLimitEvenWhenTheServerNeverStops) {
    struct Case {
        std::string path;
        std::size_t expected;
    };
    const Case cases[] = {{"/size/0", 0}, {"/size/199999", 199999}, {"/size/200000", 200000},
                          {"/size/250000", 200000}, {"/endless", 200000}};
    int pair = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        ++pair;
        std::string reply;
        // An empty body with 200 is a success here; the engine decides what it means.
        ASSERT_EQ(transport.exchange(server.url(c.path), "req", reply), 0);
        ASSERT_EQ(reply.size(), c.expected);
        if (c.path != "/endless") {
            for (std::size_t i = 0; i < reply.size(); i += 997) ASSERT_EQ(static_cast<unsigned char>(reply[i]), i % 251);
        }
        char name[32];
        std::snprintf(name, sizeof name, "%02d_from_server.xml", pair);
        EXPECT_EQ(captured(name), reply);
    }
}

TEST_F(HttpExchangeTest, ServerReceivesExactlyTheHeadersOfEachKindOfRequest) {
    const std::string host = "Host: 127.0.0.1:" + std::to_string(server.port());
    std::string reply;
    const std::string bigRequest(5000, 'w');  // large enough that an HTTP client might ask to continue
    ASSERT_EQ(transport.exchange(server.url("/echo?session=1"), bigRequest, reply), 0);
    ASSERT_EQ(transport.fetch(server.url("/echo"), reply), 0);
    EXPECT_EQ(reply, "echo:");
    transport.extraHeaders()["X-Two"] = "2";
    transport.extraHeaders()["X-One"] = "1";
    ASSERT_EQ(transport.exchange(server.url("/echo"), "hello", reply), 0);

    const auto received = server.requests();
    ASSERT_EQ(received.size(), 3u);
    const auto post = splitRequest(received[0]);
    EXPECT_EQ(post.requestLine, "POST /echo?session=1 HTTP/1.1");
    EXPECT_EQ(post.headers, (std::vector<std::string>{"Content-Length: 5000",
                                                      "Content-Type: application/vnd.syncml+wbxml", host,
                                                      "User-Agent: Halverd"}));
    EXPECT_EQ(post.body, bigRequest);
    const auto get = splitRequest(received[1]);
    EXPECT_EQ(get.requestLine, "GET /echo HTTP/1.1");
    EXPECT_EQ(get.headers, (std::vector<std::string>{host, "User-Agent: Orvale for Windows Mobile"}));
    // Extra headers take the place of the Content-Type line.
    const auto extra = splitRequest(received[2]);
    EXPECT_EQ(extra.headers, (std::vector<std::string>{"Content-Length: 5", host, "User-Agent: Halverd",
                                                       "X-One: 1", "X-Two: 2"}));
    // Fetches are not messages of the session.
    EXPECT_EQ(captured("02_from_client.xml"), "hello");
}

// A fetch goes through the proxy its caller named (else direct), an exchange through the proxy
// environment whatever it was given.
TEST_F(HttpExchangeTest, FetchUsesTheDescriptorsProxyAndExchangeTheEnvironments) {
    const std::string serverProxy = "127.0.0.1:" + std::to_string(server.port());
    const std::string deadProxy = "127.0.0.1:" + std::to_string(unusedPort());
    const ContentType wbxml("application/vnd.syncml+wbxml");
    std::string body;

    HttpTransport viaServer{ProxyDescriptor{serverProxy, "", ""}, wbxml};
    EXPECT_EQ(viaServer.fetch("http://pictures.invalid/a.jpg", body), 1);
    EXPECT_EQ(viaServer.status(), 404u);

    setenv("http_proxy", ("http://" + serverProxy).c_str(), 1);
    HttpTransport viaDead{ProxyDescriptor{deadProxy, "", ""}, wbxml};
    EXPECT_EQ(viaDead.exchange("http://sync.invalid/sync", "req", body), 1);
    EXPECT_EQ(viaDead.status(), 404u);

    setenv("http_proxy", ("http://" + deadProxy).c_str(), 1);
    EXPECT_EQ(transport.fetch(server.url("/echo"), body), 0);
    unsetenv("http_proxy");

    const auto received = server.requests();
    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(splitRequest(received[0]).requestLine, "GET http://pictures.invalid/a.jpg HTTP/1.1");
    EXPECT_EQ(splitRequest(received[1]).requestLine, "POST http://sync.invalid/sync HTTP/1.1");
    EXPECT_EQ(splitRequest(received[2]).requestLine, "GET /echo HTTP/1.1");
}

TEST_F(HttpExchangeTest, AbortFromAnotherThreadEndsAHangingExchangeAndTheOnesAfter) {
    std::string reply;
    std::thread canceller([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        transport.abort();
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(transport.exchange(server.url("/hang"), "req", reply), 1);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    canceller.join();
    // Without the abort this waits for the 300-second time-out; the bound is loose for slow CI.
    EXPECT_LT(elapsed, std::chrono::seconds(3));
    EXPECT_EQ(transport.errorFlag(), 1);
    EXPECT_EQ(transport.status(), 0u);

    EXPECT_EQ(transport.exchange(server.url("/echo"), "later", reply), 1);
    EXPECT_EQ(transport.fetch(server.url("/echo"), reply), 1);
    EXPECT_EQ(server.requests().size(), 1u);
}

}  // namespace
}  // namespace orvale::test

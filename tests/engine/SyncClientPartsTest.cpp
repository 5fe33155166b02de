// The session engine's small parts: the pending registry, the bounds on what the server negotiates,
// strict reading of server numbers, the exchange's failure codes, and the session ID.
#include <gtest/gtest.h>

#include <string>

#include "engine/BoundedNumber.h"
#include "engine/CSyncClientException.h"
#include "engine/Md5.h"
#include "engine/MessageExchange.h"
#include "engine/PendingRegistry.h"
#include "engine/RespUri.h"
#include "engine/SessionId.h"
#include "engine/SessionLimits.h"
#include "syncml/CommandElements.h"
#include "transport/Transport.h"

namespace orvale {
namespace {

TEST(PendingRegistry, MatchesByMessageAndCommandAndForgetsAnswered) {
    PendingRegistry r;
    r.add(1, 0, PendingCommand{CommandKind::SyncHdr, {}, -1, {}});
    r.add(1, 3, PendingCommand{CommandKind::Alert, ElementRef<SyncElement>(new Alert()), 0, {}});
    r.add(2, 3, PendingCommand{CommandKind::Add, {}, 1, "42"});
    EXPECT_TRUE(r.commandsOutstanding());

    // Same command ID in another message is another command.
    auto add = r.take(2, 3);
    ASSERT_TRUE(add);
    EXPECT_EQ(add->kind, CommandKind::Add);
    EXPECT_EQ(add->itemKey, "42");
    EXPECT_FALSE(r.take(2, 3)) << "a second Status for one command is not followed";
    EXPECT_FALSE(r.take(9, 3)) << "a message we never sent";

    auto refused = r.takeMessage(1);
    ASSERT_EQ(refused.size(), 2u);
    EXPECT_EQ(refused[0].kind, CommandKind::SyncHdr);
    EXPECT_EQ(refused[1].kind, CommandKind::Alert);
    EXPECT_EQ(r.size(), 0u);

    // Headers alone are not outstanding commands: a server need not answer every one.
    r.add(3, 0, PendingCommand{CommandKind::SyncHdr, {}, -1, {}});
    EXPECT_FALSE(r.commandsOutstanding());
}

TEST(ServerNumbers, OnlyPlainBoundedDecimalsAreRead) {
    const struct {
        const char* text;
        std::uint32_t max;
        std::optional<std::uint32_t> want;
    } cases[] = {
        {"200", 999, 200},      {" 4096 ", UINT32_MAX, 4096}, {"", 999, std::nullopt},
        {"-1", 999, std::nullopt}, {"12a", 999, std::nullopt}, {"1000", 999, std::nullopt},
        {"4294967295", UINT32_MAX, 4294967295u}, {"4294967296", UINT32_MAX, std::nullopt},
        {"99999999999999999999", UINT32_MAX, std::nullopt}, {"0x10", UINT32_MAX, std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(readServerNumber(c.text, c.max), c.want) << '"' << c.text << '"';
}

TEST(SessionLimits, ServerSizesOnlyMoveTheSafeWayAndStayBounded) {
    SessionLimits l(65536);
    EXPECT_EQ(l.workspaceSize(), 65536u);
    EXPECT_EQ(l.negotiatedMessageSize(), 204800);
    // Our workspace bounds the message even while the server allows more.
    EXPECT_EQ(l.itemsLimit(), 65536u - 500);
    EXPECT_EQ(l.queueLimit(), 65536u - 1024);

    l.applyServerMaxMsgSize("300000");
    EXPECT_EQ(l.negotiatedMessageSize(), 204800) << "a larger value leaves it";
    l.applyServerMaxMsgSize("10000");
    EXPECT_EQ(l.negotiatedMessageSize(), 10000);
    EXPECT_EQ(l.itemsLimit(), 9500u);
    EXPECT_EQ(l.itemLimit(), 8476u);
    l.applyServerMaxMsgSize("12000");
    EXPECT_EQ(l.negotiatedMessageSize(), 10000) << "it never grows back";
    l.applyServerMaxMsgSize("junk");
    l.applyServerMaxMsgSize("-5");
    EXPECT_EQ(l.negotiatedMessageSize(), 10000);
    l.applyServerMaxMsgSize("10");
    EXPECT_EQ(l.negotiatedMessageSize(), static_cast<std::int32_t>(kMessageSizeFloor));
    EXPECT_GT(l.itemLimit(), 0u);

    EXPECT_EQ(l.negotiatedObjectSize(), 65536u);
    l.applyServerMaxObjSize("1000");
    EXPECT_EQ(l.negotiatedObjectSize(), 65536u) << "a smaller value leaves it";
    l.applyServerMaxObjSize("100000");
    EXPECT_EQ(l.negotiatedObjectSize(), 100000u);
    l.applyServerMaxObjSize("4000000000");
    EXPECT_EQ(l.negotiatedObjectSize(), kObjectSizeCap);

    EXPECT_EQ(SessionLimits(300000).workspaceSize(), kWorkspaceCap);
}

class CannedTransport : public Transport {
public:
    CannedTransport(int result, std::uint32_t status, std::string reply)
        : result_(result), reply_(std::move(reply)) {
        lastStatus_ = status;
    }
    int exchange(const std::string&, const std::string&, std::string& reply) override {
        reply = reply_;
        return result_;
    }
    std::uint32_t status() const override { return lastStatus_; }

private:
    int result_;
    std::string reply_;
};

TEST(MessageExchange, FailuresBecomeTheSessionsExceptions) {
    const struct {
        int result;
        std::uint32_t status;
        std::string reply;
        std::uint32_t code, subCode;
        std::int32_t detail;
    } cases[] = {
        {1, 404, "", 611, 608, -1},
        {1, 503, "", 606, 609, -1},
        {1, 500, "", 610, 610, 500},
        {1, 0, "", 610, 610, 0},
        {0, 200, "", 610, 607, 200},
        {0, 200, std::string(1001, 'x'), 609, 606, -1},
    };
    for (const auto& c : cases) {
        CannedTransport t(c.result, c.status, c.reply);
        try {
            exchangeMessage(t, "http://x", "req", 1000);
            ADD_FAILURE() << "no exception for status " << c.status;
        } catch (const CSyncClientException& e) {
            EXPECT_EQ(e.code(), c.code);
            EXPECT_EQ(e.subCode(), c.subCode);
            EXPECT_EQ(e.detail(), c.detail);
        }
    }
    CannedTransport ok(0, 200, std::string(1000, 'x'));
    EXPECT_EQ(exchangeMessage(ok, "http://x", "req", 1000).size(), 1000u);
}

TEST(SessionId, DigestOfTimeAndDeviceInLowerHex) {
    // RFC 1321 test vector: MD5("abc") = 900150983cd24fb0d6963f7d28e17f72.
    EXPECT_EQ(makeSessionId("a", "bc"), "900150983cd24fb0d6963f7d28e17f72");
    // Sessions started in the same second must not share an ID.
    const std::string first = makeUniqueSessionId("1700000000", "IMEI:00");
    EXPECT_EQ(first.size(), 32u);
    EXPECT_NE(first, makeUniqueSessionId("1700000000", "IMEI:00"));
    const std::string id = makeSessionId("1700000000", "IMEI:00");
    EXPECT_EQ(id.size(), 32u);
    EXPECT_EQ(id.find_first_not_of("0123456789abcdef"), std::string::npos);
}

}  // namespace
}  // namespace orvale

namespace orvale {
namespace {

TEST(RespUri, NeitherLowersProtectionNorChangesHost) {
    const struct {
        const char* current;
        const char* next;
        bool taken;
    } cases[] = {
        {"https://sync.example/rpc", "https://sync.example/rpc?s=1", true},
        {"https://sync.example/rpc", "https://SYNC.example:8443/other", true},
        {"http://sync.example/rpc", "https://sync.example/rpc", true},
        {"https://sync.example/rpc", "http://sync.example/rpc", false},
        {"https://127.0.0.1:8443/rpc", "http://127.0.0.1:9/plain", false},
        {"http://sync.example/rpc", "http://elsewhere.example/rpc", false},
        {"https://sync.example/rpc", "https://sync.example.evil/rpc", false},
        {"https://sync.example/rpc", "file:///etc/passwd", false},
        {"https://sync.example/rpc", "https://bob:pw@sync.example/rpc", false},
    };
    for (const auto& c : cases) EXPECT_EQ(respUriRefusal(c.current, c.next).empty(), c.taken) << c.next;
}

}  // namespace
}  // namespace orvale

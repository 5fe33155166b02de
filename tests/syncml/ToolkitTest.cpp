#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/TempDeviceRoot.h"
#include "syncml/CommandElements.h"
#include "syncml/Toolkit.h"

namespace orvale {
namespace {

using namespace toolkit;

struct Received {
    std::vector<std::string> events;
};

ToolkitCode onHeader(InstanceId, void* u, HeaderRecord* r) {
    static_cast<Received*>(u)->events.push_back("SyncHdr");
    freeRecord(r);
    return 0;
}
ToolkitCode onEnd(InstanceId, void* u, bool final) {
    static_cast<Received*>(u)->events.push_back(final ? "End+Final" : "End");
    return 0;
}
ToolkitCode onAlert(InstanceId, void* u, AlertRecord* r) {
    Alert* a = alertFromRecord(r);
    a->addRef();
    static_cast<Received*>(u)->events.push_back("Alert " + a->data());
    a->release();
    freeRecord(r);
    return 0;
}
ToolkitCode onAdd(InstanceId, void* u, GenericRecord* r) {
    static_cast<Received*>(u)->events.push_back("Add");
    freeRecord(r);
    return 0;
}

// Every case runs with both encodings: the instance rules do not depend on the codec.
class ToolkitTest : public ::testing::TestWithParam<std::uint8_t> {
protected:
    void SetUp() override {
        ASSERT_EQ(initToolkit(204800), code::Ok);
        Callbacks cb;
        cb.startMessage = onHeader;
        cb.endMessage = onEnd;
        cb.alert = onAlert;
        cb.add = onAdd;
        InstanceOptions o;
        o.workspaceName = "MyWorkSpace";
        o.workspaceSize = 600;
        o.encoding = GetParam();
        ASSERT_EQ(initInstance(o, cb, &received, id), code::Ok);
    }
    void TearDown() override {
        EXPECT_EQ(terminateInstance(id), code::Ok);
        EXPECT_EQ(terminateToolkit(), code::Ok);
    }

    Header* header() {
        auto* h = new Header();
        h->setVerDTD("1.1");
        h->setVerProto("SyncML/1.1");
        h->setSessionID(1);
        h->setMsgID(1);
        h->setTarget("http://sync.example.com/sync");
        h->setSource("IMEI:1");
        return h;
    }

    std::vector<std::uint8_t> takeMessage() {
        const std::uint8_t* p = nullptr;
        std::uint32_t n = 0;
        EXPECT_EQ(lockReadBuffer(id, p, n), code::Ok);
        std::vector<std::uint8_t> out(p, p + n);
        EXPECT_EQ(unlockReadBuffer(id, n), code::Ok);
        return out;
    }

    void feed(const std::vector<std::uint8_t>& bytes) {
        std::uint8_t* p = nullptr;
        std::uint32_t n = 0;
        ASSERT_EQ(lockWriteBuffer(id, p, n), code::Ok);
        ASSERT_GE(n, bytes.size());
        std::memcpy(p, bytes.data(), bytes.size());
        ASSERT_EQ(unlockWriteBuffer(id, static_cast<std::uint32_t>(bytes.size())), code::Ok);
    }

    InstanceId id = 0;
    Received received;
};

TEST_P(ToolkitTest, OverflowingAddLeavesEarlierCommandsIntactAndMessageStillEnds) {
    Header* h = header();
    h->addRef();
    ASSERT_EQ(startMessage(id, h->headerRecord(), 2), code::Ok);
    auto* alert = new Alert();
    alert->addRef();
    alert->setCmdID(1);
    alert->setData(201);
    ASSERT_EQ(addAlert(id, alert->alertRecord()), code::Ok);
    const std::uint8_t* p = nullptr;
    std::uint32_t before = 0;
    lockReadBuffer(id, p, before);
    const std::vector<std::uint8_t> snapshot(p, p + before);

    auto* add = new Generic(element_type::Add);
    add->addRef();
    add->setCmdID(2);
    auto* item = new ItemElement();
    item->setData(std::string(1000, 'x'));
    add->addItems(item);
    EXPECT_EQ(addAdd(id, add->genericRecord()), code::BufferFull);
    std::uint32_t after = 0;
    lockReadBuffer(id, p, after);
    EXPECT_EQ(after, before);
    EXPECT_EQ(std::vector<std::uint8_t>(p, p + after), snapshot);

    ASSERT_EQ(endMessage(id, true), code::Ok);
    const auto message = takeMessage();
    feed(message);
    ASSERT_EQ(processData(id, kProcessAll), code::Ok);
    EXPECT_EQ(received.events, (std::vector<std::string>{"SyncHdr", "Alert 201", "End+Final"}));
    add->release();
    alert->release();
    h->release();
}

TEST_P(ToolkitTest, CommandWithoutCallbackFailsAndResetsWorkspace) {
    Header* h = header();
    h->addRef();
    ASSERT_EQ(startMessage(id, h->headerRecord(), 2), code::Ok);
    auto* status = new Status();
    status->addRef();
    status->setCmdID(1);
    status->setMsgRef(1);
    status->setCmdRef(0);
    status->setCmd("SyncHdr");
    status->setData(200);
    ASSERT_EQ(addStatus(id, status->statusRecord()), code::Ok);
    ASSERT_EQ(endMessage(id, false), code::Ok);
    feed(takeMessage());
    EXPECT_EQ(processData(id, kProcessAll), code::CallbackMissing);
    const std::uint8_t* p = nullptr;
    std::uint32_t n = 1;
    lockReadBuffer(id, p, n);
    EXPECT_EQ(n, 0u);
    status->release();
    h->release();
}

INSTANTIATE_TEST_SUITE_P(Encodings, ToolkitTest, ::testing::Values(kEncodingWbxml, kEncodingXml));

TEST(ToolkitLimits, WorkspacesStayWithinMemoryAndUnknownInstancesFail) {
    ASSERT_EQ(initToolkit(1000), code::Ok);
    InstanceOptions o;
    o.workspaceName = "a";
    o.workspaceSize = 800;
    InstanceId a = 0, b = 0;
    ASSERT_EQ(initInstance(o, Callbacks{}, nullptr, a), code::Ok);
    o.workspaceName = "b";
    EXPECT_NE(initInstance(o, Callbacks{}, nullptr, b), code::Ok);
    EXPECT_EQ(terminateToolkit(), code::WrongUsage);
    EXPECT_EQ(processData(9999, kProcessAll), code::UnknownInstance);
    EXPECT_EQ(addAlert(a, nullptr), code::WrongUsage);
    EXPECT_EQ(terminateInstance(a), code::Ok);
    EXPECT_EQ(terminateToolkit(), code::Ok);
}

}  // namespace
}  // namespace orvale

// Realistic messages against golden XML files we wrote, and the round trips that tie the XML form to
// the WBXML form through the records. ORVALE_WRITE_GOLDEN=1 rewrites the golden files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "SampleMessages.h"
#include "support/TempDeviceRoot.h"
#include "syncml/Toolkit.h"
#include "syncml/codec/WbxmlReader.h"
#include "syncml/codec/WbxmlWriter.h"
#include "syncml/codec/XmlReader.h"
#include "syncml/codec/XmlWriter.h"

namespace orvale {
namespace {

std::string goldenPath(const std::string& name) { return std::string(ORVALE_TEST_DATA) + "/syncml/" + name; }

void expectGolden(const std::string& name, const std::string& actual) {
    if (std::getenv("ORVALE_WRITE_GOLDEN") != nullptr) test::writeFileBytes(goldenPath(name), actual);
    EXPECT_EQ(actual, test::readFileBytes(goldenPath(name))) << name;
}

ToolkitCode decodeXml(const std::string& xml, DecodedMessage& m) {
    XmlReader r(reinterpret_cast<const std::uint8_t*>(xml.data()), xml.size());
    if (auto c = r.readProlog()) return c;
    return decodeMessage(r, m);
}

ToolkitCode decodeWbxml(const std::string& bytes, DecodedMessage& m) {
    WbxmlReader r(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), Namespace::SyncML);
    if (auto c = r.readHeader()) return c;
    return decodeMessage(r, m);
}

struct Sample {
    const char* golden;
    std::function<void(test::SampleMessage&)> build;
    bool fromServer;
    bool nestedDevInf;  // WBXML carries it as an opaque document, so WBXML -> XML differs
};

const Sample kSamples[] = {
    {"client-sync-60-vcards.xml", [](test::SampleMessage& m) { test::buildClientSync(m, 60); }, false, false},
    {"server-reply-100-statuses-30-replaces.xml", [](test::SampleMessage& m) { test::buildServerReply(m, 100, 30); },
     true, false},
    {"server-devinf-results.xml", [](test::SampleMessage& m) { test::buildDevInfResults(m); }, true, true},
};

TEST(XmlGolden, SamplesEncodeToTheGoldenFilesAndRoundTripThroughRecordsAndWbxml) {
    for (const Sample& s : kSamples) {
        SCOPED_TRACE(s.golden);
        test::SampleMessage m(test::sampleHeader(s.fromServer));
        s.build(m);
        XmlWriter xml(2);
        WbxmlWriter wbxml(Namespace::SyncML, 2);
        const std::string xmlText = m.encode(xml);
        const std::string wbxmlBytes = m.encode(wbxml);
        ASSERT_FALSE(xmlText.empty());
        ASSERT_FALSE(wbxmlBytes.empty());
        expectGolden(s.golden, xmlText);
        if (s.nestedDevInf) expectGolden(std::string(s.golden, std::strlen(s.golden) - 4) + ".wbxml", wbxmlBytes);

        // XML -> records -> XML is the identity, and the records are the ones the elements held.
        DecodedMessage fromXml;
        ASSERT_EQ(decodeXml(xmlText, fromXml), code::Ok);
        EXPECT_EQ(test::encodeRecords(xml, fromXml), xmlText);
        EXPECT_EQ(test::encodeRecords(wbxml, fromXml), wbxmlBytes);

        // WBXML -> records -> XML gives the same text.
        if (!s.nestedDevInf) {
            DecodedMessage fromWbxml;
            ASSERT_EQ(decodeWbxml(wbxmlBytes, fromWbxml), code::Ok);
            EXPECT_EQ(test::encodeRecords(xml, fromWbxml), xmlText);
        }
    }
}

TEST(XmlGolden, DocumentShapeAndNamespacePlacement) {
    const std::string x = test::readFileBytes(goldenPath("client-sync-60-vcards.xml"));
    const std::string start = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><SyncML xmlns='SYNCML:SYNCML1.1'><SyncHdr>";
    EXPECT_EQ(x.substr(0, start.size()), start);
    const std::string end = "<Final/></SyncBody></SyncML>";
    ASSERT_GE(x.size(), end.size());
    EXPECT_EQ(x.substr(x.size() - end.size()), end);
    // Each MetInf element directly inside a SyncML one names its namespace; Anchor's children inherit it.
    EXPECT_NE(x.find("<Meta><MaxMsgSize xmlns='syncml:metinf'>65536</MaxMsgSize>"
                     "<MaxObjSize xmlns='syncml:metinf'>4000000</MaxObjSize></Meta>"),
              std::string::npos);
    EXPECT_NE(x.find("<Meta><Type xmlns='syncml:metinf'>text/x-vcard</Type></Meta>"), std::string::npos);
    EXPECT_NE(x.find("<Anchor xmlns='syncml:metinf'><Next>20261208T211500Z</Next></Anchor>"), std::string::npos);
    EXPECT_EQ(x.find(">\n<"), std::string::npos);
    const std::string d = test::readFileBytes(goldenPath("server-devinf-results.xml"));
    EXPECT_NE(d.find("<Data><DevInf xmlns='syncml:devinf'><VerDTD>1.1</VerDTD><Man>Example &amp; Sons</Man>"),
              std::string::npos);
}

TEST(XmlGolden, IndentedFormReadsBackToTheSameRecords) {
    for (const Sample& s : kSamples) {
        SCOPED_TRACE(s.golden);
        test::SampleMessage m(test::sampleHeader(s.fromServer));
        s.build(m);
        XmlWriter indented(2, true);
        const std::string pretty = m.encode(indented);
        EXPECT_NE(pretty.find("\n  <SyncHdr>\n    <VerDTD>1.1</VerDTD>"), std::string::npos);
        DecodedMessage back;
        ASSERT_EQ(decodeXml(pretty, back), code::Ok);
        XmlWriter compact(2);
        EXPECT_EQ(test::encodeRecords(compact, back), test::readFileBytes(goldenPath(s.golden)));
    }
}

// The toolkit instance with encoding 2 writes and reads the same text as the codec.
struct Events {
    int headers = 0, syncs = 0, syncEnds = 0, adds = 0, replaces = 0, deletes = 0, statuses = 0, results = 0;
    bool final = false;
};

template <class R>
ToolkitCode count(int Events::*field, void* u, R* r) {
    ++(static_cast<Events*>(u)->*field);
    toolkit::freeRecord(r);
    return 0;
}

TEST(XmlToolkit, InstanceWithXmlEncodingBuildsAndReadsMessages) {
    using namespace toolkit;
    ASSERT_EQ(initToolkit(204800), code::Ok);
    Callbacks cb;
    cb.startMessage = [](InstanceId, void* u, HeaderRecord* r) { return count(&Events::headers, u, r); };
    cb.endMessage = [](InstanceId, void* u, bool final) {
        static_cast<Events*>(u)->final = final;
        return ToolkitCode{0};
    };
    cb.startSync = [](InstanceId, void* u, SyncRecord* r) { return count(&Events::syncs, u, r); };
    cb.endSync = [](InstanceId, void* u) {
        ++static_cast<Events*>(u)->syncEnds;
        return ToolkitCode{0};
    };
    cb.add = [](InstanceId, void* u, GenericRecord* r) { return count(&Events::adds, u, r); };
    cb.replace = [](InstanceId, void* u, GenericRecord* r) { return count(&Events::replaces, u, r); };
    cb.deleteCommand = [](InstanceId, void* u, GenericRecord* r) { return count(&Events::deletes, u, r); };
    cb.status = [](InstanceId, void* u, StatusRecord* r) { return count(&Events::statuses, u, r); };
    Events events;
    InstanceOptions o;
    o.encoding = kEncodingXml;
    o.workspaceName = "MyWorkSpace";
    o.workspaceSize = 204800;
    InstanceId id = 0;
    ASSERT_EQ(initInstance(o, cb, &events, id), code::Ok);

    test::SampleMessage m(test::sampleHeader(false));
    test::buildClientSync(m, 60);
    ASSERT_EQ(startMessage(id, &m.header(), 2), code::Ok);
    for (const DecodedCommand& c : m.commands()) {
        const auto* r = c.record;
        switch (c.kind) {
            case DecodedKind::Status: ASSERT_EQ(addStatus(id, static_cast<const StatusRecord*>(r)), code::Ok); break;
            case DecodedKind::Sync: ASSERT_EQ(startSync(id, static_cast<const SyncRecord*>(r)), code::Ok); break;
            case DecodedKind::SyncEnd: ASSERT_EQ(endSync(id), code::Ok); break;
            case DecodedKind::Add: ASSERT_EQ(addAdd(id, static_cast<const GenericRecord*>(r)), code::Ok); break;
            case DecodedKind::Replace: ASSERT_EQ(addReplace(id, static_cast<const GenericRecord*>(r)), code::Ok); break;
            case DecodedKind::Delete: ASSERT_EQ(addDelete(id, static_cast<const GenericRecord*>(r)), code::Ok); break;
            case DecodedKind::MessageEnd: ASSERT_EQ(endMessage(id, c.final), code::Ok); break;
            default: FAIL();
        }
    }
    const std::uint8_t* p = nullptr;
    std::uint32_t n = 0;
    ASSERT_EQ(lockReadBuffer(id, p, n), code::Ok);
    const std::string sent(reinterpret_cast<const char*>(p), n);
    EXPECT_EQ(sent, test::readFileBytes(goldenPath("client-sync-60-vcards.xml")));

    // Read back in place: the bytes are still unread in the workspace.
    ASSERT_EQ(unlockReadBuffer(id, 0), code::Ok);
    ASSERT_EQ(processData(id, kProcessAll), code::Ok);
    EXPECT_EQ(events.headers, 1);
    EXPECT_EQ(events.statuses, 2);
    EXPECT_EQ(events.syncs, 1);
    EXPECT_EQ(events.syncEnds, 1);
    EXPECT_EQ(events.adds, 1);
    EXPECT_EQ(events.replaces, 1);
    EXPECT_EQ(events.deletes, 1);
    EXPECT_TRUE(events.final);

    // A malformed reply fails with the reader's code and leaves the workspace empty.
    const std::string bad = "<?xml version=\"1.0\"?><SyncML xmlns='urn:other'>";
    std::uint8_t* w = nullptr;
    std::uint32_t room = 0;
    ASSERT_EQ(lockWriteBuffer(id, w, room), code::Ok);
    std::copy(bad.begin(), bad.end(), w);
    ASSERT_EQ(unlockWriteBuffer(id, static_cast<std::uint32_t>(bad.size())), code::Ok);
    EXPECT_EQ(processData(id, kProcessAll), code::UnknownNamespace);
    EXPECT_EQ(lastErrorOffset(id), bad.size() - 1);
    ASSERT_EQ(lockReadBuffer(id, p, n), code::Ok);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(terminateInstance(id), code::Ok);

    o.encoding = 3;
    EXPECT_EQ(initInstance(o, cb, &events, id), code::UnknownEncoding);
    EXPECT_EQ(terminateToolkit(), code::Ok);
}

}  // namespace
}  // namespace orvale

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/DeviceInfo.h"
#include "engine/SessionDataStore.h"
#include "support/LibwbxmlConvert.h"
#include "support/TempDeviceRoot.h"
#include "syncml/CommandElements.h"
#include "syncml/DevInfDocument.h"
#include "syncml/DevInfElements.h"
#include "syncml/Toolkit.h"
#include "syncml/codec/MessageDecoder.h"
#include "syncml/codec/WbxmlReader.h"

namespace orvale {
namespace {

const std::string kData = std::string(ORVALE_TEST_DATA) + "/engine/";

ClientConfig ourConfig() {
    SyncConfig c = buildSyncConfig("IMEI:0123456789ABCDEF012345", "http://s", "u", "p", std::nullopt, std::nullopt,
                                   std::nullopt, std::nullopt);
    return c.client;
}

PutOrGet* getFor(std::int64_t cmdId, const std::vector<std::string>& targets) {
    auto* g = new PutOrGet(element_type::Get);
    g->addRef();
    g->setCmdID(cmdId);
    for (const std::string& t : targets) {
        auto* item = new ItemElement();
        if (!t.empty()) item->setTarget(new SourceOrTarget(t));
        g->addItems(item);
    }
    return g;
}

// One encoded message: a SyncHdr followed by the given Results (released here).
std::string encodeResults(const std::vector<Result*>& results) {
    using namespace toolkit;
    EXPECT_EQ(initToolkit(204800), code::Ok);
    InstanceOptions o;
    o.workspaceName = "devinf";
    o.workspaceSize = 65536;
    InstanceId id = 0;
    EXPECT_EQ(initInstance(o, Callbacks{}, nullptr, id), code::Ok);
    auto* h = new Header();
    h->addRef();
    h->setVerDTD("1.1");
    h->setVerProto("SyncML/1.1");
    h->setSessionID(1);
    h->setMsgID(2);
    h->setTarget("http://s");
    h->setSource("IMEI:1");
    EXPECT_EQ(startMessage(id, h->headerRecord(), 2), code::Ok);
    for (Result* r : results) {
        r->addRef();
        EXPECT_EQ(addResults(id, r->resultsRecord()), code::Ok);
        r->release();
    }
    EXPECT_EQ(endMessage(id, true), code::Ok);
    const std::uint8_t* p = nullptr;
    std::uint32_t n = 0;
    lockReadBuffer(id, p, n);
    std::string bytes(reinterpret_cast<const char*>(p), n);
    unlockReadBuffer(id, n);
    h->release();
    EXPECT_EQ(terminateInstance(id), code::Ok);
    EXPECT_EQ(terminateToolkit(), code::Ok);
    return bytes;
}

// The items of the first Results of a message, decoded by our own decoder (count 1; release it).
ItemListElement* decodeResultsItems(const std::string& bytes) {
    WbxmlReader r(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), Namespace::SyncML);
    EXPECT_EQ(r.readHeader(), code::Ok);
    MessageDecoder d(r);
    HeaderRecord* hdr = nullptr;
    EXPECT_EQ(d.start(&hdr), code::Ok);
    toolkit::freeRecord(hdr);
    ItemListElement* items = nullptr;
    while (!d.finished()) {
        DecodedCommand c;
        if (d.next(c) != code::Ok) break;
        if (c.kind == DecodedKind::Results && items == nullptr) {
            Result* res = resultFromRecord(static_cast<ResultsRecord*>(c.record));
            res->addRef();
            items = res->items();
            items->addRef();
            res->release();
        }
        if (c.layout != nullptr) freeRecordTree(*c.layout, c.record);
    }
    return items;
}

TEST(DeviceInfo, OurDocumentAsLibwbxmlReadsIt) {
    std::vector<Result*> results;
    std::uint32_t next = 5;
    PutOrGet* get = getFor(3, {kDevInfTarget11});
    bool sent = false;
    ASSERT_EQ(answerGet(*get, ourConfig(), next, "1", results, sent), 200);
    get->release();
    ASSERT_EQ(results.size(), 1u);
    const std::string bytes = encodeResults(results);
    // libwbxml2 shows the nested document in place, and names the Meta Type after what it shows (+xml).
    const std::string xml = test::libwbxmlToXml(bytes, true);
    // ORVALE_WRITE_GOLDEN=1 rewrites the file; read the difference before committing it.
    if (std::getenv("ORVALE_WRITE_GOLDEN") != nullptr) test::writeFileBytes(kData + "devinf-ours.xml", xml);
    const std::string golden = test::readFileBytes(kData + "devinf-ours.xml");
    ASSERT_FALSE(golden.empty());
    EXPECT_EQ(xml, golden);
}

TEST(DeviceInfo, DocumentTravelsAsAnOpaqueDevInf11Document) {
    std::vector<Result*> results;
    std::uint32_t next = 1;
    PutOrGet* get = getFor(3, {kDevInfTarget11});
    bool sent = false;
    answerGet(*get, ourConfig(), next, "1", results, sent);
    get->release();
    ItemListElement* items = decodeResultsItems(encodeResults(results));
    ASSERT_NE(items, nullptr);
    const CData* data = items->at(0)->dataCData();
    ASSERT_NE(data, nullptr);
    ASSERT_EQ(data->contentType(), pcdata_type::Opaque);
    const std::string& doc = data->bytes();
    EXPECT_NE(doc.find("-//SYNCML//DTD DevInf 1.1//EN"), std::string::npos);
    DevInfRecord* rec = nullptr;
    EXPECT_EQ(decodeDevInfDocument(reinterpret_cast<const std::uint8_t*>(doc.data()), doc.size(), &rec), code::Ok);
    if (rec != nullptr) toolkit::freeDevInfRecord(rec);

    // Read back through the path a server's answer takes: what we announce is what a reader sees.
    SessionDataStore session{SessionDataStore::InMemory{}};
    RemoteDeviceInfo info;
    readServerDeviceInfo(items, info, session);
    items->release();
    EXPECT_EQ(info.device.man, "Tarnwell Corp");
    EXPECT_EQ(info.device.swv, "1.0.13");
    EXPECT_EQ(info.device.devId, "IMEI:0123456789ABCDEF012345");
    EXPECT_TRUE(session.getBool("supportLargeObjects"));
    ASSERT_EQ(info.dataStores.size(), 3u);
    EXPECT_EQ(info.dataStores[0].sourceRef, "./WinMobileContacts");
    EXPECT_EQ(info.dataStores[1].displayName, "Calendar");
    EXPECT_EQ(info.dataStores[2].sourceRef, "./WinMobileTasks");
    EXPECT_EQ(info.dataStores[0].rxPref.mimeType(), "text/x-vcard");
    EXPECT_EQ(info.dataStores[0].rxPref.version(), "2.1");
    EXPECT_EQ(info.dataStores[2].txPref.version(), "1.0");
}

TEST(DeviceInfo, DeviceTypeWords) {
    const std::vector<std::pair<int, std::string>> cases = {
        {0, "handheld"}, {1, "pager"}, {2, "pda"}, {3, "server"}, {4, "smartphone"}, {5, "UNDEFINED"}, {-1, "UNDEFINED"}};
    for (const auto& [code, word] : cases) {
        ClientConfig c = ourConfig();
        c.device.deviceType = code;
        DevInfoElement* d = buildDeviceInfo(c);
        d->addRef();
        EXPECT_EQ(d->devTyp(), word) << code;
        d->release();
    }
}

struct GetCase {
    const char* name;
    std::vector<std::string> targets;  // "" = an item without Target
    bool noItems;
    int status;
    std::size_t results;
};

TEST(DeviceInfo, AnswerGet) {
    const std::vector<GetCase> cases = {
        {"no items", {}, true, 400, 0},
        {"ours", {"./devinf11"}, false, 200, 1},
        {"1.0 document", {"./devinf10"}, false, 404, 0},
        {"near miss", {"./devinf11/"}, false, 404, 0},
        {"upper case", {"./DevInf11"}, false, 404, 0},
        {"no target", {""}, false, 404, 0},
        {"ours then other", {"./devinf11", "./other"}, false, 404, 1},
        {"other then ours", {"./devinf10", "./devinf11"}, false, 200, 1},
        {"ours twice", {"./devinf11", "./devinf11"}, false, 200, 1},
        {"ours 8000 times", std::vector<std::string>(8000, "./devinf11"), false, 200, 1},
    };
    for (const GetCase& c : cases) {
        SCOPED_TRACE(c.name);
        PutOrGet* get = getFor(9, c.targets);
        if (c.noItems) get->setItems(nullptr);
        std::vector<Result*> results;
        std::uint32_t next = 20;
        bool sent = false;
        EXPECT_EQ(answerGet(*get, ourConfig(), next, "4", results, sent), c.status);
        EXPECT_EQ(sent, c.results == 1);
        ASSERT_EQ(results.size(), c.results);
        EXPECT_EQ(next, 20 + c.results);
        for (std::size_t i = 0; i < results.size(); ++i) {
            Result* r = results[i];
            r->addRef();
            EXPECT_EQ(r->cmdIDAsInt(), static_cast<std::int64_t>(20 + i));
            EXPECT_EQ(r->msgRef(), "4");
            EXPECT_EQ(r->cmdRef(), "9");
            ASSERT_NE(r->meta(), nullptr);
            EXPECT_EQ(r->meta()->type(), "application/vnd.syncml-devinf+wbxml");
            ASSERT_EQ(r->items()->size(), 1u);
            const ItemElement* item = r->items()->at(0);
            ASSERT_NE(item, nullptr);
            EXPECT_EQ(item->source()->locURI(), "./devinf11");
            EXPECT_NE(item->dataCData()->devInf(), nullptr);
            r->release();
        }
        // Once sent, a session does not build the document again.
        std::vector<Result*> again;
        if (c.results == 1) {
            EXPECT_EQ(answerGet(*get, ourConfig(), next, "5", again, sent), c.status == 200 ? 406 : c.status);
            EXPECT_TRUE(again.empty());
        }
        get->release();
    }
}

TEST(DeviceInfo, OurGetAsksForTheDocumentOfTheSessionVersion) {
    for (const auto& [verDtd, target] : std::vector<std::pair<std::string, std::string>>{
             {"1.1", "./devinf11"}, {"1.0", "./devinf10"}}) {
        PutOrGet* g = buildDeviceInfoGet(7, verDtd);
        g->addRef();
        EXPECT_EQ(g->elementType(), element_type::Get);
        EXPECT_EQ(g->cmdIDAsInt(), 7);
        EXPECT_EQ(g->meta()->type(), "application/vnd.syncml-devinf+wbxml");
        ASSERT_EQ(g->items()->size(), 1u);
        const ItemElement* item = g->items()->at(0);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->target()->locURI(), target);
        g->release();
    }
}

// The server document of the test data as libwbxml2 encodes it.
std::string serverDevInfBytes() {
    const std::string bytes = test::libwbxmlToWbxml(test::readFileBytes(kData + "server-devinf.xml"));
    EXPECT_FALSE(bytes.empty());
    return bytes;
}

ItemListElement* itemsWith(const std::vector<std::string>& opaque, DevInfoElement* structured = nullptr) {
    auto* list = new ItemListElement();
    list->addRef();
    for (const std::string& o : opaque) {
        auto* item = new ItemElement();
        item->setDataOpaque(o);
        list->append(item);
    }
    if (structured != nullptr) {
        auto* item = new ItemElement();
        item->setDataDevInf(structured);
        list->append(item);
    }
    return list;
}

RemoteDeviceInfo readItems(ItemListElement* items, SessionDataStore& session) {
    RemoteDeviceInfo info;
    readServerDeviceInfo(items, info, session);
    items->release();
    return info;
}

void expectServerDocument(const RemoteDeviceInfo& info) {
    EXPECT_EQ(info.device.verDtd, "1.1");
    EXPECT_EQ(info.device.man, "Example Servers");
    EXPECT_EQ(info.device.mod, "Sync Gateway");
    EXPECT_EQ(info.device.oem, "Example OEM");
    EXPECT_EQ(info.device.fwv, "fw2");
    EXPECT_EQ(info.device.swv, "sw3");
    EXPECT_EQ(info.device.hwv, "hw4");
    EXPECT_EQ(info.device.devId, "gateway-01");
    ASSERT_EQ(info.dataStores.size(), 2u);
    const RemoteDataStore& card = info.dataStores[0];
    EXPECT_EQ(card.sourceRef, "./card");
    EXPECT_EQ(card.displayName, "Address book");
    EXPECT_EQ(card.rxPref.mimeType(), "text/x-vcard");
    EXPECT_EQ(card.rxPref.version(), "2.1");
    EXPECT_EQ(card.txPref.mimeType(), "text/vcard");
    EXPECT_EQ(card.txPref.version(), "3.0");
    ASSERT_EQ(card.rx.size(), 2u);
    EXPECT_EQ(card.rx[0].mimeType(), "text/vcard");
    EXPECT_EQ(card.rx[1].mimeType(), "text/directory");
    EXPECT_EQ(card.rx[1].version(), "");
    ASSERT_EQ(card.tx.size(), 1u);
    EXPECT_EQ(card.tx[0].version(), "2.1");
    const RemoteDataStore& cal = info.dataStores[1];
    EXPECT_EQ(cal.sourceRef, "./cal");
    EXPECT_EQ(cal.displayName, "");
    EXPECT_EQ(cal.rxPref.mimeType(), "text/x-vcalendar");
    EXPECT_TRUE(cal.rx.empty());
}

TEST(DeviceInfo, OpaqueAndStructuredServerDocumentsReadAlike) {
    const std::string bytes = serverDevInfBytes();
    SessionDataStore opaqueSession{SessionDataStore::InMemory{}};
    const RemoteDeviceInfo fromOpaque = readItems(itemsWith({bytes}), opaqueSession);
    expectServerDocument(fromOpaque);
    EXPECT_EQ(opaqueSession.getString("supportLargeObjects"), "1");

    DevInfRecord* rec = nullptr;
    ASSERT_EQ(decodeDevInfDocument(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), &rec), code::Ok);
    DevInfoElement* structured = devInfFromRecord(rec);
    toolkit::freeDevInfRecord(rec);
    SessionDataStore structuredSession{SessionDataStore::InMemory{}};
    const RemoteDeviceInfo fromStructured = readItems(itemsWith({}, structured), structuredSession);
    expectServerDocument(fromStructured);
    EXPECT_EQ(structuredSession.entries(), opaqueSession.entries());
}

TEST(DeviceInfo, ServerWithoutLargeObjectsOverridesAnEarlierYes) {
    auto* d = new DevInfoElement();
    d->setVerDTD("1.1");
    d->setMan("m");
    SessionDataStore session{SessionDataStore::InMemory{}};
    session.setBool("supportLargeObjects", true);
    const RemoteDeviceInfo info = readItems(itemsWith({}, d), session);
    EXPECT_TRUE(session.has("supportLargeObjects"));
    EXPECT_FALSE(session.getBool("supportLargeObjects"));
    EXPECT_EQ(info.device.man, "m");
    EXPECT_TRUE(info.dataStores.empty());
}

TEST(DeviceInfo, RepeatedAnswerReplacesTheStoreList) {
    const std::string bytes = serverDevInfBytes();
    SessionDataStore session{SessionDataStore::InMemory{}};
    RemoteDeviceInfo info;
    for (int i = 0; i < 2; ++i) {
        ItemListElement* items = itemsWith({bytes});
        readServerDeviceInfo(items, info, session);
        items->release();
    }
    EXPECT_EQ(info.dataStores.size(), 2u);
}

TEST(DeviceInfo, UnreadableOpaqueDataIsSkipped) {
    const std::string good = serverDevInfBytes();
    std::vector<std::string> bad = {"", "not wbxml at all", std::string(1, '\x02'), std::string(204801, '\x03')};
    // Every cut of a good document, and every single flipped byte of it.
    for (std::size_t n = 1; n < good.size(); ++n) bad.push_back(good.substr(0, n));
    for (std::size_t i = 0; i < good.size(); ++i) {
        std::string b = good;
        b[i] = static_cast<char>(b[i] ^ 0xFF);
        bad.push_back(b);
    }
    for (std::size_t i = 0; i < bad.size(); ++i) {
        SessionDataStore session{SessionDataStore::InMemory{}};
        RemoteDeviceInfo info;
        ItemListElement* items = itemsWith({bad[i]});
        readServerDeviceInfo(items, info, session);
        items->release();
        // A flipped byte may still leave a readable document; only a cut one must be refused.
        if (i < 4 + good.size() - 1) {
            EXPECT_TRUE(info.dataStores.empty()) << i;
            EXPECT_FALSE(session.has("supportLargeObjects")) << i;
        }
    }
    // A bad item does not hide a good one after it.
    SessionDataStore session{SessionDataStore::InMemory{}};
    expectServerDocument(readItems(itemsWith({"junk", good}), session));
}

}  // namespace
}  // namespace orvale

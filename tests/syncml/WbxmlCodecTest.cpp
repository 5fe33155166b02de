#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "support/TempDeviceRoot.h"
#include "syncml/CBuildItemsException.h"
#include "syncml/CommandElements.h"
#include "syncml/DevInfElements.h"
#include "syncml/LiveElementRegistry.h"
#include "syncml/codec/MbUint32.h"
#include "syncml/codec/MessageDecoder.h"
#include "syncml/codec/RecordWriter.h"
#include "syncml/codec/WbxmlReader.h"
#include "syncml/codec/WbxmlWriter.h"

namespace orvale {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes readData(const std::string& name) {
    const std::string s = test::readFileBytes(std::string(ORVALE_TEST_DATA) + "/syncml/" + name);
    return Bytes(s.begin(), s.end());
}

Bytes str(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes strI(std::uint8_t tok, const std::string& s) { return cat({{tok, 0x03}, str(s), {0x00, 0x01}}); }

Header* makeHeader() {
    auto* h = new Header();
    h->setVerDTD("1.1");
    h->setVerProto("SyncML/1.1");
    h->setSessionID(1);
    h->setMsgID(1);
    h->setTarget("http://sync.example.com/sync");
    h->setSource("IMEI:490154203237518");
    return h;
}

// Writes a whole message: document header, SyncHdr, the commands, Final, closing ends.
Bytes encodeMessage(const Header& header, const std::vector<std::pair<const RecordLayout*, const SyncElement*>>& cmds,
                    bool final, ToolkitCode* result = nullptr, std::size_t capacity = 65536) {
    Bytes buf(capacity);
    WbxmlWriter w(Namespace::SyncML, 2);
    w.begin(buf.data(), buf.size());
    ToolkitCode c = w.documentHeader();
    if (!c) c = w.open(tag::SyncML, true);
    if (!c) c = writeRecord(w, layout::header, header.record());
    if (!c) c = w.open(tag::SyncBody, true);
    for (const auto& [s, e] : cmds) {
        if (!c) c = writeRecord(w, *s, e->record());
    }
    if (!c && final) c = w.open(tag::Final, false);
    if (!c) c = w.close();
    if (!c) c = w.close();
    if (result != nullptr) *result = c;
    buf.resize(c ? 0 : w.written());
    return buf;
}

struct Decoded {
    ToolkitCode code = code::Ok;
    HeaderRecord* header = nullptr;
    std::vector<DecodedCommand> commands;
    ~Decoded() {
        freeRecordTree(layout::header, header);
        for (auto& c : commands) {
            if (c.layout != nullptr) freeRecordTree(*c.layout, c.record);
        }
    }
};

void decode(const Bytes& in, Decoded& out) {
    WbxmlReader r(in.data(), in.size(), Namespace::SyncML);
    out.code = r.readHeader();
    if (out.code) return;
    MessageDecoder d(r);
    out.code = d.start(&out.header);
    while (!out.code && !d.finished()) {
        DecodedCommand cmd;
        out.code = d.next(cmd);
        if (!out.code) out.commands.push_back(cmd);
    }
}

std::string text(const PcdataRecord* p) {
    return p == nullptr || p->content == nullptr ? std::string()
                                                 : std::string(static_cast<const char*>(p->content), p->length);
}

const Bytes kSyncmlId = str("-//SYNCML//DTD SyncML 1.1//EN");

Bytes expectedHeaderBytes() {
    return cat({{0x02, 0x00, 0x00, 0x6A, 0x1D}, kSyncmlId, {0x6D, 0x6C}, strI(0x71, "1.1"), strI(0x72, "SyncML/1.1"),
                strI(0x65, "1"), strI(0x5B, "1"), {0x6E}, strI(0x57, "http://sync.example.com/sync"), {0x01, 0x67},
                strI(0x57, "IMEI:490154203237518"), {0x01}});
}

TEST(WbxmlEncoder, EmptyMessageIsByteExact) {
    Header* h = makeHeader();
    h->addRef();
    const Bytes out = encodeMessage(*h, {}, true);
    EXPECT_EQ(out, cat({expectedHeaderBytes(), {0x01, 0x6B, 0x12, 0x01, 0x01}}));
    h->release();
}

TEST(WbxmlEncoder, MetaSwitchesPageOnceAndBackLazily) {
    Header* h = makeHeader();
    h->addRef();
    auto* meta = new MetInfElem();
    meta->setType("application/vnd.syncml+wbxml");
    meta->setMaxMsgSize(10000);
    h->setMeta(meta);
    const Bytes out = encodeMessage(*h, {}, true);
    const Bytes tail = cat({{0x5A, 0x00, 0x01}, strI(0x53, "application/vnd.syncml+wbxml"), strI(0x4C, "10000"),
                            {0x01, 0x01, 0x00, 0x00, 0x6B, 0x12, 0x01, 0x01}});
    EXPECT_EQ(out, cat({expectedHeaderBytes(), tail}));
    h->release();
}

TEST(WbxmlEncoder, MandatoryFieldMissingAndOverflow) {
    Header* h = makeHeader();
    h->addRef();
    auto* alert = new Alert();
    alert->addRef();
    ToolkitCode c = code::Ok;
    encodeMessage(*h, {{&layout::alert, alert}}, true, &c);
    EXPECT_EQ(c, code::MissingElement);  // no CmdID
    alert->setCmdID(1);
    encodeMessage(*h, {{&layout::alert, alert}}, true, &c);
    EXPECT_EQ(c, code::Ok);
    encodeMessage(*h, {{&layout::alert, alert}}, true, &c, 60);
    EXPECT_EQ(c, code::BufferFull);
    alert->release();
    h->release();
}

TEST(MbUint32, Boundaries) {
    const std::vector<std::pair<std::uint32_t, Bytes>> cases = {
        {0, {0x00}}, {127, {0x7F}}, {128, {0x81, 0x00}}, {16383, {0xFF, 0x7F}}, {16384, {0x81, 0x80, 0x00}},
        {268435455, {0xFF, 0xFF, 0xFF, 0x7F}}, {0xFFFFFFFFu, {0x8F, 0xFF, 0xFF, 0xFF, 0x7F}}};
    for (const auto& [v, bytes] : cases) {
        std::uint8_t b[5];
        const std::size_t n = encodeMbUint32(v, b);
        EXPECT_EQ(Bytes(b, b + n), bytes) << v;
        std::size_t pos = 0;
        std::uint32_t back = 0;
        ASSERT_EQ(decodeMbUint32(bytes.data(), bytes.size(), pos, back), MbResult::Ok);
        EXPECT_EQ(back, v);
        pos = 0;
        EXPECT_EQ(decodeMbUint32(bytes.data(), bytes.size() - 1, pos, back),
                  bytes.size() == 1 ? MbResult::Truncated : MbResult::Truncated);
    }
}

TEST(WbxmlDecoder, ReadsPeerMessageWithMetaAndAnchor) {
    Decoded d;
    decode(readData("alert.wbxml"), d);
    ASSERT_EQ(d.code, code::Ok);
    EXPECT_EQ(text(d.header->verProto), "SyncML/1.1");
    EXPECT_EQ(text(d.header->target->locURI), "http://sync.example.com/sync");
    ASSERT_NE(d.header->meta, nullptr);
    ASSERT_EQ(d.header->meta->contentType, pcdata_type::Extension);
    const auto* mi = static_cast<const MetInfRecord*>(d.header->meta->content);
    EXPECT_EQ(text(mi->type), "application/vnd.syncml+wbxml");
    EXPECT_EQ(text(mi->maxMsgSize), "10000");
    ASSERT_EQ(d.commands.size(), 2u);
    ASSERT_EQ(d.commands[0].kind, DecodedKind::Alert);
    Alert* alert = alertFromRecord(static_cast<const AlertRecord*>(d.commands[0].record));
    alert->addRef();
    EXPECT_EQ(alert->data(), "201");
    EXPECT_EQ(alert->cmdIDAsInt(), 1);
    ItemElement* item = alert->items()->first();
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->target()->locURI(), "./contacts");
    const MetInfElem* meta = item->meta();
    ASSERT_NE(meta, nullptr);
    EXPECT_EQ(meta->anchor()->next(), "20240102T000000Z");
    alert->release();
    EXPECT_EQ(d.commands[1].kind, DecodedKind::MessageEnd);
    EXPECT_TRUE(d.commands[1].final);
}

TEST(WbxmlDecoder, EveryTruncationFailsWithEndOfDataOrOtherCode) {
    const Bytes full = readData("alert.wbxml");
    for (std::size_t n = 0; n < full.size(); ++n) {
        Decoded d;
        decode(Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n)), d);
        EXPECT_NE(d.code, code::Ok) << n;
    }
}

TEST(WbxmlDecoder, HeaderErrorsAreTableDriven) {
    const Bytes good = readData("alert.wbxml");
    struct Case {
        const char* what;
        Bytes input;
        ToolkitCode expected;
    };
    Bytes v3 = good, v13 = good, badOffset = good, notSyncml = good, unknownTag = good, global = good;
    v3[0] = 0x03;
    v13[0] = 0x13;
    badOffset[2] = 0x1D;  // public id offset at the table length
    notSyncml[0x22] = 0x6C;
    unknownTag[0x23] = 0x70;  // 0x30 has no tag
    global[0x23] = 0x40;
    const std::vector<Case> cases = {
        {"version 1.3", v3, code::UnsupportedWbxmlVersion},
        {"version 0x13", v13, code::UnsupportedWbxmlVersion},
        {"public id offset", badOffset, code::StringTableOffset},
        {"root not SyncML", notSyncml, code::NotSyncml},
        {"unassigned token", unknownTag, code::UnknownTag},
        {"extension token", global, code::GlobalTokenUnavailable},
        {"empty", {}, code::EndOfData},
    };
    for (const Case& c : cases) {
        Decoded d;
        decode(c.input, d);
        EXPECT_EQ(d.code, c.expected) << c.what;
    }
}

TEST(WbxmlRoundTrip, ElementsEncodeAndDecodeBackIncludingNestedDevInf) {
    Header* h = makeHeader();
    h->addRef();
    auto* results = new Result();
    results->addRef();
    results->setCmdID(2);
    results->setMsgRef(1);
    results->setCmdRef(3);
    auto* meta = new MetInfElem();
    meta->setType("application/vnd.syncml-devinf+wbxml");
    results->setMeta(meta);
    auto* devinf = new DevInfoElement();
    devinf->setVerDTD("1.1");
    devinf->setMan("ExampleMaker");
    devinf->setDevID("IMEI:490154203237518");
    devinf->setDevTyp("phone");
    devinf->setUTC(true);
    auto* ds = new DevInfDataStoreElement();
    ds->setSourceRef("./contacts");
    ds->setRxPref(new DevInfXmitElement("text/x-vcard", "2.1"));
    ds->setTxPref(new DevInfXmitElement("text/x-vcard", "2.1"));
    auto* cap = new DevInfSyncCapElement();
    cap->addSyncType("1");
    ds->setSyncCap(cap);
    devinf->addDataStores(ds);
    auto* item = new ItemElement();
    item->setSource(new SourceOrTarget("./devinf11"));
    item->setDataDevInf(devinf);
    results->addItems(item);
    const Bytes out = encodeMessage(*h, {{&layout::results, results}}, true);
    ASSERT_FALSE(out.empty());
    const Bytes devId = str("-//SYNCML//DTD DevInf 1.1//EN");
    EXPECT_NE(std::search(out.begin(), out.end(), devId.begin(), devId.end()), out.end());

    Decoded d;
    decode(out, d);
    ASSERT_EQ(d.code, code::Ok);
    ASSERT_EQ(d.commands[0].kind, DecodedKind::Results);
    const auto* rr = static_cast<const ResultsRecord*>(d.commands[0].record);
    const auto* ir = static_cast<const ItemRecord*>(rr->items->element);
    ASSERT_EQ(ir->data->contentType, pcdata_type::Opaque);  // nested documents stay opaque
    EXPECT_EQ(static_cast<const std::uint8_t*>(ir->data->content)[0], 0x02);
    results->release();
    h->release();
}

TEST(ElementModel, ReleasingAMessageFreesEveryElementOnce) {
    LiveElementRegistry::setMirroring(true);
    const std::size_t before = LiveElementRegistry::instance().liveCount();
    auto* add = new Generic(element_type::Add);
    add->addRef();
    add->setCmdID(5);
    auto* shared = new SourceOrTarget("./a");
    shared->addRef();
    for (int i = 0; i < 3; ++i) {
        auto* item = new ItemElement();
        item->setData("BEGIN:VCARD");
        item->setSource(shared);
        add->addItems(item);
    }
    EXPECT_EQ(add->items()->size(), 3u);
    EXPECT_EQ(LiveElementRegistry::instance().count(shared), 4);
    add->release();
    EXPECT_TRUE(LiveElementRegistry::instance().contains(shared));
    EXPECT_EQ(shared->referenceCount(), 1);
    shared->release();
    EXPECT_EQ(LiveElementRegistry::instance().liveCount(), before);
    LiveElementRegistry::setMirroring(false);
}

TEST(ElementModel, PcdataIsWrittenOncePerObject) {
    auto* c = new CData();
    c->addRef();
    c->setString("a");
    try {
        c->setNumber(2);
        FAIL();
    } catch (const CBuildItemsException& e) {
        EXPECT_STREQ(e.what(), "Build Items Exception: setString() element already present");
    }
    c->release();
    auto* s = new Status();
    s->addRef();
    s->setData(200);
    s->setData(401);  // a field gets a fresh CData
    EXPECT_EQ(s->dataAsInt(), 401);
    s->release();
}

}  // namespace
}  // namespace orvale

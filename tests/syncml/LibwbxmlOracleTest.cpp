#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "support/LibwbxmlConvert.h"
#include "syncml/CommandElements.h"
#include "syncml/Toolkit.h"
#include "syncml/codec/MessageDecoder.h"
#include "syncml/codec/WbxmlReader.h"

namespace orvale {
namespace {

using test::libwbxmlToWbxml;
using test::libwbxmlToXml;

ToolkitCode noteHeader(toolkit::InstanceId, void*, HeaderRecord* r) {
    toolkit::freeRecord(r);
    return 0;
}

TEST(LibwbxmlOracle, OurEncodingDecodesToTheExpectedXml) {
    using namespace toolkit;
    ASSERT_EQ(initToolkit(204800), code::Ok);
    InstanceOptions o;
    o.workspaceName = "oracle";
    o.workspaceSize = 8192;
    Callbacks cb;
    cb.startMessage = noteHeader;
    InstanceId id = 0;
    ASSERT_EQ(initInstance(o, cb, nullptr, id), code::Ok);

    auto* h = new Header();
    h->addRef();
    h->setVerDTD("1.1");
    h->setVerProto("SyncML/1.1");
    h->setSessionID(7);
    h->setMsgID(1);
    h->setTarget("http://sync.example.com/sync");
    h->setSource("IMEI:1");
    auto* meta = new MetInfElem();
    meta->setMaxMsgSize(65536);
    h->setMeta(meta);
    auto* add = new Generic(element_type::Add);
    add->addRef();
    add->setCmdID(3);
    auto* item = new ItemElement();
    item->setSource(new SourceOrTarget("42"));
    item->setData("BEGIN:VCARD");
    add->addItems(item);
    ASSERT_EQ(startMessage(id, h->headerRecord(), 2), code::Ok);
    ASSERT_EQ(addAdd(id, add->genericRecord()), code::Ok);
    ASSERT_EQ(endMessage(id, true), code::Ok);
    const std::uint8_t* p = nullptr;
    std::uint32_t n = 0;
    lockReadBuffer(id, p, n);
    const std::string xml = libwbxmlToXml(p, n);
    unlockReadBuffer(id, n);
    EXPECT_NE(xml.find("<SyncHdr><VerDTD>1.1</VerDTD><VerProto>SyncML/1.1</VerProto><SessionID>7</SessionID>"),
              std::string::npos)
        << xml;
    EXPECT_NE(xml.find("<MaxMsgSize xmlns=\"syncml:metinf\">65536</MaxMsgSize>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<Add><CmdID>3</CmdID><Item><Source><LocURI>42</LocURI></Source><Data><![CDATA[BEGIN:VCARD]]></Data>"
                       "</Item></Add><Final/></SyncBody></SyncML>"),
              std::string::npos)
        << xml;
    add->release();
    h->release();
    EXPECT_EQ(terminateInstance(id), code::Ok);
    EXPECT_EQ(terminateToolkit(), code::Ok);
}

TEST(LibwbxmlOracle, LibwbxmlEncodingDecodesToTheExpectedRecords) {
    const std::string xml =
        "<?xml version=\"1.0\"?><!DOCTYPE SyncML PUBLIC \"-//SYNCML//DTD SyncML 1.1//EN\" "
        "\"http://www.syncml.org/docs/syncml_represent_v11_20020213.dtd\">"
        "<SyncML xmlns=\"SYNCML:SYNCML1.1\"><SyncHdr><VerDTD>1.1</VerDTD><VerProto>SyncML/1.1</VerProto>"
        "<SessionID>9</SessionID><MsgID>2</MsgID><Target><LocURI>IMEI:1</LocURI></Target>"
        "<Source><LocURI>http://s</LocURI></Source></SyncHdr><SyncBody>"
        "<Status><CmdID>1</CmdID><MsgRef>1</MsgRef><CmdRef>0</CmdRef><Cmd>SyncHdr</Cmd>"
        "<TargetRef>http://s</TargetRef><SourceRef>IMEI:1</SourceRef><Data>212</Data></Status>"
        "<Sync><CmdID>2</CmdID><Target><LocURI>./c</LocURI></Target><NumberOfChanges>1</NumberOfChanges>"
        "<Replace><CmdID>3</CmdID><Meta><Type xmlns=\"syncml:metinf\">text/x-vcard</Type></Meta>"
        "<Item><Source><LocURI>77</LocURI></Source><Data>AT&amp;T</Data></Item></Replace></Sync>"
        "<Final/></SyncBody></SyncML>";
    const std::string w = libwbxmlToWbxml(xml);
    ASSERT_FALSE(w.empty());
    const auto* data = reinterpret_cast<const std::uint8_t*>(w.data());
    WbxmlReader r(data, w.size(), Namespace::SyncML);
    ASSERT_EQ(r.readHeader(), code::Ok);
    MessageDecoder d(r);
    HeaderRecord* hdr = nullptr;
    ASSERT_EQ(d.start(&hdr), code::Ok);
    Header* header = headerFromRecord(hdr);
    header->addRef();
    toolkit::freeRecord(hdr);
    EXPECT_EQ(header->sessionIDAsInt(), 9);
    EXPECT_EQ(header->source()->locURI(), "http://s");
    header->release();

    std::vector<DecodedKind> kinds;
    std::string data212, replaced, type;
    while (!d.finished()) {
        DecodedCommand c;
        ASSERT_EQ(d.next(c), code::Ok);
        kinds.push_back(c.kind);
        if (c.kind == DecodedKind::Status) {
            Status* s = statusFromRecord(static_cast<StatusRecord*>(c.record));
            s->addRef();
            data212 = s->data() + "/" + s->targetRefs()->first()->bytes();
            s->release();
        }
        if (c.kind == DecodedKind::Replace) {
            Generic* g = genericFromRecord(static_cast<GenericRecord*>(c.record));
            g->addRef();
            EXPECT_EQ(g->elementType(), element_type::Replace);
            replaced = g->items()->first()->data();
            type = g->meta()->type();
            g->release();
        }
        if (c.layout != nullptr) freeRecordTree(*c.layout, c.record);
    }
    EXPECT_EQ(kinds, (std::vector<DecodedKind>{DecodedKind::Status, DecodedKind::Sync, DecodedKind::Replace,
                                               DecodedKind::SyncEnd, DecodedKind::MessageEnd}));
    EXPECT_EQ(data212, "212/http://s");
    EXPECT_EQ(replaced, "AT&T");
    EXPECT_EQ(type, "text/x-vcard");
}

}  // namespace
}  // namespace orvale

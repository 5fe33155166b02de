// The XML reader on what peers send: text with references, malformed documents, deep nesting,
// truncation; and the writer's escaping that keeps such text well-formed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SampleMessages.h"
#include "support/TempDeviceRoot.h"
#include "syncml/codec/XmlReader.h"
#include "syncml/codec/XmlWriter.h"

namespace orvale {
namespace {

const std::string kHeader =
    "<SyncHdr><VerDTD>1.1</VerDTD><VerProto>SyncML/1.1</VerProto><SessionID>1</SessionID><MsgID>1</MsgID>"
    "<Target><LocURI>IMEI:1</LocURI></Target><Source><LocURI>http://s</LocURI></Source></SyncHdr>";

std::string doc(const std::string& body, const std::string& root = "<SyncML xmlns='SYNCML:SYNCML1.1'>") {
    return "<?xml version=\"1.0\"?>" + root + kHeader + "<SyncBody>" + body + "<Final/></SyncBody></SyncML>";
}

std::string alertWithData(const std::string& data) { return doc("<Alert><CmdID>1</CmdID><Data>" + data + "</Data></Alert>"); }

ToolkitCode decode(const std::string& xml, DecodedMessage& m) {
    XmlReader r(reinterpret_cast<const std::uint8_t*>(xml.data()), xml.size());
    if (auto c = r.readProlog()) return c;
    return decodeMessage(r, m);
}

const PcdataRecord* alertData(const DecodedMessage& m) {
    if (m.commands.empty() || m.commands[0].kind != DecodedKind::Alert) return nullptr;
    return static_cast<const AlertRecord*>(m.commands[0].record)->data;
}

std::string bytes(const PcdataRecord* p) {
    return p == nullptr || p->content == nullptr ? std::string() : std::string(static_cast<const char*>(p->content), p->length);
}

TEST(XmlReader, TextReferencesAreDecoded) {
    struct Case {
        const char* content;
        std::string expected;
        std::uint32_t type;
    };
    const std::vector<Case> cases = {
        {"AT&amp;T", "AT&T", pcdata_type::String},
        {"&lt;&gt;&quot;&apos;&amp;amp;", "<>\"'&amp;", pcdata_type::String},
        {"&#65;&#x42;&#x0043;", "ABC", pcdata_type::String},
        {"caf&#xE9; &#x1F600;", "caf\xC3\xA9 \xF0\x9F\x98\x80", pcdata_type::String},
        {"line&#13;\nnext", "line\r\nnext", pcdata_type::String},
        // Text elements keep everything up to their close tag, markup included.
        {"a<b>c", "a<b>c", pcdata_type::String},
        {"  <![CDATA[x&amp;]]>  ", "x&amp;", pcdata_type::Cdata},
        {"<![CDATA[a]]]]><![CDATA[>b]]>", "a]]>b", pcdata_type::Cdata},
        {"   ", "   ", pcdata_type::String},
        {"", "", pcdata_type::Empty},
    };
    for (const Case& c : cases) {
        DecodedMessage m;
        ASSERT_EQ(decode(alertWithData(c.content), m), code::Ok) << c.content;
        ASSERT_NE(alertData(m), nullptr) << c.content;
        EXPECT_EQ(alertData(m)->contentType, c.type) << c.content;
        EXPECT_EQ(bytes(alertData(m)), c.expected) << c.content;
    }
}

TEST(XmlReader, MalformedReferencesAreInvalidPcdata) {
    for (const char* content : {"AT&T", "&bogus;", "&#;", "&#x;", "&#12a;", "&#0;", "&#1;", "&#xD800;", "&#x110000;",
                                "&#99999999999999;", "&#x00000000000000041;", "&amp", "&"}) {
        DecodedMessage m;
        EXPECT_EQ(decode(alertWithData(content), m), code::InvalidInputPcdata) << content;
    }
}

TEST(XmlReader, DocumentErrorsGiveTheirCodes) {
    struct Case {
        const char* what;
        std::string input;
        ToolkitCode expected;
    };
    const std::string root = "<SyncML xmlns='SYNCML:SYNCML1.1'>";
    const std::vector<Case> cases = {
        {"empty", "", code::EndOfData},
        {"declaration without version", "<?xml encoding=\"UTF-8\"?>" + root, code::MalformedXml},
        {"other processing instruction", "<?xml version=\"1.0\"?><?php echo 1; ?>" + root, code::UnsupportedProcessingInstruction},
        {"text before the root", "hello" + doc(""), code::NotSyncml},
        {"root not SyncML", "<SyncHdr></SyncHdr>", code::NotSyncml},
        {"unknown namespace", doc("", "<SyncML xmlns='urn:example'>"), code::UnknownNamespace},
        {"unexpected attribute", doc("", "<SyncML version='1.1'>"), code::MalformedXml},
        {"attribute without =", doc("", "<SyncML xmlns>"), code::MalformedXml},
        {"unquoted attribute", doc("", "<SyncML xmlns=SYNCML:SYNCML1.1>"), code::MalformedXml},
        {"prefix not bound", doc("", "<s:SyncML xmlns='SYNCML:SYNCML1.1'>"), code::PrefixMismatch},
        {"prefix of another binding", doc("", "<s:SyncML xmlns:t='SYNCML:SYNCML1.1'>"), code::PrefixMismatch},
        {"unknown tag", doc("<Bogus/>"), code::UnknownTag},
        {"unterminated text element", "<SyncML><SyncHdr><VerDTD>1.1", code::NotSyncml},
        {"close tag of another element", doc("<Alert><CmdID>1</CmdID></Status>"), code::NotSyncml},
        {"unterminated CDATA", alertWithData("<![CDATA[abc"), code::EndOfData},
        {"element out of place", doc("<Alert><CmdID>1</CmdID><LocURI>x</LocURI></Alert>"), code::NotSyncml},
        {"text between commands", doc("<Alert><CmdID>1</CmdID></Alert>stray"), code::NotSyncml},
        {"DOCTYPE after the root", doc("<!DOCTYPE x>"), code::MalformedXml},
        {"overlong tag name", doc("<" + std::string(200, 'A') + "/>"), code::MalformedXml},
    };
    for (const Case& c : cases) {
        DecodedMessage m;
        EXPECT_EQ(decode(c.input, m), c.expected) << c.what;
    }
}

TEST(XmlReader, AcceptedVariants) {
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"any SyncML version", doc("", "<SyncML xmlns='SYNCML:SYNCML1.2'>")},
        {"no declaration, comments and a DOCTYPE",
         "<!-- capture --><!DOCTYPE SyncML PUBLIC \"-//SYNCML//DTD SyncML 1.1//EN\" \"http://x/y.dtd\" [<!ENTITY a 'b'>]>"
         "<!-- more -->" + doc("").substr(21)},
        {"prefixed names", "<s:SyncML xmlns:s='SYNCML:SYNCML1.1'><s:SyncHdr><s:VerDTD>1.1</s:VerDTD><s:VerProto>SyncML/1.1"
                           "</s:VerProto><s:SessionID>1</s:SessionID><s:MsgID>1</s:MsgID><s:Target><s:LocURI>a</s:LocURI>"
                           "</s:Target><s:Source><s:LocURI>b</s:LocURI></s:Source></s:SyncHdr><s:SyncBody/></s:SyncML>"},
        {"layout white space and double quotes",
         "<?xml version='1.0'?>\n<SyncML xmlns=\"SYNCML:SYNCML1.1\" >\n" + kHeader + "\n <SyncBody>\n  <Final />\n </SyncBody>\n</SyncML >\n"},
        {"MetInf wrapped in its own element",
         doc("<Alert><CmdID>1</CmdID><Item><Meta><MetInf xmlns='syncml:metinf'><Type>text/x-vcard</Type></MetInf>"
             "</Meta></Item></Alert>")},
    };
    for (const auto& [what, input] : cases) {
        DecodedMessage m;
        EXPECT_EQ(decode(input, m), code::Ok) << what;
    }
}

TEST(XmlReader, NestingIsBounded) {
    std::string deep;
    for (int i = 0; i < XmlReader::kMaxDepth + 8; ++i) deep += "<Item>";
    XmlReader r(reinterpret_cast<const std::uint8_t*>(deep.data()), deep.size());
    Token t;
    ToolkitCode c = code::Ok;
    int opened = 0;
    while ((c = r.next(t, false)) == code::Ok) ++opened;
    EXPECT_EQ(c, code::NotSyncml);
    EXPECT_EQ(opened, XmlReader::kMaxDepth);

    // Containers and records nest no deeper than a message can.
    std::string atomics;
    for (int i = 0; i < 50; ++i) atomics += "<Atomic><CmdID>1</CmdID>";
    DecodedMessage m;
    EXPECT_EQ(decode(doc(atomics), m), code::NotSyncml);
}

TEST(XmlReader, EveryTruncationFails) {
    test::SampleMessage s(test::sampleHeader(true));
    test::buildDevInfResults(s);
    XmlWriter w(2);
    const std::string full = s.encode(w);
    ASSERT_FALSE(full.empty());
    for (std::size_t n = 0; n < full.size(); ++n) {
        DecodedMessage m;
        ASSERT_NE(decode(full.substr(0, n), m), code::Ok) << n;
    }
}

// Content that holds markup characters still gives well-formed XML and reads back unchanged.
TEST(XmlWriter, MarkupInContentIsEscapedOrSplit) {
    struct Case {
        std::uint32_t type;
        std::string content;
        std::string written;
        std::uint32_t readBackType;
    };
    const std::vector<Case> cases = {
        {pcdata_type::String, "AT&T <x> ]]>\r\n", "AT&amp;T &lt;x&gt; ]]&gt;&#13;\n", pcdata_type::String},
        {pcdata_type::Opaque, "a<b&c", "a&lt;b&amp;c", pcdata_type::String},
        {pcdata_type::Cdata, "x]]>y]]>", "<![CDATA[x]]]]><![CDATA[>y]]]]><![CDATA[>]]>", pcdata_type::Cdata},
        {pcdata_type::Cdata, "a&b<c", "<![CDATA[a&b<c]]>", pcdata_type::Cdata},
        {pcdata_type::String, "plain", "plain", pcdata_type::String},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content);
        // A decoded message whose Alert Data is made a record of the case's content type; the tree
        // does not free its content, so the bytes can stay in `content`.
        DecodedMessage m;
        ASSERT_EQ(decode(alertWithData("x"), m), code::Ok);
        auto* alert = static_cast<AlertRecord*>(m.commands[0].record);
        std::string content = c.content;
        alert->data->contentType = c.type;
        alert->data->length = static_cast<std::uint32_t>(content.size());
        alert->data->content = content.data();

        XmlWriter w(2);
        const std::string xml = test::encodeRecords(w, m);
        EXPECT_NE(xml.find("<Data>" + c.written + "</Data>"), std::string::npos) << xml;
        DecodedMessage back;
        ASSERT_EQ(decode(xml, back), code::Ok);
        ASSERT_NE(alertData(back), nullptr);
        EXPECT_EQ(alertData(back)->contentType, c.readBackType);
        EXPECT_EQ(bytes(alertData(back)), c.content);
    }
}

}  // namespace
}  // namespace orvale

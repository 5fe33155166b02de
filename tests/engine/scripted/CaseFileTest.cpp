#include <gtest/gtest.h>

#include <filesystem>

#include "scripted/CaseFile.h"
#include "scripted/ReplyPlaceholders.h"
#include "scripted/XmlTree.h"
#include "support/LibwbxmlConvert.h"
#include "syncml/Toolkit.h"
#include "syncml/codec/MessageDecoder.h"
#include "syncml/codec/WbxmlReader.h"

namespace orvale::test {
namespace {

// Our decoder reads the whole message; the first toolkit error otherwise.
ToolkitCode decodeAll(const std::string& wbxml) {
    WbxmlReader r(reinterpret_cast<const std::uint8_t*>(wbxml.data()), wbxml.size(), Namespace::SyncML);
    if (auto c = r.readHeader()) return c;
    MessageDecoder d(r);
    HeaderRecord* hdr = nullptr;
    if (auto c = d.start(&hdr)) return c;
    toolkit::freeRecord(hdr);
    while (!d.finished()) {
        DecodedCommand cmd;
        if (auto c = d.next(cmd)) return c;
        if (cmd.layout != nullptr) freeRecordTree(*cmd.layout, cmd.record);
    }
    return code::Ok;
}

// A script that the engine cannot read would make its case test the wrong thing: every scripted
// reply must be a message both libwbxml2 and our own decoder accept, every expectation XML.
TEST(ScriptedCaseFiles, RepliesAreMessagesOurDecoderReads) {
    const auto dir = std::filesystem::path(ORVALE_TEST_DATA) / "engine" / "scripted";
    std::size_t files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        if (e.path().extension() != ".case") continue;
        ++files;
        SCOPED_TRACE(e.path().filename().string());
        std::string error;
        const CaseFile c = readCaseFile(e.path().string(), error);
        ASSERT_TRUE(error.empty()) << error;
        for (std::size_t i = 0; i < c.replies.size(); ++i) {
            if (c.replies[i].kind != ScriptedReply::Kind::Xml) continue;
            std::string xml = c.replies[i].content;
            fillPlaceholders(xml, nullptr);
            replaceAll(xml, ">none<", ">1<");
            const std::string wbxml = libwbxmlToWbxml(xml);
            ASSERT_FALSE(wbxml.empty()) << "reply " << i + 1;
            EXPECT_EQ(decodeAll(wbxml), code::Ok) << "reply " << i + 1;
        }
        for (const auto& [n, xml] : c.clientXml) EXPECT_NE(parseXml(xml, error), nullptr) << "client " << n << ": " << error;
    }
    EXPECT_GT(files, 10u);
}

TEST(ScriptedXmlCompare, WildcardsAndEveryKindOfDifference) {
    const char* actual = "<a><b>1</b><c><d>x</d><e/></c><f>t</f></a>";
    const struct {
        const char* expected;
        const char* difference;  // start of the report, or "" for a match
    } cases[] = {
        {"<a><b>1</b><c><d>x</d><e/></c><f>t</f></a>", ""},
        {"<a><b>*</b><c>...</c><f>*</f></a>", ""},
        {"<a xmlns='q'>\n  <b> 1 </b><c><d>x</d><e></e></c><f>t</f></a>", ""},
        {"<a><b>2</b><c>...</c><f>t</f></a>", "/a/b: text"},
        {"<a><b>1</b><c>...</c></a>", "/a: unexpected <f>"},
        {"<a><b>1</b><c>...</c><f>t</f><g/></a>", "/a: <g> missing"},
        {"<a><b>1</b><x>...</x><f>t</f></a>", "/a/x: element <c>"},
        {"<a><b>1</b><c>*</c><f>t</f></a>", "/a/c: elements found"},
        {"<a><b>1</b><c><d>x</d></c><f>t</f></a>", "/a/c: unexpected <e>"},
    };
    std::string error;
    const auto got = parseXml(actual, error);
    ASSERT_NE(got, nullptr) << error;
    for (const auto& c : cases) {
        const auto want = parseXml(c.expected, error);
        ASSERT_NE(want, nullptr) << c.expected << ": " << error;
        const std::string d = compareXml(*want, *got);
        if (*c.difference == '\0')
            EXPECT_EQ(d, "") << c.expected;
        else
            EXPECT_EQ(d.rfind(c.difference, 0), 0u) << c.expected << " gave " << d;
    }
    EXPECT_EQ(parseXml("<a><b></a>", error), nullptr);
}

TEST(ScriptedReplies, PlaceholdersTakeTheAnsweredRequestsValues) {
    std::string error;
    const auto request = parseXml(
        "<SyncML><SyncHdr><SessionID>77</SessionID><MsgID>3</MsgID></SyncHdr><SyncBody>"
        "<Alert><CmdID>4</CmdID></Alert><Sync><CmdID>5</CmdID><Add><CmdID>6</CmdID></Add><Add><CmdID>7</CmdID></Add>"
        "</Sync></SyncBody></SyncML>",
        error);
    ASSERT_NE(request, nullptr);
    std::string xml = "{SessionID}/{MsgID}/{CmdID:Alert}/{CmdID:Add:2}/{CmdID:Add:3}/{CmdID:Get}/{CmdID:Sync:1}";
    fillPlaceholders(xml, request.get());
    EXPECT_EQ(xml, "77/3/4/7/none/none/5");
}

}  // namespace
}  // namespace orvale::test

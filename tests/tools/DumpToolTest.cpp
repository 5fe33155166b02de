// orvale-dump run as a person runs it: on given files, on a capture folder, on the device's capture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "PimRun.h"
#include "support/TempDeviceRoot.h"
#include "syncml/codec/MessageRecords.h"
#include "syncml/codec/XmlReader.h"
#include "syncml/codec/XmlWriter.h"

namespace orvale {
namespace {

namespace fs = std::filesystem;

std::string data(const std::string& name) { return std::string(ORVALE_TEST_DATA) + "/" + name; }

test::PimRun dump(const std::vector<std::string>& args, const fs::path& scratch) {
    return test::runProgram(ORVALE_DUMP, args, scratch);
}

// The dump's indented text read back by our XML reader and written compact again.
std::string compactForm(const std::string& indented) {
    XmlReader r(reinterpret_cast<const std::uint8_t*>(indented.data()), indented.size());
    DecodedMessage m;
    if (r.readProlog() != code::Ok || decodeMessage(r, m) != code::Ok) return "(does not decode)";
    XmlWriter w(2);
    w.begin(nullptr, 0, true);
    if (writeMessage(w, *m.header, m.commands) != code::Ok) return "(does not encode)";
    std::string out(w.written(), '\0');
    w.begin(reinterpret_cast<std::uint8_t*>(out.data()), out.size());
    writeMessage(w, *m.header, m.commands);
    return out;
}

class DumpTool : public ::testing::Test {
protected:
    test::TempDeviceRoot root;
};

TEST_F(DumpTool, WbxmlWithNestedDevInfPrintsTheGoldenIndentedXml) {
    const auto run = dump({data("syncml/server-devinf-results.wbxml")}, root.path());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    if (std::getenv("ORVALE_WRITE_GOLDEN") != nullptr) test::writeFileBytes(data("tools/dump-server-devinf-results.txt"), run.out);
    EXPECT_EQ(run.out, test::readFileBytes(data("tools/dump-server-devinf-results.txt")));
    // The opaque DevInf document is shown as the tree it was made from.
    EXPECT_EQ(compactForm(run.out), test::readFileBytes(data("syncml/server-devinf-results.xml")));
}

TEST_F(DumpTool, XmlInputIsDetectedAndShownUnchangedInMeaning) {
    const auto run = dump({data("syncml/client-sync-60-vcards.xml")}, root.path());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(compactForm(run.out), test::readFileBytes(data("syncml/client-sync-60-vcards.xml")));
}

TEST_F(DumpTool, TruncatedMessageReportsCodeAndOffset) {
    const std::string full = test::readFileBytes(data("syncml/server-devinf-results.wbxml"));
    const fs::path cut = root.path() / "cut.wbxml";
    test::writeFileBytes(cut, full.substr(0, 150));
    const auto run = dump({cut.string()}, root.path());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    // The cut falls inside an inline string that begins at byte 132 (the Sync header's Source URI).
    EXPECT_EQ(full.compare(132, 11, "http://sync"), 0);
    EXPECT_EQ(run.err, "orvale-dump: " + cut.string() + ": error 0x2012 at byte 132\n");

    test::writeFileBytes(cut, "<?xml version=\"1.0\"?><SyncML xmlns='urn:x'>");
    EXPECT_NE(dump({cut.string()}, root.path()).err.find(": error 0x2011 at byte 42\n"), std::string::npos);
}

TEST_F(DumpTool, CaptureFolderInExchangeOrderWithEmptyReplies) {
    const fs::path capture = root.path() / "Application Data" / "Orvale" / "LastSession";
    fs::create_directories(capture);
    const std::string message = test::readFileBytes(data("syncml/alert.wbxml"));
    test::writeFileBytes(capture / "10_from_client.xml", message);
    test::writeFileBytes(capture / "02_from_server.xml", "");
    test::writeFileBytes(capture / "02_from_client.xml", message);
    test::writeFileBytes(capture / "notes.txt", "not a message");
    for (const auto& args : {std::vector<std::string>{}, std::vector<std::string>{capture.string()}}) {
        const auto run = dump(args, root.path());
        EXPECT_EQ(run.exitCode, 0) << run.err;
        const auto first = run.out.find("02_from_client.xml <==\n<?xml");
        const auto second = run.out.find("02_from_server.xml <==\n(empty: no message)\n==> ");
        const auto third = run.out.find("10_from_client.xml <==\n<?xml");
        EXPECT_NE(first, std::string::npos) << run.out;
        EXPECT_LT(first, second);
        EXPECT_LT(second, third);
        EXPECT_NE(third, std::string::npos);
        EXPECT_EQ(run.out.find("notes.txt"), std::string::npos);
    }
}

TEST_F(DumpTool, BadArgumentsAndUnreadableFiles) {
    EXPECT_EQ(dump({"--bogus"}, root.path()).exitCode, 2);
    EXPECT_EQ(dump({}, root.path()).exitCode, 2);  // no capture yet
    const auto run = dump({(root.path() / "missing.xml").string(), data("syncml/alert.wbxml")}, root.path());
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_NE(run.out.find("<Data>201</Data>"), std::string::npos);  // the other file is still shown
}

}  // namespace
}  // namespace orvale

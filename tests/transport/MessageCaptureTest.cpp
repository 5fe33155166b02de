#include "transport/MessageCapture.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>

#include "support/TempDeviceRoot.h"

namespace orvale::test {
namespace {

namespace fs = std::filesystem;

std::set<std::string> filesIn(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename().string());
    return names;
}

TEST(MessageCaptureTest, FolderIsTheLastSessionFolderBelowTheDeviceRoot) {
    TempDeviceRoot root;
    MessageCapture capture{MessageCapture::kLastSessionPath};
    EXPECT_EQ(capture.folder(), u"\\Application Data\\Orvale\\LastSession");
    capture.prepare();
    EXPECT_TRUE(fs::is_directory(root.path() / "Application Data" / "Orvale" / "LastSession"));
}

TEST(MessageCaptureTest, MessagesAlternateAndNumbersGrowPastTwoDigits) {
    TempDeviceRoot root;
    MessageCapture capture{MessageCapture::kLastSessionPath};
    capture.prepare();
    for (int i = 1; i <= 101; ++i) {
        const std::string request = "request " + std::to_string(i);
        const std::string reply = "reply " + std::to_string(i);
        capture.save(request.data(), request.size());
        capture.save(reply.data(), reply.size());
    }
    const fs::path dir = capture.hostFolder();
    EXPECT_EQ(filesIn(dir).size(), 202u);
    EXPECT_EQ(readFileBytes(dir / "01_from_client.xml"), "request 1");
    EXPECT_EQ(readFileBytes(dir / "01_from_server.xml"), "reply 1");
    EXPECT_EQ(readFileBytes(dir / "09_from_server.xml"), "reply 9");
    EXPECT_EQ(readFileBytes(dir / "99_from_client.xml"), "request 99");
    EXPECT_EQ(readFileBytes(dir / "100_from_client.xml"), "request 100");
    EXPECT_EQ(readFileBytes(dir / "101_from_server.xml"), "reply 101");
    struct stat st {};
    ASSERT_EQ(::stat((dir / "100_from_server.xml").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(MessageCaptureTest, LongSessionKeepsItsFirstAndLastMessagesAndSaysSo) {
    TempDeviceRoot root;
    MessageCapture capture{MessageCapture::kLastSessionPath};
    capture.prepare();
    for (int i = 1; i <= 1000; ++i) {
        const std::string request = "request " + std::to_string(i);
        capture.save(request.data(), request.size());
        capture.save("reply", 5);
    }
    const std::set<std::string> files = filesIn(capture.hostFolder());
    EXPECT_EQ(files.size(), 2 * (MessageCapture::kKeepFirst + MessageCapture::kKeepLast) + 1);
    for (const char* kept : {"01_from_client.xml", "200_from_server.xml", "801_from_client.xml", "1000_from_server.xml",
                             MessageCapture::kBoundedMarker}) {
        EXPECT_EQ(files.count(kept), 1u) << kept;
    }
    for (const char* gone : {"201_from_client.xml", "800_from_server.xml"}) EXPECT_EQ(files.count(gone), 0u) << gone;
    EXPECT_EQ(readFileBytes(capture.hostFolder() / "1000_from_client.xml"), "request 1000");
}

TEST(MessageCaptureTest, PrepareDeletesOnlyTheXmlFilesOfTheFolder) {
    TempDeviceRoot root;
    MessageCapture capture{MessageCapture::kLastSessionPath};
    const fs::path dir = capture.hostFolder();
    for (const char* name : {"01_from_client.xml", "07_from_server.xml", "OLD.XML", "notes.txt", "keep.xml.bak",
                             "xml"}) {
        writeFileBytes(dir / name, "old");
    }
    fs::create_directories(dir / "archive.xml");
    writeFileBytes(dir / "archive.xml" / "01_from_client.xml", "old");

    capture.prepare();
    EXPECT_EQ(filesIn(dir), (std::set<std::string>{"archive.xml", "keep.xml.bak", "notes.txt", "xml"}));
    EXPECT_TRUE(fs::exists(dir / "archive.xml" / "01_from_client.xml"));
    capture.prepare();  // nothing left to delete is fine too
    EXPECT_EQ(filesIn(dir).size(), 4u);
}

// A message that cannot be written still uses up its number and turn, or every later file
// would carry the wrong direction.
TEST(MessageCaptureTest, UnwritableMessageIsSkippedButTheTurnAdvances) {
    TempDeviceRoot root;
    MessageCapture capture{MessageCapture::kLastSessionPath};
    capture.save("lost", 4);  // the folder does not exist yet
    capture.prepare();
    capture.save("reply", 5);
    capture.save("request", 7);
    EXPECT_EQ(filesIn(capture.hostFolder()), (std::set<std::string>{"01_from_server.xml", "02_from_client.xml"}));
}

TEST(MessageCaptureTest, CredentialsAreBlankedKeepingTheMessageLength) {
    TempDeviceRoot root;
    MessageCapture capture(MessageCapture::kLastSessionPath);
    capture.prepare();
    MessageCapture::hideInCaptures("Ym9iOnB3");  // base64 of bob:pw
    const std::string message = std::string("<Cred><Data>Ym9iOnB3</Data></Cred>\x03Ym9iOnB3\0", 44);
    capture.save(message.data(), message.size());
    EXPECT_EQ(readFileBytes(capture.hostFolder() / "01_from_client.xml"),
              std::string("<Cred><Data>********</Data></Cred>\x03********\0", 44));
}

TEST(MessageCaptureTest, CaptureThatGoesAwayIsNoLongerCurrent) {
    TempDeviceRoot root;
    MessageCapture kept{MessageCapture::kLastSessionPath};
    {
        MessageCapture passing{MessageCapture::kLastSessionPath};
        MessageCapture::setCurrent(&passing);
        EXPECT_EQ(MessageCapture::current(), &passing);
    }
    EXPECT_EQ(MessageCapture::current(), nullptr);
    MessageCapture::setCurrent(&kept);
    { MessageCapture other{MessageCapture::kLastSessionPath}; }
    EXPECT_EQ(MessageCapture::current(), &kept);
    MessageCapture::setCurrent(nullptr);
}

}  // namespace
}  // namespace orvale::test

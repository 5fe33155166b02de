#include <gtest/gtest.h>
#include <sys/stat.h>

#include "engine/SessionDataStore.h"
#include "platform/DevicePaths.h"
#include "support/TempDeviceRoot.h"

namespace orvale {
namespace {

TEST(SessionDataStore, ReadingRules) {
    test::TempDeviceRoot root;
    const std::string longLine = "Long " + std::string(300, 'v') + "\n";
    test::writeFileBytes(platform::hostPath(kSessionDataPath),
                         "AuthType 1\nNextNonce  abc\nNoValue\nthree part line\nsupportLargeObjects 1\r\n" +
                             longLine + "AuthType 0\n");
    SessionDataStore s;
    EXPECT_EQ(s.getInt("AuthType"), 0);  // a later line overwrites
    EXPECT_FALSE(s.has("NextNonce"));    // two spaces: three parts
    EXPECT_EQ(s.getInt("NextNonce"), -1);
    EXPECT_EQ(s.getString("NextNonce"), "");
    EXPECT_FALSE(s.getBool("NextNonce"));
    EXPECT_TRUE(s.getBool("supportLargeObjects"));
    EXPECT_EQ(s.getString("Long").size(), 249u);  // the line is cut at 254 characters
    EXPECT_FALSE(s.has("NoValue"));
}

TEST(SessionDataStore, WritesSortedLinesOnDestructionWithPrivateMode) {
    test::TempDeviceRoot root;
    {
        SessionDataStore s;
        EXPECT_EQ(s.entries().size(), 0u);
        s.setString("NextNonce", "bm9uY2U=\nAuthType 0");
        s.setInt("AuthType", -1);
        s.setBool("supportLargeObjects", false);
    }
    const auto file = platform::hostPath(kSessionDataPath);
    EXPECT_EQ(test::readFileBytes(file), "AuthType -1\nNextNonce bm9uY2U=\nsupportLargeObjects 0\n");
    struct stat st {};
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    SessionDataStore again;
    EXPECT_EQ(again.getInt("AuthType"), -1);
}

}  // namespace
}  // namespace orvale

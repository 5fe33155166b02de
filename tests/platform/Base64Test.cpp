#include "platform/Base64.h"

#include <gtest/gtest.h>

namespace orvale::platform {
namespace {

TEST(Base64, MatchesTheStandardTestVectors) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},          {"f", "Zg=="},         {"fo", "Zm8="},         {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
    };
    for (const auto& [plain, encoded] : cases) {
        EXPECT_EQ(base64Encode(plain), encoded);
        EXPECT_EQ(base64Decode(encoded), plain);
    }
    EXPECT_EQ(base64Encode(std::string("\xFB\xFF\xBF", 3)), "+/+/");
}

TEST(Base64, RoundTripsEveryByteValueAndLength) {
    std::string bytes;
    for (int n = 0; n < 300; ++n) {
        ASSERT_EQ(base64Decode(base64Encode(bytes)), bytes) << n;
        bytes += static_cast<char>((n * 151 + 7) & 0xFF);
    }
    const std::string encoded = base64Encode(std::string(100'000, '\x80'));
    EXPECT_EQ(encoded.find_first_of("\r\n"), std::string::npos);
}

TEST(Base64, DecodingToleratesWhatTransportsAddAndStopsAtPadding) {
    const std::pair<const char*, const char*> cases[] = {
        {"Zm9v\r\n YmFy", "foobar"},  // folded lines
        {"Zm9v YmE=\r\n", "fooba"},
        {"Zm8=Zm9v", "fo"},           // nothing after the padding counts
        {"Zm*9v!", "foo"},            // characters outside the alphabet are skipped
        {"!!!", ""},
        {"Z", ""},                    // six bits make no byte
        {"Zm9vY", "foo"},
    };
    for (const auto& [encoded, plain] : cases) EXPECT_EQ(base64Decode(encoded), plain) << encoded;
}

}  // namespace
}  // namespace orvale::platform

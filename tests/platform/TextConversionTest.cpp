#include "platform/TextConversion.h"

#include <gtest/gtest.h>

namespace orvale::platform {
namespace {

TEST(TextConversion, RoundTripsEveryPlane) {
    const std::u16string wide = u"A\u00e9\u4e2d\U0001F600z";
    const std::string narrow = "A\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80z";
    EXPECT_EQ(utf16ToUtf8(wide), narrow);
    EXPECT_EQ(utf8ToUtf16(narrow), wide);
}

TEST(TextConversion, MalformedInputBecomesReplacementCharacters) {
    struct Case {
        std::string in;
        std::u16string out;
    } cases[] = {
        {"\xff", u"\ufffd"},
        {"a\xc3", u"a\ufffd"},              // truncated sequence at the end
        {"\xc3(", u"\ufffd("},              // broken continuation resynchronises
        {"\xc0\xaf", u"\ufffd"},            // overlong
        {"\xed\xa0\x80", u"\ufffd"},        // encoded surrogate
        {"\xf4\x90\x80\x80", u"\ufffd"},    // beyond U+10FFFF
    };
    for (const auto& c : cases) EXPECT_EQ(utf8ToUtf16(c.in), c.out);
    EXPECT_EQ(utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xef\xbf\xbd");
    EXPECT_EQ(utf16ToUtf8(std::u16string{char16_t(0xDC00), u'x'}), "\xef\xbf\xbdx");
}

}  // namespace
}  // namespace orvale::platform

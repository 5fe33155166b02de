#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "syncml/ContentType.h"

namespace orvale {
namespace {

TEST(ContentType, KnownTableAndCaseFolding) {
    struct Case {
        std::string text, mime, version;
    };
    const std::vector<Case> cases = {
        {"TEXT/X-VCARD", "text/x-vcard", "2.1"},
        {"text/x-vcalendar", "text/x-vcalendar", "1.0"},
        {"text/calendar", "text/calendar", "2.0"},
        {"application/vnd.syncml+wbxml", "application/vnd.syncml+wbxml", ""},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        const ContentType t(c.text);
        EXPECT_EQ(t.text(), c.text);
        EXPECT_EQ(t.mimeType(), c.mime) << c.text;
        EXPECT_EQ(t.version(), c.version) << c.text;
        EXPECT_EQ(t.charset(), "");
    }
}

TEST(ContentType, GivenVersionWinsAndCopiesKeepParameters) {
    ContentType t("text/x-vcard", "3.0");
    EXPECT_EQ(t.version(), "3.0");
    t.parameters()["charset"] = "UTF-8";
    const ContentType copy = t;
    EXPECT_EQ(copy.charset(), "UTF-8");
    EXPECT_EQ(copy.version(), "3.0");
}

}  // namespace
}  // namespace orvale

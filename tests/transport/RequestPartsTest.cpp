// How a URL is taken apart and which header lines go out, without a network.
#include <gtest/gtest.h>

#include "transport/RequestHeaders.h"
#include "transport/ServerUrl.h"

namespace orvale::test {
namespace {

TEST(ServerUrlTest, AbsoluteHttpUrlsSplitIntoRequestParts) {
    struct Case {
        const char* url;
        const char* scheme;
        const char* host;
        unsigned port;
        const char* objectPath;
        const char* requestUrl;
    };
    const Case cases[] = {
        {"http://sync.example.org/sync", "http", "sync.example.org", 80, "/sync", "http://sync.example.org/sync"},
        {"https://sync.example.org", "https", "sync.example.org", 443, "/", "https://sync.example.org/"},
        {"HTTPS://Sync.Example.org:8443/a/b?x=1&y=2#top", "https", "Sync.Example.org", 8443, "/a/b?x=1&y=2",
         "https://Sync.Example.org:8443/a/b?x=1&y=2"},
        {"HtTp://10.0.0.1:8080/s?to=a@b", "http", "10.0.0.1", 8080, "/s?to=a@b", "http://10.0.0.1:8080/s?to=a@b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        const auto url = ServerUrl::parse(c.url);
        ASSERT_TRUE(url.has_value());
        EXPECT_EQ(url->scheme, c.scheme);
        EXPECT_EQ(url->secure(), std::string(c.scheme) == "https");
        EXPECT_EQ(url->host, c.host);
        EXPECT_EQ(url->port, c.port);
        EXPECT_EQ(url->objectPath, c.objectPath);
        EXPECT_EQ(url->requestUrl, c.requestUrl);
    }
}

TEST(ServerUrlTest, AnythingButAnAbsoluteHttpUrlIsRefused) {
    const std::string withNul("http://a.example/\0http://b.example/", 35);
    for (const std::string& url : {std::string(), std::string("sync.example.org/sync"), std::string("//host/sync"),
                                   std::string("ftp://host/file"), std::string("file:///etc/passwd"),
                                   std::string("http://"), std::string("http://host:0/"),
                                   std::string("http://host:70000/"), std::string("http://ho st/"), withNul,
                                   // a password in the URL would travel in every message's target
                                   std::string("http://bob:pw@host/"), std::string("https://bob@host:8443/s")}) {
        SCOPED_TRACE(url);
        EXPECT_FALSE(ServerUrl::parse(url).has_value());
    }
}

TEST(RequestHeadersTest, BlockAndLinesForEachKindOfCaller) {
    ContentType withCharset("application/vnd.syncml+xml");
    withCharset.parameters()["charset"] = "UTF-8";
    struct Case {
        ContentType type;
        std::map<std::string, std::string> extra;
        std::string block;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {ContentType("application/vnd.syncml+wbxml"), {}, "Content-Type: application/vnd.syncml+wbxml\r\n",
         {"Content-Type: application/vnd.syncml+wbxml"}},
        {withCharset, {}, "Content-Type: application/vnd.syncml+xml\r\ncharset:UTF-8\r\n",
         {"Content-Type: application/vnd.syncml+xml", "charset:UTF-8"}},
        {ContentType("application/vnd.syncml+wbxml"),
         {{"X-Two", "2"}, {"Authorization", "Basic dTpw"}},
         "Authorization: Basic dTpw\r\n\r\nX-Two: 2\r\n\r\n",
         {"Authorization: Basic dTpw", "X-Two: 2"}},
        // A value cannot add a header line of its own.
        {ContentType("text/plain"), {{"X-Evil", "a\nInjected: yes"}}, "X-Evil: a\nInjected: yes\r\n\r\n",
         {"X-Evil: a", "Injected: yes"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.block);
        const std::string block = buildRequestHeaders(c.type, c.extra);
        EXPECT_EQ(block, c.block);
        EXPECT_EQ(headerLines(block), c.lines);
    }
}

}  // namespace
}  // namespace orvale::test

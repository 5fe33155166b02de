#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <functional>
#include <optional>
#include <string>

#include "engine/AlertChoice.h"
#include "stores/SyncAnchor.h"

namespace orvale {
namespace {

std::string messageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const SyncAnchorException& e) {
        return e.what();
    }
    return "";
}

const std::string kBadLabel =
    "SyncAnchorException: Label must not be null and time must be greater or equals zero.";

TEST(SyncAnchorParse, Table) {
    const struct { const char* line; const char* label; const char* remote; std::int64_t time; } ok[] = {
        {"100:200:300", "100", "200", 300},
        {"a\\:b:r:5", "a:b", "r", 5},
        {"a\\x\\:b:r:5", "ax:b", "r", 5},
        {"l:r:7:extra:more", "l", "r", 7},    // only three fields exist
        {"l:r:-12", "l", "r", -12},
        {"a\\xb:r:5", "axb", "r", 5},  // a backslash stands before the character it keeps
        {"a\\nb:r\\\\\\r:5", "a\nb", "r\\\r", 5},
    };
    for (const auto& c : ok) {
        const SyncAnchor a = SyncAnchor::parse(c.line);
        EXPECT_EQ(a.getLabel(), c.label) << c.line;
        EXPECT_EQ(a.getRemoteLabel(), c.remote) << c.line;
        EXPECT_EQ(a.getTime(), c.time) << c.line;
    }
    for (const char* bad : {"100::300", ":r:300", "l:r:0", "l:r:abc", "l:r", "", "l:r:99999999999"}) {
        EXPECT_EQ(messageOf([&] { SyncAnchor::parse(bad); }), kBadLabel) << bad;
    }
}

TEST(SyncAnchorParse, StoredFormRoundTrips) {
    const SyncAnchor a("1700000000", "srv-42", 1700000000);
    const SyncAnchor b = SyncAnchor::parse(a.toStoredText());
    EXPECT_EQ(b.getLabel(), a.getLabel());
    EXPECT_EQ(b.getRemoteLabel(), a.getRemoteLabel());
    EXPECT_EQ(b.getTime(), a.getTime());
}

TEST(SyncAnchor, Preconditions) {
    EXPECT_EQ(messageOf([] { SyncAnchor(std::string()); }),
              "SyncAnchorException: Remote label must not be empty");
    SyncAnchor a;
    EXPECT_EQ(messageOf([&] { a.setRemoteLabel(""); }), "SyncAnchorException: Remote Label must not be null.");
    const SyncAnchor r("12345");
    EXPECT_EQ(r.getLabel(), "12345");
    EXPECT_EQ(r.getRemoteLabel(), "12345");
    EXPECT_EQ(r.getTime(), 12345);
}

class NewAnchorInZone : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        const char* old = std::getenv("TZ");
        saved_ = old ? old : "";
        hadTz_ = old != nullptr;
        setenv("TZ", GetParam(), 1);
        tzset();
    }
    void TearDown() override {
        if (hadTz_) setenv("TZ", saved_.c_str(), 1); else unsetenv("TZ");
        tzset();
    }
    std::string saved_;
    bool hadTz_ = false;
};

// The label goes through local time and back, so it must equal the epoch seconds in any zone.
TEST_P(NewAnchorInZone, LabelIsTheCurrentSecond) {
    const std::time_t before = std::time(nullptr);
    const SyncAnchor a;
    const std::time_t after = std::time(nullptr);
    const long long label = std::stoll(a.getLabel());
    EXPECT_GE(label, before);
    EXPECT_LE(label, after);
    EXPECT_GE(a.getTime(), before);
    EXPECT_TRUE(a.getRemoteLabel().empty());
}

INSTANTIATE_TEST_SUITE_P(Zones, NewAnchorInZone, ::testing::Values("UTC", "Europe/Berlin"));

class FakeAnchorStore : public AnchorStore {
public:
    std::optional<SyncAnchor> stored;
    SyncAnchor loadAnchor() override { return stored ? *stored : SyncAnchor(); }
    void saveAnchor(const SyncAnchor& a) override { stored = a; }
};

TEST(AlertChoice, SlowSyncFirstThenTwoWayAfterSavingServerNext) {
    FakeAnchorStore store;
    AlertChoice first = chooseAlert(store);
    EXPECT_EQ(first.code, kAlertSlowSync);
    EXPECT_EQ(first.last.getLabel(), first.next.getLabel());

    takeServerAnchors(first, "", "server-1");  // first sync: the server may name no Last
    store.saveAnchor(first.next);

    const AlertChoice second = chooseAlert(store);
    EXPECT_EQ(second.code, kAlertTwoWay);
    EXPECT_EQ(second.last.getRemoteLabel(), "server-1");
    EXPECT_EQ(second.last.getLabel(), first.next.getLabel());
}

}  // namespace
}  // namespace orvale

#include <gtest/gtest.h>

#include "engine/SyncConfig.h"

namespace orvale {
namespace {

TEST(SyncConfig, SourcesFollowFixedOrderAndOmitUnchosenFolders) {
    const struct { bool contacts, tasks, calendar; std::vector<int> kinds; } cases[] = {
        {true, true, true, {kKindContacts, kKindTasks, kKindCalendar}},
        {false, false, true, {kKindCalendar}},
        {true, false, true, {kKindContacts, kKindCalendar}},
        {false, false, false, {}},
    };
    for (const auto& c : cases) {
        const auto opt = [](bool on, const char* uri) { return on ? std::optional<std::string>(uri) : std::nullopt; };
        const SyncConfig config = buildSyncConfig("IMEI:00", "http://s", "u", "p", opt(c.contacts, "card"),
                                                  opt(c.tasks, "task"), opt(c.calendar, "cal"), std::nullopt);
        std::vector<int> kinds;
        for (const auto& s : config.sources) kinds.push_back(s.kind);
        EXPECT_EQ(kinds, c.kinds);
    }
    const SyncConfig all = buildSyncConfig("id", "http://s", "u", "p", "card", "task", "cal", std::nullopt);
    EXPECT_EQ(all.sources[1].remote.uri, "task");
    EXPECT_EQ(all.sources[1].remote.contentType, "text/x-vcalendar");
    EXPECT_EQ(all.sources[1].remote.displayName, "");
    EXPECT_EQ(all.sources[1].local.uri, "./WinMobileTasks");
    EXPECT_EQ(all.client.localStores[1].uri, "./WinMobileCalendar");
    EXPECT_EQ(all.client.maxMessageSize, 65536u);
}

TEST(SyncConfig, DeviceIdTakesElevenBytesUpperCase) {
    const std::string bytes("\x01\xab\xcd\xef\x10\x20\x30\x40\x50\x60\x7f\xff\xee", 13);
    EXPECT_EQ(deviceIdFromUniqueId(bytes), "IMEI:01ABCDEF102030405060" "7F");
    EXPECT_EQ(deviceIdFromUniqueId(std::string_view("\xff", 1)), "IMEI:FF");
}

}  // namespace
}  // namespace orvale

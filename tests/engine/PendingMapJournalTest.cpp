// The pending-map journal: what it writes reads back the same, and a file it did not write (torn,
// foreign, oversized) is ignored as a whole rather than half-trusted.
#include <gtest/gtest.h>

#include <string>

#include "engine/PendingMapJournal.h"
#include "support/TempDeviceRoot.h"

namespace orvale::test {
namespace {

TEST(PendingMapJournal, SavedEntriesReadBackAndRemoveDeletesTheFile) {
    TempDeviceRoot root;
    PendingMapJournal journal("Contacts");
    journal.load();
    EXPECT_EQ(journal.size(), 0u);
    EXPECT_TRUE(journal.record("srv/7", "9000"));
    EXPECT_TRUE(journal.record("a b:c", "-12"));
    EXPECT_TRUE(journal.record("srv/7", "9001"));  // the same server item stored again
    ASSERT_TRUE(journal.save());
    const auto path = root.path() / "PendingMap_Contacts";
    EXPECT_EQ(readFileBytes(path), "a b:c\t-12\nsrv/7\t9001\n");

    PendingMapJournal again("Contacts");
    again.load();
    EXPECT_EQ(again.localKeyFor("srv/7"), "9001");
    EXPECT_EQ(again.localKeyFor("a b:c"), "-12");
    EXPECT_FALSE(again.localKeyFor("srv/8"));
    EXPECT_TRUE(again.hasLocalKey("9001"));
    EXPECT_FALSE(again.hasLocalKey("9000")) << "the replaced key no longer counts";

    PendingMapJournal tasks("Tasks");
    tasks.load();
    EXPECT_EQ(tasks.size(), 0u) << "one journal per folder";

    again.remove();
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(again.size(), 0u);
}

TEST(PendingMapJournal, DamagedOrOversizedFilesAreIgnoredWhole) {
    const std::string longField(PendingMapJournal::kMaxLineBytes, 'x');
    std::string full;
    for (std::size_t i = 0; i < PendingMapJournal::kMaxEntries; ++i) full += "s" + std::to_string(i) + "\t1\n";
    const std::string tooMany = full + "one\t1\n";
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"torn last line", "s1\t1\ns2\t2"},
        {"no separator", "s1\t1\ns2 2\n"},
        {"empty server ID", "\t1\n"},
        {"empty local key", "s1\t\n"},
        {"carriage return", "s1\t1\r\n"},
        {"NUL byte", std::string("s1\t1\n\0\t2\n", 9)},
        {"overlong line", "s1\t" + longField + "\n"},
        {"more entries than kept", tooMany},
        {"larger than the file cap", std::string(PendingMapJournal::kMaxFileBytes + 10, '\n')},
    };
    for (const auto& c : cases) {
        TempDeviceRoot root;
        writeFileBytes(root.path() / "PendingMap_Contacts", c.bytes);
        PendingMapJournal journal("Contacts");
        journal.load();
        EXPECT_EQ(journal.size(), 0u) << c.what;
        EXPECT_FALSE(journal.localKeyFor("s1")) << c.what;
    }
    EXPECT_TRUE(PendingMapJournal::parse("") && PendingMapJournal::parse("")->empty());
    const auto fits = PendingMapJournal::parse(full);
    ASSERT_TRUE(fits);
    EXPECT_EQ(fits->size(), PendingMapJournal::kMaxEntries);
}

TEST(PendingMapJournal, RefusesWhatTheLayoutCannotCarryAndStopsAtTheEntryCap) {
    TempDeviceRoot root;
    PendingMapJournal journal("Calendar");
    for (const auto& [serverId, localKey] : std::initializer_list<std::pair<std::string, std::string>>{
             {"", "1"}, {"s", ""}, {"a\tb", "1"}, {"a\nb", "1"}, {"s", "1\r"},
             {std::string(PendingMapJournal::kMaxLineBytes, 'x'), "1"}}) {
        EXPECT_FALSE(journal.record(serverId, localKey)) << serverId;
    }
    for (std::size_t i = 0; i < PendingMapJournal::kMaxEntries; ++i)
        ASSERT_TRUE(journal.record("s" + std::to_string(i), std::to_string(i)));
    EXPECT_FALSE(journal.record("one more", "1"));
    EXPECT_TRUE(journal.record("s0", "0")) << "an entry it holds can still be noted";
    ASSERT_TRUE(journal.save());
    PendingMapJournal again("Calendar");
    again.load();
    EXPECT_EQ(again.size(), PendingMapJournal::kMaxEntries) << "a full journal still reads back";
}

}  // namespace
}  // namespace orvale::test

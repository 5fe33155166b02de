// The pending-map journal over a folder's store: what it notes reads back the same, what it cannot
// keep it refuses, and a store holding entries it never wrote (too many, too long) is not trusted.
#include <gtest/gtest.h>

#include <string>

#include "SessionHarness.h"
#include "engine/PendingMapJournal.h"
#include "engine/SyncConfig.h"
#include "stores/DataStore.h"
#include "stores/DataStoreKind.h"

namespace orvale::test {
namespace {

struct JournalStore {
    TinyFactory factory;
    TinyFolder& made = factory.folder(kKindContacts);
    StoreRef<DataStore> ref{factory.createKindById(kKindContacts)->openStore(nullptr)};
    DataStore& store = *ref.get();
    TinyFolder& folder() { return factory.folder(kKindContacts); }
};

TEST(PendingMapJournal, NotedEntriesReadBackAndDropForgetsThem) {
    JournalStore s;
    PendingMapJournal journal;
    journal.load(s.store);
    EXPECT_EQ(journal.size(), 0u);
    ASSERT_TRUE(s.store.beginWrites());
    EXPECT_TRUE(journal.record(s.store, "srv/7", "9000"));
    EXPECT_TRUE(journal.record(s.store, "a\tb\nc", "-12")) << "the store keeps any bytes";
    EXPECT_TRUE(journal.record(s.store, "srv/7", "9001"));  // the same server item stored again
    ASSERT_TRUE(s.store.commitWrites());
    EXPECT_EQ(s.folder().pendingMaps, (std::map<std::string, std::string>{{"a\tb\nc", "-12"}, {"srv/7", "9001"}}));

    PendingMapJournal again;
    again.load(s.store);
    EXPECT_EQ(again.localKeyFor("srv/7"), "9001");
    EXPECT_EQ(again.localKeyFor("a\tb\nc"), "-12");
    EXPECT_FALSE(again.localKeyFor("srv/8"));
    EXPECT_TRUE(again.hasLocalKey("9001"));
    EXPECT_FALSE(again.hasLocalKey("9000")) << "the replaced key no longer counts";

    again.drop(s.store);
    EXPECT_EQ(again.size(), 0u);
    EXPECT_TRUE(s.folder().pendingMaps.empty());
}

TEST(PendingMapJournal, RefusesWhatItCannotKeepAndDistrustsAStoreBeyondItsBounds) {
    JournalStore s;
    PendingMapJournal journal;
    ASSERT_TRUE(s.store.beginWrites());
    const std::string longest(PendingMapJournal::kMaxFieldBytes, 'x');
    for (const auto& [serverId, localKey] : std::initializer_list<std::pair<std::string, std::string>>{
             {"", "1"}, {"s", ""}, {longest + "x", "1"}, {"s", longest + "1"}}) {
        EXPECT_FALSE(journal.record(s.store, serverId, localKey)) << serverId.size() << " " << localKey.size();
    }
    EXPECT_TRUE(journal.record(s.store, longest, "1"));
    for (std::size_t i = 1; i < PendingMapJournal::kMaxEntries; ++i)
        ASSERT_TRUE(journal.record(s.store, "s" + std::to_string(i), std::to_string(i)));
    EXPECT_FALSE(journal.record(s.store, "one more", "1"));
    EXPECT_TRUE(journal.record(s.store, "s1", "1")) << "an entry it holds can still be noted";
    ASSERT_TRUE(s.store.commitWrites());

    PendingMapJournal full;
    full.load(s.store);
    EXPECT_EQ(full.size(), PendingMapJournal::kMaxEntries) << "a full journal still reads back";

    const struct {
        const char* what;
        std::pair<std::string, std::string> planted;
    } cases[] = {
        {"more entries than kept", {"planted", "1"}},
        {"over-long server ID", {longest + "x", "1"}},
        {"empty local key", {"s1", ""}},
    };
    for (const auto& c : cases) {
        JournalStore planted;
        planted.folder().pendingMaps = s.folder().pendingMaps;
        if (std::string(c.what) != "more entries than kept") planted.folder().pendingMaps.erase("s2");
        planted.folder().pendingMaps[c.planted.first] = c.planted.second;
        PendingMapJournal read;
        read.load(planted.store);
        EXPECT_EQ(read.size(), 0u) << c.what;
        EXPECT_FALSE(read.localKeyFor("s3")) << c.what;
    }
}

}  // namespace
}  // namespace orvale::test

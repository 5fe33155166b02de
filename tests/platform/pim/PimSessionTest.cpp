#include <gtest/gtest.h>
#include <sqlite3.h>

#include <set>

#include "platform/DevicePaths.h"
#include "platform/pim/PimSession.h"
#include "support/TempDeviceRoot.h"

using namespace orvale::platform::pim;

namespace {

struct PimSessionTest : ::testing::Test {
    orvale::test::TempDeviceRoot root;
    void SetUp() override { ASSERT_TRUE(Session::logOn()); }
    void TearDown() override { Session::logOff(); }
    Session& s() { return *Session::current(); }
};

PropValue text(uint32_t id, const std::u16string& t) {
    PropValue v;
    v.id = id;
    v.text = t;
    return v;
}

TEST_F(PimSessionTest, SavedItemsReadBackWithTypedPropertiesAndMissingFlag) {
    auto c = s().createItem(kContact);
    PropValue n = text(0x0080001F, u"\u0141ukasz");
    PropValue when;
    when.id = 0x00F00040;
    when.fileTime = 0x01C0000012345678ull;
    c->setProps({n, when});
    c->setPicture(std::string("\0\xff\x01", 3));
    ASSERT_TRUE(c->save());
    ASSERT_NE(c->oid(), 0u);

    auto back = s().itemByOid(c->oid());
    ASSERT_TRUE(back);
    auto vals = back->getProps({0x0080001F, 0x00F00040, 0x0090001F});
    EXPECT_EQ(vals[0].text, u"\u0141ukasz");
    EXPECT_EQ(vals[1].fileTime, 0x01C0000012345678ull);
    EXPECT_EQ(vals[2].flags, kFlagNotFound);
    EXPECT_EQ(back->picture(), std::string("\0\xff\x01", 3));
    EXPECT_EQ(back->folder(), kFolderContacts);
}

TEST_F(PimSessionTest, IdentifiersAreUniqueNeverReusedAndOftenHaveTheTopBitSet) {
    std::set<uint32_t> seen;
    int top = 0;
    for (int i = 0; i < 200; ++i) {
        auto t = s().createItem(kTask);
        ASSERT_TRUE(t->save());
        EXPECT_TRUE(seen.insert(t->oid()).second);
        top += (t->oid() & 0x80000000u) ? 1 : 0;
        if (i % 2) {
            EXPECT_TRUE(t->remove());
        }
    }
    EXPECT_GT(top, 50);
    auto after = s().createItem(kTask);
    ASSERT_TRUE(after->save());
    EXPECT_FALSE(seen.count(after->oid()));
}

TEST_F(PimSessionTest, ARefusedSaveIsUndoneAloneInABatchAndBreaksAWholeOne) {
    auto gone = s().createItem(kTask);
    ASSERT_TRUE(gone->save());
    auto stale = s().itemByOid(gone->oid());
    ASSERT_TRUE(stale && gone->remove());
    for (bool whole : {false, true}) {
        ASSERT_TRUE(s().beginBatch(whole));
        auto added = s().createItem(kTask);
        ASSERT_TRUE(added->save());
        EXPECT_FALSE(stale->save());
        EXPECT_EQ(s().commitBatch(), !whole);
        EXPECT_EQ(s().itemByOid(added->oid()) != nullptr, !whole) << whole;
    }
}

TEST_F(PimSessionTest, FoldersCollectionsSortAndDelete) {
    EXPECT_FALSE(s().defaultFolderItems(11));
    std::vector<uint32_t> oids;
    for (int i = 0; i < 5; ++i) {
        auto a = s().createItem(kAppointment);
        ASSERT_TRUE(a->save());
        oids.push_back(a->oid());
    }
    auto items = s().defaultFolderItems(kFolderCalendar);
    ASSERT_TRUE(items);
    ASSERT_EQ(items->count(), 5);
    EXPECT_EQ(items->oidAt(1), oids[0]);  // creation order until sorted
    EXPECT_FALSE(items->item(0));
    EXPECT_FALSE(items->item(6));
    ASSERT_TRUE(items->sort("[Oid]"));
    EXPECT_FALSE(items->sort("[Subject]"));
    for (int i = 1; i < 5; ++i) EXPECT_LT(items->oidAt(i), items->oidAt(i + 1));
    EXPECT_EQ(s().defaultFolderItems(kFolderContacts)->count(), 0);

    auto victim = s().itemByOid(oids[2]);
    ASSERT_TRUE(victim->remove());
    EXPECT_FALSE(s().itemByOid(oids[2]));
    EXPECT_FALSE(victim->remove());
}

TEST_F(PimSessionTest, RecurrenceExceptionsAndRecipientsPersist) {
    auto a = s().createItem(kAppointment);
    auto& rp = a->recurrence();
    rp.type = 1;
    rp.interval = 2;
    rp.dayOfWeekMask = 0x2A;
    rp.noEnd = false;
    rp.patternStart = 39083.0;  // 2007-01-01
    rp.patternEnd = 39447.0;
    rp.startTime = 0.5;
    a->recipients().push_back({u"Ann", u"ann@example.org"});
    EXPECT_TRUE(a->hasOccurrenceAt(39097.5));  // Monday two weeks on
    EXPECT_FALSE(a->hasOccurrenceAt(39090.5));  // Monday of the week skipped
    EXPECT_FALSE(a->hasOccurrenceAt(39097.25));  // wrong time of day
    EXPECT_FALSE(a->hasOccurrenceAt(39500.5));   // after the end
    ASSERT_TRUE(a->deleteOccurrenceAt(39097.5));
    EXPECT_FALSE(a->deleteOccurrenceAt(39097.5));
    ASSERT_TRUE(a->save());

    auto back = s().itemByOid(a->oid());
    ASSERT_TRUE(back->isRecurring());
    EXPECT_EQ(back->getProp(kIsRecurringProp).u32, 1u);
    EXPECT_EQ(back->recurrence().dayOfWeekMask, 0x2A);
    EXPECT_FALSE(back->recurrence().noEnd);
    ASSERT_EQ(back->recurrence().exceptions.size(), 1u);
    EXPECT_DOUBLE_EQ(back->recurrence().exceptions[0].originalDate, 39097.5);
    ASSERT_EQ(back->recipients().size(), 1u);
    EXPECT_EQ(back->recipients()[0].address, u"ann@example.org");

    back->clearRecurrence();
    // The flag is read only: it follows the pattern whatever a store writes.
    PropValue claim;
    claim.id = kIsRecurringProp;
    claim.u32 = 1;
    back->setProps({claim});
    ASSERT_TRUE(back->save());
    EXPECT_FALSE(s().itemByOid(a->oid())->isRecurring());
    EXPECT_EQ(s().itemByOid(a->oid())->getProp(kIsRecurringProp).u32, 0u);
}

TEST_F(PimSessionTest, SecondConnectionWritesWhileASessionIsOpen) {
    auto c = s().createItem(kContact);
    ASSERT_TRUE(c->save());
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(orvale::platform::hostPath("pim.db").c_str(), &other), SQLITE_OK);
    sqlite3_busy_timeout(other, 2000);
    std::string sql = "INSERT INTO props VALUES(" + std::to_string(c->oid()) + ", 8388639, 0, 0, x'41004200')";
    EXPECT_EQ(sqlite3_exec(other, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);
    EXPECT_EQ(s().itemByOid(c->oid())->getProp(0x0080001F).text, u"AB");
}

}  // namespace

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/pim/PimSession.h"
#include "stores/ChangeTracker.h"
#include "stores/Crc32.h"
#include "support/TempDeviceRoot.h"

using namespace orvale;
using namespace orvale::platform::pim;

namespace {

constexpr uint32_t kName = 0x0080001F;

TrackerProfile contacts() { return {kFolderContacts, {{kName, RowKind::Text}}, {}}; }

struct ChangeTrackerTest : ::testing::Test {
    test::TempDeviceRoot root;
    void SetUp() override { ASSERT_TRUE(Session::logOn()); }
    void TearDown() override { Session::logOff(); }
    uint32_t add(const std::u16string& name, bool excluded = false) {
        auto c = Session::current()->createItem(kContact);
        PropValue v;
        v.id = kName;
        v.text = name;
        PropValue x;
        x.id = 0x001B0013;
        x.u32 = excluded ? 1 : 0;
        c->setProps({v, x});
        c->save();
        return c->oid();
    }
    void rename(uint32_t oid, const std::u16string& name) {
        auto c = Session::current()->itemByOid(oid);
        PropValue v;
        v.id = kName;
        v.text = name;
        c->setProps({v});
        c->save();
    }
};

bool has(const std::vector<uint32_t>& v, uint32_t x) { return std::find(v.begin(), v.end(), x) != v.end(); }

TEST(Crc32Test, KnownValues) {
    EXPECT_EQ(crc32(""), 0u);
    EXPECT_EQ(crc32("123456789"), 0xCBF43926u);
}

TEST_F(ChangeTrackerTest, FirstRunUpdateDeleteAndDatabaseBytes) {
    uint32_t a = add(u"Ann"), b = add(u"Bob");
    add(u"Hidden", true);
    {
        ChangeTracker t(contacts());
        EXPECT_EQ(t.newList().size(), 2u);
        EXPECT_TRUE(t.updatedList().empty() && t.deletedList().empty());
        t.acknowledge(a);
        t.acknowledge(b);
        EXPECT_TRUE(t.save());
    }
    std::string bytes = test::readFileBytes(root.path() / "Contacts.hdb");
    ASSERT_EQ(bytes.size(), 16u);
    uint32_t first = static_cast<unsigned char>(bytes[0]) | static_cast<unsigned char>(bytes[1]) << 8 |
                     static_cast<unsigned char>(bytes[2]) << 16 | static_cast<uint32_t>(static_cast<unsigned char>(bytes[3])) << 24;
    EXPECT_EQ(first, static_cast<int32_t>(a) < static_cast<int32_t>(b) ? a : b);  // signed order
    uint32_t fp = static_cast<unsigned char>(bytes[4]) | static_cast<unsigned char>(bytes[5]) << 8 |
                  static_cast<unsigned char>(bytes[6]) << 16 | static_cast<uint32_t>(static_cast<unsigned char>(bytes[7])) << 24;
    EXPECT_EQ(fp, crc32(first == a ? "Ann" : "Bob"));

    rename(a, u"\u0141nn");  // differs from "Ann" only above the low byte of the first unit
    Session::current()->itemByOid(b)->remove();
    ChangeTracker t(contacts());
    EXPECT_TRUE(has(t.updatedList(), a));
    EXPECT_TRUE(has(t.deletedList(), b));
    EXPECT_TRUE(t.newList().empty());
}

TEST_F(ChangeTrackerTest, UnacknowledgedAndPreservedItemsAreReportedAgain) {
    uint32_t a = add(u"Ann"), b = add(u"Bob");
    {
        ChangeTracker t(contacts());
        t.acknowledge(a);  // b refused by the server
        EXPECT_TRUE(t.save());
    }
    {
        ChangeTracker t(contacts());
        EXPECT_EQ(t.newList(), std::vector<uint32_t>{b});
        std::vector<uint32_t> ids = t.newList();
        t.preserve(ids);
        EXPECT_TRUE(ids.empty());
        t.acknowledge(b);  // preserved wins: never recorded stays unrecorded
        EXPECT_TRUE(t.save());
    }
    ChangeTracker t(contacts());
    EXPECT_EQ(t.newList(), std::vector<uint32_t>{b});
}

TEST_F(ChangeTrackerTest, EmptyDatabaseCountsAsNoRecords) {
    add(u"Ann");
    test::writeFileBytes(root.path() / "Contacts.hdb", "");
    ChangeTracker t(contacts());
    EXPECT_EQ(t.newList().size(), 1u);
}

}  // namespace

// The whole-folder read must give the change scan exactly what reading item by item gives, or a
// faster scan would report changes that did not happen (or miss real ones).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/pim/PimSession.h"
#include "stores/ChangeTracker.h"
#include "support/TempDeviceRoot.h"

using namespace orvale;
using namespace orvale::platform::pim;

namespace {

constexpr uint32_t kName = 0x0080001F, kNote = 0x0081001F, kWhen = 0x00F00040, kCount = 0x00F10013,
                   kFlag = 0x00F2000B, kUnlisted = 0x0099001F, kExcluded = 0x001B0013;

PropValue prop(uint32_t id) {
    PropValue v;
    v.id = id;
    return v;
}
PropValue text(uint32_t id, std::u16string t) {
    PropValue v = prop(id);
    v.text = std::move(t);
    return v;
}

// Every kind of row, and extra text drawn from everything the tracker says it provides, so a part
// the bulk read forgot or cut differently changes a fingerprint.
TrackerProfile profile(int folder) {
    TrackerProfile p{folder,
                     {{kName, RowKind::Text}, {kNote, RowKind::Text}, {kWhen, RowKind::Time},
                      {kCount, RowKind::Number16}, {kFlag, RowKind::Flag}, {kPictureProp, RowKind::Skip}},
                     {}};
    p.extraText = [](Item& item, const std::vector<PropValue>& values) {
        std::u16string out;
        std::string pic = item.picture().substr(0, 64000);
        out += u"P" + std::u16string(pic.begin(), pic.end()) + u"#" + std::u16string(values.size(), u'v');
        if (item.isRecurring()) {
            const RecurrencePattern& rp = item.recurrence();
            out += u"R" + std::u16string(1, static_cast<char16_t>(u'0' + rp.type)) +
                   std::u16string(static_cast<size_t>(rp.exceptions.size()), u'x');
            for (const auto& e : rp.exceptions) out += std::u16string(1, static_cast<char16_t>(e.originalDate));
        }
        for (const auto& r : item.recipients()) out += r.name + u"<" + r.address + u">";
        return out;
    };
    return p;
}

struct FolderReadTest : ::testing::Test {
    test::TempDeviceRoot root;
    void SetUp() override { ASSERT_TRUE(Session::logOn()); }
    void TearDown() override { Session::logOff(); }
    Session& s() { return *Session::current(); }
    uint32_t save(std::unique_ptr<Item> item) {
        EXPECT_TRUE(item->save());
        return item->oid();
    }
};

TEST_F(FolderReadTest, BulkAndPerItemFingerprintsAgreeForEveryFolder) {
    {
        auto c = s().createItem(kContact);
        PropValue when = prop(kWhen), count = prop(kCount), flag = prop(kFlag);
        when.fileTime = 0x01C7A5B600000000ull;
        count.u32 = 0x12340005;
        flag.u32 = 1;
        c->setProps({text(kName, u"\u0141ukasz \U0001F600"), when, count, flag, text(kUnlisted, u"not a row")});
        c->setPicture(std::string(70000, '\x89'));  // longer than the part the fingerprint reads
        save(std::move(c));
    }
    for (int i = 0; i < 3; ++i) {
        auto c = s().createItem(kContact);
        c->setProps({text(kNote, std::u16string(static_cast<size_t>(i) + 1, u'n'))});
        if (i == 1) c->setPicture("tiny");
        save(std::move(c));
    }
    save(s().createItem(kContact));  // an item without any property
    {
        auto c = s().createItem(kContact);
        PropValue x = prop(kExcluded);
        x.u32 = 1;
        c->setProps({text(kName, u"hidden"), x});
        save(std::move(c));
    }
    for (int i = 0; i < 2; ++i) {
        auto a = s().createItem(kAppointment);
        a->setProps({text(kName, u"Meeting")});
        auto& rp = a->recurrence();
        rp.type = i;
        rp.exceptions = {{40000.5, true}, {40007.5, false}};
        a->recipients() = {{u"Ann", u"ann@example.org"}, {u"Bo", u"bo@example.org"}};
        save(std::move(a));
    }
    {
        auto t = s().createItem(kTask);
        t->recurrence().type = 5;
        save(std::move(t));
    }

    for (int folder : {kFolderContacts, kFolderCalendar, kFolderTasks}) {
        ChangeTracker tracker(profile(folder));
        std::vector<uint32_t> ids = {kName, kNote, kWhen, kCount, kFlag, kPictureProp, kExcluded};
        auto bulk = s().readFolder(folder, ids, 64000);
        ASSERT_TRUE(bulk);
        auto each = s().defaultFolderItems(folder);
        ASSERT_TRUE(each);
        ASSERT_EQ(static_cast<int>(bulk->size()), each->count());
        for (int i = 1; i <= each->count(); ++i) {
            Item& b = (*bulk)[static_cast<size_t>(i - 1)];
            auto one = each->item(i);
            ASSERT_TRUE(one);
            EXPECT_EQ(b.oid(), one->oid()) << "collection order";
            EXPECT_EQ(ChangeTracker::excluded(b), ChangeTracker::excluded(*one));
            EXPECT_EQ(tracker.fingerprint(b), tracker.fingerprint(*one)) << "folder " << folder << " item " << i;
            EXPECT_TRUE(b.partial());
            EXPECT_EQ(b.getProp(kUnlisted).flags, kFlagNotFound) << "only the properties asked for";
        }
    }
}

// The chunked walk must hand over every item once, in collection order, with the rows of that item
// and no other, wherever the chunk edges fall.
TEST_F(FolderReadTest, ChunkedVisitGivesWhatTheWholeReadGivesAtEveryChunkSize) {
    for (int i = 0; i < 7; ++i) {
        auto a = s().createItem(kAppointment);
        a->setProps({text(kName, u"Item " + std::u16string(static_cast<size_t>(i) + 1, u'*'))});
        if (i % 2 == 0) {
            a->recurrence().type = i;
            a->recurrence().exceptions = {{40000.0 + i, i % 4 == 0}};
        }
        if (i % 3 == 0) a->recipients() = {{u"R" + std::u16string(1, static_cast<char16_t>(u'a' + i)), u"r@x"}};
        save(std::move(a));
        save(s().createItem(kContact));  // interleaved items of another folder
    }
    ChangeTracker tracker(profile(kFolderCalendar));
    const std::vector<uint32_t> ids = {kName, kPictureProp};
    auto whole = s().readFolder(kFolderCalendar, ids, 64000);
    ASSERT_TRUE(whole);
    ASSERT_EQ(whole->size(), 7u);
    std::vector<std::pair<uint32_t, uint32_t>> expected;
    for (Item& item : *whole) expected.emplace_back(item.oid(), tracker.fingerprint(item));

    for (size_t chunk : {size_t{0}, size_t{1}, size_t{2}, size_t{3}, size_t{6}, size_t{7}, size_t{8},
                         Session::kFolderReadChunk}) {
        std::vector<std::pair<uint32_t, uint32_t>> seen;
        EXPECT_TRUE(s().visitFolder(
            kFolderCalendar, ids, 64000, [&](Item& item) { seen.emplace_back(item.oid(), tracker.fingerprint(item)); },
            chunk));
        EXPECT_EQ(seen, expected) << "chunk " << chunk;
    }
    EXPECT_FALSE(s().visitFolder(11, ids, 10, [](Item&) { ADD_FAILURE() << "visited an unknown folder"; }));
}

TEST_F(FolderReadTest, PartialItemsCannotBeWrittenBackAndBadFoldersGiveNothing) {
    auto c = s().createItem(kContact);
    c->setProps({text(kName, u"Ann"), text(kNote, u"kept")});
    c->setPicture(std::string(100, 'p'));
    uint32_t oid = save(std::move(c));

    auto bulk = s().readFolder(kFolderContacts, {kName, kPictureProp}, 10);
    ASSERT_TRUE(bulk);
    ASSERT_EQ(bulk->size(), 1u);
    Item& part = bulk->front();
    EXPECT_EQ(part.picture(), std::string(10, 'p'));
    EXPECT_FALSE(part.save());
    EXPECT_FALSE(part.remove());
    auto whole = s().itemByOid(oid);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->getProp(kNote).text, u"kept");
    EXPECT_EQ(whole->picture().size(), 100u);

    EXPECT_FALSE(s().readFolder(11, {kName}, 10));
    auto empty = s().readFolder(kFolderTasks, {kName}, 10);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());
}

}  // namespace

#include <gtest/gtest.h>

#include <set>

#include "platform/DevicePaths.h"
#include "platform/pim/eds/EdsIdentity.h"
#include "support/TempDeviceRoot.h"

using namespace orvale::platform::pim;
using eds::Identity;

namespace {

std::vector<uint32_t> oidsOf(const std::vector<Identity::Entry>& entries) {
    std::vector<uint32_t> out;
    for (const auto& e : entries) out.push_back(e.oid);
    return out;
}

TEST(EdsIdentity, ItemsKeepTheirIdentifiersNewOnesComeLastAndGoneOnesAreNeverReused) {
    orvale::test::TempDeviceRoot root;
    const std::string path = orvale::platform::hostPath("eds-ids.db").string();
    std::vector<uint32_t> first;
    {
        auto ids = Identity::open(path, nullptr);
        ASSERT_TRUE(ids);
        auto listed = ids->settleFolder(kFolderContacts, {"b", "a", "c"});
        ASSERT_TRUE(listed && listed->size() == 3);
        first = oidsOf(*listed);
        EXPECT_EQ(std::set<uint32_t>(first.begin(), first.end()).size(), 3u);
    }
    // Reopened: the same pairing, whatever order EDS lists in; "a" gone, "d" new and last.
    auto ids = Identity::open(path, nullptr);
    ASSERT_TRUE(ids);
    auto again = ids->settleFolder(kFolderContacts, {"d", "c", "b"});
    ASSERT_TRUE(again && again->size() == 3);
    EXPECT_EQ((*again)[0].uid, "b");
    EXPECT_EQ((*again)[0].oid, first[0]);
    EXPECT_EQ((*again)[1].oid, first[2]);
    EXPECT_EQ((*again)[2].uid, "d");
    // "a" coming back (another program restoring it) is a new item, under a new identifier.
    auto back = ids->settleFolder(kFolderContacts, {"a", "b", "c", "d"});
    ASSERT_TRUE(back && back->size() == 4);
    EXPECT_EQ((*back)[3].uid, "a");
    EXPECT_NE((*back)[3].oid, first[1]);
    // The same UID in another folder is another item.
    auto tasks = ids->settleFolder(kFolderTasks, {"a"});
    ASSERT_TRUE(tasks && tasks->size() == 1);
    EXPECT_NE((*tasks)[0].oid, (*back)[3].oid);
}

TEST(EdsIdentity, IntendedWritesOutliveAListingAndForgettingAnAddDropsItsPendingMap) {
    orvale::test::TempDeviceRoot root;
    auto ids = Identity::open(orvale::platform::hostPath("eds-ids.db").string(), nullptr);
    ASSERT_TRUE(ids);
    ASSERT_TRUE(ids->begin());
    auto added = ids->addIntended(kFolderContacts, "new-1");
    ASSERT_TRUE(added);
    ASSERT_TRUE(ids->notePendingMap(kFolderContacts, "srv-1", *added));
    ASSERT_TRUE(ids->commit());
    // EDS does not hold it (yet): a listing must not forget an intended write.
    ASSERT_TRUE(ids->settleFolder(kFolderContacts, {}));
    auto intended = ids->intended();
    ASSERT_TRUE(intended && intended->size() == 1);
    EXPECT_EQ((*intended)[0].intent, Identity::Intent::Add);
    ASSERT_TRUE(ids->forget({*added}));
    EXPECT_TRUE(ids->intended()->empty());
    EXPECT_TRUE(ids->pendingMaps(kFolderContacts, 10)->empty());
    EXPECT_FALSE(ids->byOid(*added));
}

}  // namespace

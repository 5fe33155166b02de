// Backups of the contacts folder through the store interface: what a backup holds is what the
// store exports, a restore puts the folder back whole or not at all, and the next sync sees the
// restore as changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/pim/PimSession.h"
#include "stores/ItemList.h"
#include "stores/KindRegistry.h"
#include "stores/SyncAnchor.h"
#include "stores/contacts/ContactsStore.h"
#include "stores/backup/FolderBackups.h"
#include "stores/backup/StoreBackup.h"
#include "support/StoreSession.h"
#include "support/TempDeviceRoot.h"

namespace orvale {
namespace {

using test::StoreSession;

std::string card(const std::string& n) {
    return "BEGIN:VCARD\r\nVERSION:2.1\r\nN:" + n + ";Given\r\nTEL;CELL:+1 555 0100\r\nEND:VCARD\r\n";
}

std::string fileText(const std::string& name) {
    std::ifstream in(std::string(ORVALE_TEST_DATA) + "/contacts/" + name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::map<std::string, std::string> exported(DataStore& store) {
    std::map<std::string, std::string> out;
    EXPECT_TRUE(store.exportItems([&](const std::string& k, const std::string& t) { out.emplace(k, t); }));
    return out;
}

backup::Backup newestBackup() {
    const auto listed = backup::listBackups("Contacts");
    EXPECT_FALSE(listed.empty());
    std::ifstream in(listed.front().path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    auto parsed = backup::parseBackup(s.str());
    EXPECT_TRUE(parsed.backup) << parsed.problem;
    return parsed.backup ? *parsed.backup : backup::Backup{};
}

struct RealContactsKind {
    RealContactsKind() { registerKind(kKindContacts, contacts::makeContactsKind); }
};

class ContactBackupTest : public ::testing::Test {
protected:
    RealContactsKind real;
    test::TempDeviceRoot root;
};

// The bulk read a backup makes gives, item for item, the text itemByKey gives: pictures, folded and
// non-Latin values included, and no excluded contact.
TEST_F(ContactBackupTest, ABackupHoldsEveryContactAsTheStoreExportsIt) {
    StoreSession tool(kKindContacts, ChangeRecording::Discard);
    ASSERT_NE(tool.store(), nullptr);
    for (const char* f : {"every-property.vcf", "edge-cases.vcf", "photo-jpeg.vcf", "photo-gif.vcf"})
        ASSERT_FALSE(tool.add(fileText(f)).empty()) << f;
    const std::string hidden = tool.add(card("Hidden"));
    auto item = platform::pim::Session::current()->itemByOid(oidForKey(hidden));
    platform::pim::PropValue mark;
    mark.id = ChangeTracker::kExclusionProperty;
    mark.u32 = 1;
    item->setProps({mark});
    ASSERT_TRUE(item->save());

    const auto all = exported(*tool.store());
    const auto keys = StoreSession::keys(tool.store()->allItems());
    ASSERT_EQ(all.size(), keys.size());
    for (const auto& key : keys) EXPECT_EQ(all.at(key), tool.text(key)) << key;
    EXPECT_EQ(all.count(hidden), 0u);
    // A tool's listing takes no backup; only a sync's slow sync does.
    EXPECT_TRUE(backup::listBackups("Contacts").empty());
}

TEST_F(ContactBackupTest, ARestoreIsWholeAndTheNextSyncSendsIt) {
    std::vector<std::string> keys;
    {
        // A first sync: the slow sync's full list backs the folder up first, and the run records
        // what the server took.
        StoreSession tool(kKindContacts, ChangeRecording::Discard);
        for (const char* n : {"Ade", "Bell", "Cole", "Dunn"}) keys.push_back(tool.add(card(n)));
        StoreSession run(kKindContacts);
        run.store()->allItems()->release();
        for (const auto& key : keys) run.store()->itemAcknowledged(key);
    }
    const auto listed = backup::listBackups("Contacts");
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].header->reason, backup::BackupReason::FirstSync);
    const backup::Backup taken = newestBackup();
    ASSERT_EQ(taken.items.size(), 4u);

    StoreSession tool(kKindContacts, ChangeRecording::Discard);
    DataStore& store = *tool.store();
    ASSERT_TRUE(store.deleteItem(keys[0]));
    ASSERT_TRUE(tool.replace(keys[1], card("Bellows")));
    const std::string added = tool.add(card("Eve"));
    const auto before = exported(store);

    // A write the store refuses (here: a text that is no vCard) undoes the deletes and edits made
    // before it.
    backup::Backup broken = taken;
    broken.items.push_back({"99", "not a card"});
    const backup::RestoreOutcome refused = backup::restoreStore(store, broken);
    EXPECT_FALSE(refused.ok);
    EXPECT_FALSE(refused.problem.empty());
    EXPECT_EQ(exported(store), before);

    const backup::RestoreOutcome outcome = backup::restoreStore(store, taken);
    ASSERT_TRUE(outcome.ok) << outcome.problem;
    EXPECT_EQ(outcome.recreated, 1u);
    EXPECT_EQ(outcome.replaced, 1u);
    EXPECT_EQ(outcome.deleted, 1u);
    EXPECT_EQ(outcome.unchanged, 2u);
    const auto after = exported(store);
    ASSERT_EQ(after.size(), 4u);
    EXPECT_EQ(after.count(added), 0u);
    for (std::size_t i = 1; i < 4; ++i) EXPECT_EQ(after.at(keys[i]), taken.items[i].text);
    std::string recreated;
    for (const auto& [key, text] : after) {
        if (std::find(keys.begin(), keys.end(), key) == keys.end()) recreated = key;
    }
    ASSERT_FALSE(recreated.empty());
    EXPECT_NE(after.at(recreated).find("N:Ade;Given"), std::string::npos);

    // The next sync: the contact made again is new, the one changed back updated, the lost key deleted.
    StoreSession next(kKindContacts);
    SyncAnchor a, b;
    EXPECT_EQ(StoreSession::keys(next.store()->newItems(a, b)), std::vector<std::string>{recreated});
    EXPECT_EQ(StoreSession::keys(next.store()->updatedItems(a, b)), std::vector<std::string>{keys[1]});
    EXPECT_EQ(StoreSession::keys(next.store()->deletedItems(a, b)), std::vector<std::string>{keys[0]});
}

}  // namespace
}  // namespace orvale

// The contacts store as the engine drives it: through the factory, the kind and the store's slots,
// on a real device store in a fresh root.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/pim/PimSession.h"
#include "stores/DataStoreKind.h"
#include "stores/ItemList.h"
#include "stores/KindCode.h"
#include "stores/StoreItem.h"
#include "stores/KindRegistry.h"
#include "stores/SyncAnchor.h"
#include "stores/contacts/ContactsStore.h"
#include "support/StoreSession.h"
#include "support/TempDeviceRoot.h"

namespace orvale {
namespace {

namespace pim = platform::pim;
using test::StoreSession;

const std::string kOnlyVersion = "BEGIN:VCARD\r\nVERSION:2.1\r\nEND:VCARD\r\n";

std::string card(const std::string& fn) { return "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:" + fn + "\r\nEND:VCARD\r\n"; }

// Other tests of this program may register a kind of their own under the contacts code.
struct RealContactsKind {
    RealContactsKind() { registerKind(kKindContacts, contacts::makeContactsKind); }
};

class ContactsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(store, nullptr); }

    RealContactsKind real;
    test::TempDeviceRoot root;
    StoreSession session{1};
    DataStore* store = session.store();
};

TEST_F(ContactsStoreTest, KindIsRegisteredUnderItsNameCodeAndContentType) {
    for (DataStoreKind* kind :
         {session.factory().createKindById(kKindContacts), session.factory().createKindByName("My Contacts and Tasks")}) {
        ASSERT_NE(kind, nullptr);
        EXPECT_EQ(kind->kindName(), "WinMobileContacts");
        EXPECT_EQ(kind->sourceUri(), "./WinMobileContacts");
        EXPECT_EQ(kind->contentType().mimeType(), "text/x-vcard");
        EXPECT_EQ(kind->contentType().version(), "2.1");
        delete kind;  // a kind that opened no store is its creator's
    }
    EXPECT_EQ(store->kind()->kindName(), "WinMobileContacts");
    StoreItem* item = store->newItem();
    EXPECT_EQ(item->contentType().mimeType(), "text/x-vcard");
    EXPECT_EQ(item->contentType().version(), "2.1");
    item->release();
}

TEST_F(ContactsStoreTest, ItemsAreAddedReadReplacedAndDeletedByKey) {
    StoreItem* fresh = store->newItem();
    EXPECT_EQ(fresh->key(), "");
    EXPECT_EQ(fresh->dataSize(), 0u);
    EXPECT_FALSE(fresh->setData("BEGIN:VCALENDAR\r\nVERSION:1.0\r\nEND:VCALENDAR\r\n"));
    EXPECT_FALSE(fresh->setData("not a vcard at all"));
    EXPECT_EQ(fresh->key(), "");  // nothing was created
    fresh->release();
    EXPECT_TRUE(StoreSession::keys(store->allItems()).empty());

    const std::string key = session.add(card("Ann"));
    ASSERT_NE(key, "");
    EXPECT_EQ(session.text(key), "BEGIN:VCARD\r\nFN:Ann\r\nUID:" + key + "\r\nVERSION:2.1\r\nEND:VCARD\r\n");
    ASSERT_TRUE(session.replace(key, card("Anna")));
    EXPECT_NE(session.text(key).find("FN:Anna\r\n"), std::string::npos);

    EXPECT_TRUE(store->deleteItem(key));
    EXPECT_FALSE(store->deleteItem(key));
    // A key that names nothing reads as a bare vCard, and writing it is refused, not reported done.
    StoreItem* gone = store->itemByKey(key);
    EXPECT_EQ(gone->key(), key);
    EXPECT_EQ(std::string(gone->data()), kOnlyVersion);
    EXPECT_FALSE(gone->setData(card("Ghost")));
    gone->release();
    EXPECT_TRUE(StoreSession::keys(store->allItems()).empty());
}

TEST_F(ContactsStoreTest, KeysOfOtherFoldersAndJunkTouchNothing) {
    auto event = pim::Session::current()->createItem(pim::kAppointment);
    ASSERT_TRUE(event->save());
    const std::string eventKey = keyForOid(event->oid());
    const std::string contactKey = session.add(card("Ann"));
    for (const std::string& key : {eventKey, std::string("junk"), std::string("")}) {
        EXPECT_FALSE(store->deleteItem(key)) << key;
    }
    EXPECT_NE(pim::Session::current()->itemByOid(event->oid()), nullptr);
    EXPECT_EQ(session.text(eventKey), kOnlyVersion);  // an event is no contact
    EXPECT_FALSE(session.replace(eventKey, card("Over the event")));
    EXPECT_EQ(StoreSession::keys(store->allItems()), std::vector<std::string>{contactKey});
}

// A slow sync sends the full list: every contact in collection order, less those marked as excluded.
TEST_F(ContactsStoreTest, FullListLeavesOutExcludedContacts) {
    const std::string first = session.add(card("Ann")), hidden = session.add(card("Bo")),
                      last = session.add(card("Cy"));
    auto item = pim::Session::current()->itemByOid(oidForKey(hidden));
    ASSERT_TRUE(item);
    pim::PropValue mark;
    mark.id = 0x001B0013;
    mark.u32 = 1;
    item->setProps({mark});
    ASSERT_TRUE(item->save());
    EXPECT_EQ(StoreSession::keys(store->allItems()), (std::vector<std::string>{first, last}));
}

TEST_F(ContactsStoreTest, AllItemsSkipsExcludedContactsInCollectionOrder) {
    const std::string a = session.add(card("Ann")), b = session.add(card("Bob")), c = session.add(card("Cid"));
    auto hidden = pim::Session::current()->itemByOid(oidForKey(b));
    pim::PropValue flag;
    flag.id = 0x001B0013;
    flag.u32 = 1;
    hidden->setProps({flag});
    ASSERT_TRUE(hidden->save());
    ItemList* list = store->allItems();
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(StoreSession::keys(list), (std::vector<std::string>{a, c}));
}

TEST_F(ContactsStoreTest, AnchorsLiveInABareFileInTheDeviceRoot) {
    SyncAnchor first("keep", "me", 1);
    store->loadAnchor(first);
    EXPECT_EQ(first.getRemoteLabel(), "");  // no file: a slow sync is due

    store->saveAnchor(SyncAnchor("1700000000", "srv-7", 1700000000));
    EXPECT_EQ(test::readFileBytes(root.path() / "Anchor_Contacts"), "1700000000:srv-7:1700000000");
    SyncAnchor loaded;
    store->loadAnchor(loaded);
    EXPECT_EQ(loaded.getLabel(), "1700000000");
    EXPECT_EQ(loaded.getRemoteLabel(), "srv-7");
    EXPECT_EQ(loaded.getTime(), 1700000000);

    test::writeFileBytes(root.path() / "Anchor_Contacts", "\nsecond line:x:5");
    store->loadAnchor(loaded);
    EXPECT_EQ(loaded.getRemoteLabel(), "");
    // A file that does not read as an anchor means a slow sync, never a folder that cannot sync.
    for (const char* unreadable : {"no colons", "L:2026-01-05T10:00:00Z:1700000000", "::", "\\"}) {
        test::writeFileBytes(root.path() / "Anchor_Contacts", unreadable);
        store->loadAnchor(loaded);
        EXPECT_EQ(loaded.getRemoteLabel(), "") << unreadable;
    }

    // Whatever bytes the server sends as its anchor come back as they were.
    const std::string hostile[] = {"2026-01-05T10:00:00Z", "a\nb\r\nc", "back\\slash:\\", std::string("nul\0:", 5)};
    for (const std::string& remote : hostile) {
        store->saveAnchor(SyncAnchor("1700000000", remote, 1700000000));
        store->loadAnchor(loaded);
        EXPECT_EQ(loaded.getRemoteLabel(), remote);
        EXPECT_EQ(loaded.getTime(), 1700000000);
    }
}

TEST(ContactsStoreCounting, AListKeepsItsStoreAndTheStoreItsKind) {
    const RealContactsKind real;
    test::TempDeviceRoot root;
    DataStoreFactory factory;
    DataStore* store = factory.createKindById(kKindContacts)->openStore(nullptr);
    ItemList* list = store->allItems();
    store->addRef();
    store->release();
    store->release();
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(list->next(), nullptr);
    list->release();  // frees the store and then the kind; the sanitizer build sees any leak or reuse
}

}  // namespace
}  // namespace orvale

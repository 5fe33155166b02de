// Which edits of a contact the next sync sees: the change tracker's view through the contacts
// store's property table (dates as times, the picture as exported).
#include <gtest/gtest.h>

#include <string>

#include "platform/Base64.h"
#include "stores/KindCode.h"
#include "stores/KindRegistry.h"
#include "stores/SyncAnchor.h"
#include "stores/contacts/ContactsStore.h"
#include "support/StoreSession.h"
#include "support/TempDeviceRoot.h"

namespace orvale {
namespace {

using test::StoreSession;

std::string card(const std::string& lines) {
    return "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Ann\r\n" + lines + "END:VCARD\r\n";
}
std::string photo(const std::string& bytes) {
    return "PHOTO;ENCODING=BASE64;TYPE=JPEG:" + platform::base64Encode(bytes) + "\r\n";
}

TEST(ContactChanges, EditsAreSeenExactlyWhereTheExportChanges) {
    registerKind(kKindContacts, contacts::makeContactsKind);  // not a test kind of another test
    const std::string big(70'000, 'p');
    std::string bigChangedLate = big;
    bigChangedLate[65'000] = 'q';  // exported too: pictures travel whole
    std::string bigChangedEarly = big;
    bigChangedEarly[100] = 'q';
    struct Case {
        const char* what;
        std::string before, after;
        bool updated;
    };
    const Case cases[] = {
        {"same text", card("NOTE:x\r\n"), card("NOTE:x\r\n"), false},
        {"birthday", card("BDAY:19700101\r\n"), card("BDAY:19700102\r\n"), true},
        {"anniversary", card("X-ORVALE-ANNIVERSARY:20000101\r\n"), card("X-ORVALE-ANNIVERSARY:20010101\r\n"), true},
        {"birthday as the no-date value", card(""), card("BDAY:45010101\r\n"), false},
        {"a letter above Latin-1", card("NOTE;CHARSET=UTF-8:Anna\r\n"), card("NOTE;CHARSET=UTF-8:\xC5\x81nna\r\n"), true},
        {"third e-mail", card("EMAIL:a@x\r\nEMAIL:b@x\r\n"), card("EMAIL:a@x\r\nEMAIL:b@x\r\nEMAIL:c@x\r\n"), true},
        {"a fourth e-mail the device cannot hold", card("EMAIL:a\r\nEMAIL:b\r\nEMAIL:c\r\n"),
         card("EMAIL:a\r\nEMAIL:b\r\nEMAIL:c\r\nEMAIL:d\r\n"), false},
        {"a telephone type the device has no field for", card(""), card("TEL;VOICE:123\r\n"), false},
        {"picture added", card(""), card(photo("\xFF\xD8\xFF" "abc")), true},
        {"picture removed", card(photo("\xFF\xD8\xFF" "abc")), card(""), true},
        {"picture changed", card(photo(big)), card(photo(bigChangedEarly)), true},
        {"picture changed past its first 64,000 bytes", card(photo(big)), card(photo(bigChangedLate)), true},
    };
    for (const Case& c : cases) {
        test::TempDeviceRoot root;
        std::string key;
        {
            StoreSession run(kKindContacts);
            ASSERT_NE(run.store(), nullptr);
            key = run.add(c.before);
            ASSERT_NE(key, "") << c.what;
            // A replace sets every row (unset dates to the no-date value), a create only what it has:
            // both sides of the case are written the same way.
            ASSERT_TRUE(run.replace(key, c.before));
            StoreSession::keys(run.store()->allItems());
            run.store()->itemAcknowledged(key);
        }
        {
            StoreSession edit(kKindContacts, ChangeRecording::Discard);
            ASSERT_TRUE(edit.replace(key, c.after)) << c.what;
        }
        StoreSession next(kKindContacts);
        const SyncAnchor last, now;
        const auto updated = StoreSession::keys(next.store()->updatedItems(last, now));
        EXPECT_EQ(updated, c.updated ? std::vector<std::string>{key} : std::vector<std::string>{}) << c.what;
    }
}

TEST(ContactChanges, AFactoryThatDiscardsLeavesTheDatabaseAsTheLastRunLeftIt) {
    registerKind(kKindContacts, contacts::makeContactsKind);
    test::TempDeviceRoot root;
    const SyncAnchor last, now;
    std::string key;
    {
        StoreSession run(kKindContacts);
        key = run.add(card(""));
        StoreSession::keys(run.store()->allItems());
        run.store()->itemAcknowledged(key);
    }
    const std::string recorded = test::readFileBytes(root.path() / "Contacts.hdb");
    ASSERT_EQ(recorded.size(), 8u);
    {
        StoreSession outside(kKindContacts, ChangeRecording::Discard);
        EXPECT_TRUE(StoreSession::keys(outside.store()->updatedItems(last, now)).empty());  // makes a tracker
        ASSERT_TRUE(outside.replace(key, card("TITLE:Boss\r\n")));
        outside.store()->itemAcknowledged(key);
    }
    EXPECT_EQ(test::readFileBytes(root.path() / "Contacts.hdb"), recorded);
    StoreSession next(kKindContacts);
    EXPECT_EQ(StoreSession::keys(next.store()->updatedItems(last, now)), std::vector<std::string>{key});
}

}  // namespace
}  // namespace orvale

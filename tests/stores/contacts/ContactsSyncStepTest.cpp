// What a sync needs of the contacts store beyond the slots: write groups that a killed process
// leaves whole or not at all, pending maps that live exactly as long as they are needed, and the
// comparison of a server's text with the device's items field for field.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/pim/PimSession.h"
#include "stores/ChangeTracker.h"
#include "stores/DataStore.h"
#include "stores/ItemList.h"
#include "stores/KindCode.h"
#include "stores/KindRegistry.h"
#include "stores/SyncAnchor.h"
#include "stores/contacts/ContactsStore.h"
#include "support/StoreSession.h"
#include "support/TempDeviceRoot.h"

namespace orvale {
namespace {

using test::StoreSession;

std::string card(const std::string& body) { return "BEGIN:VCARD\r\nVERSION:2.1\r\n" + body + "END:VCARD\r\n"; }

struct RealContactsKind {
    RealContactsKind() { registerKind(kKindContacts, contacts::makeContactsKind); }
};

std::size_t itemCount() {
    StoreSession s(kKindContacts, ChangeRecording::Discard);
    return StoreSession::keys(s.store()->allItems()).size();
}

std::vector<DataStore::PendingMap> pendingMaps() {
    StoreSession s(kKindContacts, ChangeRecording::Discard);
    return s.store()->pendingMaps(100).value_or(std::vector<DataStore::PendingMap>{});
}

// Runs `work` in a child process that then dies by SIGKILL, as a sync can at any instant.
void inKilledProcess(const std::function<void(StoreSession&)>& work) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        {
            StoreSession s(kKindContacts, ChangeRecording::Discard);
            work(s);
            ::kill(::getpid(), SIGKILL);
        }
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
}

class ContactsSyncStepTest : public ::testing::Test {
protected:
    RealContactsKind real;
    test::TempDeviceRoot root;
};

TEST_F(ContactsSyncStepTest, AWriteGroupIsKeptWholeOrNotAtAllWhenTheProcessIsKilled) {
    const struct {
        const char* what;
        bool commit;
        std::size_t items, maps;
    } cases[] = {{"killed before the commit", false, 0, 0}, {"killed after the commit", true, 2, 2}};
    for (const auto& c : cases) {
        test::TempDeviceRoot fresh;
        inKilledProcess([&](StoreSession& s) {
            ASSERT_TRUE(s.store()->beginWrites());
            for (const char* name : {"A", "B"}) {
                const std::string key = s.add(card(std::string("FN:") + name + "\r\n"));
                ASSERT_FALSE(key.empty());
                ASSERT_TRUE(s.store()->notePendingMap(std::string("srv-") + name, key));
            }
            EXPECT_FALSE(s.add("not a vCard").size()) << "a refused item is undone alone";
            if (c.commit) {
                ASSERT_TRUE(s.store()->commitWrites());
            }
        });
        EXPECT_EQ(itemCount(), c.items) << c.what;
        EXPECT_EQ(pendingMaps().size(), c.maps) << c.what;
    }
}

TEST_F(ContactsSyncStepTest, PendingMapsOutliveACompletedSessionUntilTheChangeDatabaseIsWritten) {
    std::string key;
    {
        StoreSession run(kKindContacts);
        const SyncAnchor last, next;
        EXPECT_TRUE(StoreSession::keys(run.store()->newItems(last, next)).empty());  // the run's tracker
        ASSERT_TRUE(run.store()->beginWrites());
        key = run.add(card("FN:From the server\r\n"));
        ASSERT_TRUE(run.store()->notePendingMap("srv-1", key));
        ASSERT_TRUE(run.store()->commitWrites());
        run.store()->dropPendingMaps();
        const auto kept = run.store()->pendingMaps(10);
        ASSERT_TRUE(kept && kept->size() == 1);
        EXPECT_EQ(kept->front().serverId, "srv-1");
        EXPECT_EQ(kept->front().localKey, key);
    }
    EXPECT_TRUE(pendingMaps().empty()) << "gone once the run's factory recorded the item";
    StoreSession next(kKindContacts);
    const SyncAnchor last, now;
    EXPECT_TRUE(StoreSession::keys(next.store()->newItems(last, now)).empty()) << "and the item is recorded";

    // Without a change tracker nothing waits: they go at once.
    ASSERT_TRUE(next.store()->notePendingMap("srv-2", key));
    StoreSession tool(kKindContacts, ChangeRecording::Discard);
    tool.store()->dropPendingMaps();
    EXPECT_TRUE(tool.store()->pendingMaps(10)->empty());
}

TEST_F(ContactsSyncStepTest, ServerTextsMatchTheItemsThatHoldTheSameFieldsInFolderOrder) {
    StoreSession s(kKindContacts);
    const std::string person = "N:Berg;Karin\r\nTEL;WORK:+46 31 1\r\nEMAIL:karin@example.com\r\nNOTE:Met in G=C3=B6teborg\r\n";
    const std::string first = s.add(card(person));
    const std::string other = s.add(card("N:Holm;Per\r\n"));
    const std::string second = s.add(card("FN:placeholder\r\n"));
    // Written by a replace, which sets every row: the same fields all the same.
    ASSERT_TRUE(s.replace(second, card(person)));
    const std::string excluded = s.add(card(person));
    ASSERT_FALSE(first.empty() || other.empty() || second.empty() || excluded.empty());
    {
        auto item = platform::pim::Session::current()->itemByOid(oidForKey(excluded));
        platform::pim::PropValue mark;
        mark.id = ChangeTracker::kExclusionProperty;
        mark.u32 = 1;
        item->setProps({mark});
        ASSERT_TRUE(item->save());
    }

    const struct {
        const char* what;
        std::string text;
        std::vector<std::string> keys;
    } cases[] = {
        {"the same text", card(person), {first, second}},
        {"other line order, a UID, a quoted-printable value",
         "BEGIN:VCARD\r\nUID:srv-9\r\nEMAIL:karin@example.com\r\nN:Berg;Karin\r\n"
         "NOTE;ENCODING=QUOTED-PRINTABLE:Met in G=3DC3=3DB6teborg\r\nTEL;WORK:+46 31 1\r\nVERSION:2.1\r\nEND:VCARD\r\n",
         {first, second}},
        {"one field differs", card("N:Berg;Karin\r\nTEL;WORK:+46 31 2\r\nEMAIL:karin@example.com\r\nNOTE:Met in G=C3=B6teborg\r\n"), {}},
        {"a field more", card(person + "TITLE:Boss\r\n"), {}},
        {"the other contact", card("N:Holm;Per\r\n"), {other}},
        {"not a vCard", "hello", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(s.store()->keysWithContent(c.text), c.keys) << c.what;
}

}  // namespace
}  // namespace orvale

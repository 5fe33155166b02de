// The device store over an Evolution Data Server of the test's own (scripts/eds-session.sh). The
// address book is read and written here through EDS's own API too, as another program would.
#include <gtest/gtest.h>
#include <libebook/libebook.h>
#include <libecal/libecal.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <thread>

#include "platform/Clock.h"
#include "platform/DevicePaths.h"
#include "platform/SystemTime.h"
#include "platform/TextConversion.h"
#include "platform/pim/PimSession.h"
#include "platform/pim/StoreChoice.h"
#include "platform/pim/eds/EdsIdentity.h"
#include "support/PinnedZone.h"
#include "support/TempDeviceRoot.h"

extern char** environ;

using namespace orvale::platform::pim;

namespace {

// The system address book, as another program sees it.
class Book {
public:
    Book() {
        GError* error = nullptr;
        registry_ = e_source_registry_new_sync(nullptr, &error);
        EXPECT_TRUE(registry_) << (error ? error->message : "");
        ESource* source = e_source_registry_ref_builtin_address_book(registry_);
        client_ = E_BOOK_CLIENT(e_book_client_connect_sync(source, 2, nullptr, &error));
        g_object_unref(source);
        EXPECT_TRUE(client_) << (error ? error->message : "");
    }
    ~Book() {
        g_object_unref(client_);
        g_object_unref(registry_);
    }
    std::set<std::string> uids() {
        EBookQuery* all = e_book_query_any_field_contains("");
        gchar* sexp = e_book_query_to_string(all);
        GSList* found = nullptr;
        EXPECT_TRUE(e_book_client_get_contacts_uids_sync(client_, sexp, &found, nullptr, nullptr));
        std::set<std::string> out;
        for (GSList* u = found; u; u = u->next) out.insert(static_cast<char*>(u->data));
        g_slist_free_full(found, g_free);
        g_free(sexp);
        e_book_query_unref(all);
        return out;
    }
    void clear() {
        GSList* list = nullptr;
        const auto all = uids();
        for (const auto& u : all) list = g_slist_prepend(list, const_cast<char*>(u.c_str()));
        if (list) {
            EXPECT_TRUE(e_book_client_remove_contacts_sync(client_, list, 0, nullptr, nullptr));
        }
        g_slist_free(list);
    }
    void add(const std::string& uid, const std::string& fullName) {
        EContact* c = e_contact_new();
        e_contact_set(c, E_CONTACT_UID, uid.c_str());
        e_contact_set(c, E_CONTACT_FULL_NAME, fullName.c_str());
        EXPECT_TRUE(e_book_client_add_contact_sync(client_, c, 0, nullptr, nullptr, nullptr));
        g_object_unref(c);
    }
    void remove(const std::string& uid) {
        EXPECT_TRUE(e_book_client_remove_contact_by_uid_sync(client_, uid.c_str(), 0, nullptr, nullptr));
    }
    // A field as EDS holds it; empty when the contact or field is missing.
    std::string field(const std::string& uid, EContactField f) {
        EContact* c = nullptr;
        if (!e_book_client_get_contact_sync(client_, uid.c_str(), &c, nullptr, nullptr)) return {};
        const char* v = static_cast<const char*>(e_contact_get_const(c, f));
        std::string out = v ? v : "";
        g_object_unref(c);
        return out;
    }

private:
    ESourceRegistry* registry_ = nullptr;
    EBookClient* client_ = nullptr;
};

struct EdsStoreTest : ::testing::Test {
    orvale::test::TempDeviceRoot root;
    Book book;
    void SetUp() override {
        book.clear();
        StoreChoice choice;
        choice.kind = StoreChoice::Kind::Eds;
        ASSERT_TRUE(choice.save());
    }
    void logOn() {
        std::string why;
        ASSERT_TRUE(Session::logOn(&why)) << why;
        ASSERT_TRUE(Session::current()->overEds());
    }
    void TearDown() override { Session::logOff(); }
    Session& s() { return *Session::current(); }
    std::string uidOf(uint32_t oid) {
        auto ids = eds::Identity::open(orvale::platform::hostPath("eds-ids.db").string(), nullptr);
        auto e = ids ? ids->byOid(oid) : std::nullopt;
        return e ? e->uid : std::string();
    }
};

PropValue text(uint32_t id, const std::u16string& t) {
    PropValue v;
    v.id = id;
    v.text = t;
    return v;
}

TEST_F(EdsStoreTest, AContactsPropertiesComeBackAndOtherProgramsSeeTheirOwnFields) {
    logOn();
    std::vector<PropValue> props;
    // Every text property of the contact table, the two dates, and properties EContact has no
    // field for (an instant-messaging address, a number of the store's own).
    const uint32_t texts[] = {0x0080001F, 0x0081001F, 0x0082001F, 0x0083001F, 0x0084001F, 0x0085001F, 0x0086001F,
                              0x008A001F, 0x008B001F, 0x008C001F, 0x008D001F, 0x008E001F, 0x008F001F, 0x0090001F,
                              0x0091001F, 0x0092001F, 0x0093001F, 0x0096001F, 0x0097001F, 0x0098001F, 0x0099001F,
                              0x009A001F, 0x009B001F, 0x009C001F, 0x009D001F, 0x009E001F, 0x009F001F, 0x00A0001F,
                              0x00A1001F, 0x00A5001F, 0x00A6001F, 0x00A7001F, 0x00A8001F, 0x00A9001F, 0x00AA001F,
                              0x00AB001F, 0x00C1001F, 0x00C2001F, 0x00C3001F, 0x00C4001F, 0x00C5001F, 0x00D1001F,
                              0x00D5001F, 0x00E1001F, 0x00E4001F, 0x101D001F, 0x101F001F};
    for (uint32_t id : texts) props.push_back(text(id, u"v\u00e9" + std::u16string(1, static_cast<char16_t>(u'A' + id % 26))));
    props.push_back(text(0x00C1001F, u"Main St\r\nBuilding 4"));
    props.push_back(text(0x101F001F, u"line one\r\nline; two, \"three\""));
    props.push_back(text(0x0090001F, u"ann@example.org"));
    props.push_back(text(0x0096001F, u"+44 1234"));
    PropValue birthday, mark;
    birthday.id = 0x00F00040;
    birthday.fileTime = 125911584000000000ull;  // 2000-01-01
    mark.id = 0x001B0013;
    mark.u32 = 7;
    props.push_back(birthday);
    props.push_back(mark);

    auto c = s().createItem(kContact);
    c->setProps(props);
    const std::string picture("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    c->setPicture(picture);
    ASSERT_TRUE(c->save()) << s().lastError();
    const uint32_t oid = c->oid();
    ASSERT_NE(oid, 0u);
    EXPECT_TRUE(s().writtenHere(oid));

    Session::logOff();
    logOn();
    auto back = s().itemByOid(oid);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->folder(), kFolderContacts);
    EXPECT_EQ(back->picture(), picture);
    for (const auto& want : c->heldProps()) {
        const PropValue got = back->getProp(want.id);
        EXPECT_EQ(got.flags, 0) << std::hex << want.id;
        EXPECT_EQ(got.text, want.text) << std::hex << want.id;
        EXPECT_EQ(got.u32, want.u32) << std::hex << want.id;
        EXPECT_EQ(got.fileTime, want.fileTime) << std::hex << want.id;
    }
    const std::string uid = uidOf(oid);
    EXPECT_EQ(book.field(uid, E_CONTACT_EMAIL_1), "ann@example.org");
    EXPECT_EQ(book.field(uid, E_CONTACT_PHONE_MOBILE), "+44 1234");
    EXPECT_EQ(book.field(uid, E_CONTACT_FULL_NAME), "v\u00e9" + std::string(1, static_cast<char>('A' + 0x0080001F % 26)));
}

// A run must be able to tell an address book removed in another program from an empty one.
TEST_F(EdsStoreTest, AFolderWhoseSourceIsGoneIsNamedAndItsReadsFailRatherThanComeBackEmpty) {
    StoreChoice choice;
    choice.kind = StoreChoice::Kind::Eds;
    choice.contactsSource = "gone-book";
    ASSERT_TRUE(choice.save());
    logOn();
    std::string why;
    EXPECT_FALSE(s().reachFolder(kFolderContacts, &why));
    EXPECT_NE(why.find("\"gone-book\""), std::string::npos) << why;
    EXPECT_FALSE(s().itemsWithout(kFolderContacts, 0));
    EXPECT_TRUE(s().reachFolder(kFolderTasks, &why)) << why;
}

TEST_F(EdsStoreTest, ItemsMadeOrRemovedByAnotherProgramAreNewOrGoneAndKnownOnesKeepTheirIdentifier) {
    logOn();
    auto mine = s().createItem(kContact);
    mine->setProps({text(0x0080001F, u"Mine")});
    ASSERT_TRUE(mine->save());
    Session::logOff();

    book.add("other-program-1", "Theirs");
    logOn();
    auto listed = s().defaultFolderItems(kFolderContacts);
    ASSERT_TRUE(listed);
    ASSERT_EQ(listed->count(), 2);
    EXPECT_EQ(listed->oidAt(1), mine->oid());
    const uint32_t theirs = listed->oidAt(2);
    EXPECT_FALSE(s().writtenHere(theirs));
    EXPECT_EQ(s().itemByOid(theirs)->getProp(0x0080001F).text, u"Theirs");
    Session::logOff();

    book.remove("other-program-1");
    logOn();
    listed = s().defaultFolderItems(kFolderContacts);
    ASSERT_EQ(listed->count(), 1);
    EXPECT_EQ(listed->oidAt(1), mine->oid());
    EXPECT_FALSE(s().itemByOid(theirs));
}

TEST_F(EdsStoreTest, ABatchWritesItsItemsAndPendingMapsTogetherAndAFolderReadSeesThemAll) {
    logOn();
    constexpr int kCount = 250;
    ASSERT_TRUE(s().beginBatch(true));
    std::vector<uint32_t> oids;
    for (int i = 0; i < kCount; ++i) {
        auto c = s().createItem(kContact);
        c->setProps({text(0x0080001F, u"Person " + orvale::platform::utf8ToUtf16(std::to_string(i)))});
        ASSERT_TRUE(c->save());
        oids.push_back(c->oid());
        ASSERT_TRUE(s().notePendingMap(kFolderContacts, "srv-" + std::to_string(i), c->oid()));
    }
    // Read back inside the batch before EDS has it: the batch's own write.
    EXPECT_EQ(s().itemByOid(oids[3])->getProp(0x0080001F).text, u"Person 3");
    ASSERT_TRUE(s().commitBatch()) << s().lastError();
    EXPECT_EQ(book.uids().size(), static_cast<size_t>(kCount));
    EXPECT_EQ(s().pendingMaps(kFolderContacts, 1000)->size(), static_cast<size_t>(kCount));

    std::vector<uint32_t> visited;
    ASSERT_TRUE(s().visitFolder(kFolderContacts, {0x0080001F}, 0, [&](Item& item) {
        EXPECT_TRUE(item.partial());
        visited.push_back(item.oid());
    }));
    EXPECT_EQ(visited, oids);

    // Changes and removals in one batch.
    ASSERT_TRUE(s().beginBatch());
    auto first = s().itemByOid(oids[0]);
    first->setProps({text(0x0080001F, u"Renamed")});
    ASSERT_TRUE(first->save());
    for (int i = 1; i < 120; ++i) ASSERT_TRUE(s().itemByOid(oids[static_cast<size_t>(i)])->remove());
    ASSERT_TRUE(s().commitBatch()) << s().lastError();
    EXPECT_EQ(book.uids().size(), static_cast<size_t>(kCount - 119));
    EXPECT_EQ(s().itemByOid(oids[0])->getProp(0x0080001F).text, u"Renamed");
    EXPECT_FALSE(s().itemByOid(oids[1]));
}

TEST_F(EdsStoreTest, LogOnSettlesTheWritesADeadRunLeftIntended) {
    // What a run killed between noting its writes and marking them done leaves behind.
    uint32_t neverMade = 0, made = 0, notRemoved = 0, removed = 0;
    {
        auto ids = eds::Identity::open(orvale::platform::hostPath("eds-ids.db").string(), nullptr);
        ASSERT_TRUE(ids);
        auto listed = ids->settleFolder(kFolderContacts, {"stays", "went"});
        ASSERT_TRUE(listed);
        notRemoved = (*listed)[0].oid;
        removed = (*listed)[1].oid;
        ASSERT_TRUE(ids->begin());
        neverMade = *ids->addIntended(kFolderContacts, "orvale-never-made");
        made = *ids->addIntended(kFolderContacts, "orvale-made");
        ASSERT_TRUE(ids->notePendingMap(kFolderContacts, "srv-never", neverMade));
        ASSERT_TRUE(ids->notePendingMap(kFolderContacts, "srv-made", made));
        ASSERT_TRUE(ids->setIntent(notRemoved, eds::Identity::Intent::Remove));
        ASSERT_TRUE(ids->setIntent(removed, eds::Identity::Intent::Remove));
        ASSERT_TRUE(ids->commit());
    }
    book.add("stays", "Stays");
    book.add("orvale-made", "Made");

    logOn();
    auto maps = s().pendingMaps(kFolderContacts, 10);
    ASSERT_TRUE(maps);
    ASSERT_EQ(maps->size(), 1u);
    EXPECT_EQ((*maps)[0].serverId, "srv-made");
    EXPECT_EQ((*maps)[0].oid, made);
    auto listed = s().defaultFolderItems(kFolderContacts);
    ASSERT_TRUE(listed);
    std::set<uint32_t> oids;
    for (int i = 1; i <= listed->count(); ++i) oids.insert(listed->oidAt(i));
    EXPECT_EQ(oids, (std::set<uint32_t>{notRemoved, made}));
    EXPECT_FALSE(s().itemByOid(neverMade));
    EXPECT_FALSE(s().itemByOid(removed));
}

// The child of the kill test: batches of adds with their pending maps, killed somewhere. It writes
// one byte to the descriptor named by ORVALE_EDS_KILL_CHILD as it commits each batch, and 'E' at its
// end, so the parent can aim its kill at the writes (filling a batch takes longest under the
// sanitizers, and writes nothing).
constexpr int kKillRounds = 8;
TEST(EdsKilledRunChild, WritesABatch) {
    const char* progress = getenv("ORVALE_EDS_KILL_CHILD");
    if (progress == nullptr) GTEST_SKIP() << "run by the kill test";
    const int fd = std::atoi(progress);
    std::string why;
    ASSERT_TRUE(Session::logOn(&why)) << why;
    Session& s = *Session::current();
    for (int round = 0; round < kKillRounds; ++round) {
        ASSERT_TRUE(s.beginBatch(true));
        for (int i = 0; i < 150; ++i) {
            auto c = s.createItem(kContact);
            const std::string serverId = "srv-" + std::to_string(round) + "-" + std::to_string(i);
            c->setProps({text(0x0080001F, orvale::platform::utf8ToUtf16(serverId))});
            ASSERT_TRUE(c->save());
            ASSERT_TRUE(s.notePendingMap(kFolderContacts, serverId, c->oid()));
        }
        ASSERT_EQ(write(fd, "b", 1), 1);
        ASSERT_TRUE(s.commitBatch());
    }
    Session::logOff();
    ASSERT_EQ(write(fd, "E", 1), 1);
}

TEST_F(EdsStoreTest, ARunKilledAtAnyInstantLeavesEveryStoredItemJournalledOnceAndNoneHalfKnown) {
    std::mt19937 random(20261210);
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    constexpr int kAttempts = 5;
    int midWrite = 0, ended = 0;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        book.clear();
        std::filesystem::remove(orvale::platform::hostPath("eds-ids.db"));
        int pipeFds[2];
        ASSERT_EQ(pipe(pipeFds), 0);
        setenv("ORVALE_EDS_KILL_CHILD", std::to_string(pipeFds[1]).c_str(), 1);
        std::string filter = "--gtest_filter=EdsKilledRunChild.*";
        char* argv[] = {const_cast<char*>(self.c_str()), filter.data(), nullptr};
        pid_t child = 0;
        ASSERT_EQ(posix_spawn(&child, self.c_str(), nullptr, nullptr, argv, environ), 0);
        unsetenv("ORVALE_EDS_KILL_CHILD");
        close(pipeFds[1]);
        // The kill lands a random part of a commit's time (150 adds take some tens of ms in EDS)
        // after a random batch's commit began; log-on and EDS's connect before the first take far
        // longer.
        const int batch = static_cast<int>(random() % kKillRounds) + 1;
        char mark = 0;
        for (int begun = 0; begun < batch && read(pipeFds[0], &mark, 1) == 1 && mark == 'b';) ++begun;
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 40000));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        while (read(pipeFds[0], &mark, 1) == 1) ended += mark == 'E';
        close(pipeFds[0]);
        {
            auto ids = eds::Identity::open(orvale::platform::hostPath("eds-ids.db").string(), nullptr);
            ASSERT_TRUE(ids);
            auto intended = ids->intended();
            ASSERT_TRUE(intended);
            if (!intended->empty()) ++midWrite;
        }

        logOn();
        auto maps = s().pendingMaps(kFolderContacts, 100000);
        ASSERT_TRUE(maps);
        std::set<std::string> serverIds;
        std::set<uint32_t> mapped;
        for (const auto& m : *maps) {
            EXPECT_TRUE(serverIds.insert(m.serverId).second);
            mapped.insert(m.oid);
            // Every journalled item is in EDS and holds the item the server sent.
            auto item = s().itemByOid(m.oid);
            ASSERT_TRUE(item) << m.serverId;
            EXPECT_EQ(orvale::platform::utf16ToUtf8(item->getProp(0x0080001F).text), m.serverId);
        }
        // Every item in EDS is journalled: none stored from the server and unknown to it.
        auto listed = s().defaultFolderItems(kFolderContacts);
        ASSERT_TRUE(listed);
        EXPECT_EQ(static_cast<size_t>(listed->count()), maps->size());
        for (int i = 1; i <= listed->count(); ++i) EXPECT_TRUE(mapped.count(listed->oidAt(i))) << i;
        EXPECT_EQ(book.uids().size(), maps->size());
        Session::logOff();
    }
    // Kills that left writes intended and not yet done are the ones that try the recovery.
    EXPECT_GT(midWrite, 0);
    std::cerr << midWrite << " of " << kAttempts << " kills left EDS writes intended, " << ended
              << " came after the child ended\n";
}

}  // namespace

namespace {

// Appointments and tasks go to the system calendar and task list through the same session.
TEST_F(EdsStoreTest, AppointmentsAndTasksAreKeptInTheCalendarAndTaskList) {
    logOn();
    PropValue start, end;
    start.id = kAppointmentStartProp;
    start.fileTime = 133500000000000000ull;
    end.id = kAppointmentEndProp;
    end.fileTime = start.fileTime + 36000000000ull;
    auto a = s().createItem(kAppointment);
    a->setProps({text(0x0020001F, u"Review"), start, end});
    ASSERT_TRUE(a->save()) << s().lastError();
    auto t = s().createItem(kTask);
    t->setProps({text(0x0020001F, u"File taxes")});
    ASSERT_TRUE(t->save()) << s().lastError();
    Session::logOff();
    logOn();
    auto back = s().itemByOid(a->oid());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->getProp(0x0020001F).text, u"Review");
    EXPECT_EQ(back->getProp(kAppointmentStartProp).fileTime, start.fileTime);
    auto task = s().itemByOid(t->oid());
    ASSERT_TRUE(task);
    EXPECT_EQ(task->getProp(0x0020001F).text, u"File taxes");
    auto listed = s().defaultFolderItems(kFolderCalendar);
    ASSERT_TRUE(listed);
    EXPECT_GE(listed->count(), 1);
}

}  // namespace

namespace {

// VTIMEZONEs another program put in the calendar: Berlin's rules under a plain location name
// (the library's own zones carry a prefix), and a zone no library knows.
constexpr const char* kBerlin =
    "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\n"
    "BEGIN:DAYLIGHT\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\nTZNAME:CEST\r\nDTSTART:19700329T020000\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\nEND:DAYLIGHT\r\n"
    "BEGIN:STANDARD\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\nTZNAME:CET\r\nDTSTART:19701025T030000\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";
constexpr const char* kCustom =
    "BEGIN:VTIMEZONE\r\nTZID:/custom/Zone\r\n"
    "BEGIN:STANDARD\r\nTZOFFSETFROM:+0530\r\nTZOFFSETTO:+0530\r\nDTSTART:19700101T000000\r\nEND:STANDARD\r\n"
    "END:VTIMEZONE\r\n";

void addToSystemCalendar(const std::vector<const char*>& vtimezones, const std::vector<std::string>& events) {
    GError* error = nullptr;
    ESourceRegistry* registry = e_source_registry_new_sync(nullptr, &error);
    ASSERT_TRUE(registry) << (error ? error->message : "");
    ESource* source = e_source_registry_ref_builtin_calendar(registry);
    auto* client = E_CAL_CLIENT(e_cal_client_connect_sync(source, E_CAL_CLIENT_SOURCE_TYPE_EVENTS, 2, nullptr, &error));
    g_object_unref(source);
    g_object_unref(registry);
    ASSERT_TRUE(client) << (error ? error->message : "");
    for (const char* text : vtimezones) {
        ICalTimezone* zone = i_cal_timezone_new();
        ICalComponent* vtimezone = i_cal_component_new_from_string(text);
        EXPECT_TRUE(i_cal_timezone_set_component(zone, vtimezone));
        EXPECT_TRUE(e_cal_client_add_timezone_sync(client, zone, nullptr, nullptr));
        g_object_unref(vtimezone);
        g_object_unref(zone);
    }
    for (const auto& text : events) {
        ICalComponent* comp = i_cal_component_new_from_string(text.c_str());
        EXPECT_TRUE(e_cal_client_create_object_sync(client, comp, E_CAL_OPERATION_FLAG_NONE, nullptr, nullptr, nullptr));
        g_object_unref(comp);
    }
    g_object_unref(client);
}

// Events another program made in zones its calendar defines read at the instant they name, in the
// device's zone, with or without daylight saving time.
TEST_F(EdsStoreTest, EventsInZonesTheCalendarDefinesReadAtTheirInstant) {
    auto event = [](const char* summary, const char* tzid, const char* start) {
        return std::string("BEGIN:VEVENT\r\nUID:zone-") + summary + "\r\nSUMMARY:" + summary + "\r\nDTSTART;TZID=" + tzid +
               ":" + start + "\r\nDURATION:PT1H\r\nEND:VEVENT\r\n";
    };
    addToSystemCalendar({kBerlin, kCustom}, {event("berlin-summer", "Europe/Berlin", "20260715T100000"),
                                             event("berlin-winter", "Europe/Berlin", "20260115T100000"),
                                             event("custom", "/custom/Zone", "20260715T100000")});
    // Each event's instant, as UTC seconds.
    const std::map<std::u16string, std::time_t> utc = {{u"berlin-summer", 1784102400},   // 2026-07-15 08:00Z
                                                       {u"berlin-winter", 1768467600},   // 2026-01-15 09:00Z
                                                       {u"custom", 1784089800}};         // 2026-07-15 04:30Z
    for (const char* tz : {"UTC", "America/New_York"}) {
        SCOPED_TRACE(tz);
        orvale::test::PinnedZone pinned(tz);
        logOn();
        auto items = s().defaultFolderItems(kFolderCalendar);
        ASSERT_TRUE(items);
        int seen = 0;
        for (int i = 1; i <= items->count(); ++i) {
            auto item = items->item(i);
            ASSERT_TRUE(item) << "item " << i << " of " << items->count() << ": " << s().lastError();
            const auto at = utc.find(item->getProp(0x0020001F).text);
            if (at == utc.end()) continue;
            ++seen;
            std::tm tm{};
            localtime_r(&at->second, &tm);
            uint64_t expected = 0;
            ASSERT_TRUE(orvale::platform::systemTimeToFileTime(orvale::platform::systemTimeOfFields(tm), expected));
            EXPECT_EQ(item->getProp(kAppointmentStartProp).fileTime, expected) << orvale::platform::utf16ToUtf8(at->first);
        }
        EXPECT_EQ(seen, 3);
        Session::logOff();
    }
}

}  // namespace

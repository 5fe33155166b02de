// The calendar store through its slots, and the rules behind it that a golden file cannot show:
// which time forms give which stored times, what a received text refuses or replaces, exceptions,
// and the date window. Times are checked in a zone with daylight saving time.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "platform/SystemTime.h"
#include "platform/pim/PimSession.h"
#include "stores/DateTime.h"
#include "stores/DateTimeText.h"
#include "stores/ItemList.h"
#include "stores/KindCode.h"
#include "stores/StoreItem.h"
#include "stores/SyncAnchor.h"
#include "stores/calendar/CalendarDateWindow.h"
#include "stores/calendar/EventExceptions.h"
#include "stores/calendar/EventMapping.h"
#include "stores/vcalendar/VCalendarTime.h"
#include "support/PinnedZone.h"
#include "support/StoreSession.h"
#include "support/TempDeviceRoot.h"

namespace orvale::calendar {
namespace {

namespace pim = platform::pim;
using F = EventField;

std::string event(const std::string& lines, const std::string& outer = "") {
    return "BEGIN:VCALENDAR\r\nVERSION:1.0\r\n" + outer + "BEGIN:VEVENT\r\n" + lines + "END:VEVENT\r\nEND:VCALENDAR\r\n";
}

class CalendarStoreTest : public ::testing::Test {
protected:
    test::TempDeviceRoot root;
    test::PinnedZone zone{"Europe/Berlin"};
};

TEST_F(CalendarStoreTest, TimeFormsGiveTheseStoredTimes) {
    const struct {
        const char* tz;
        const char* lines;
        const char* start;
        const char* end;
        const char* allDay;
    } cases[] = {
        // Dates alone: all-day, the end exclusive; no end, or the same date, is one day.
        {"", "DTSTART:20270410\r\n", "20270410T000000", "20270411T000000", "1"},
        {"", "DTSTART:20270410\r\nDTEND:20270412\r\n", "20270410T000000", "20270412T000000", "1"},
        {"", "DTSTART;VALUE=DATE:20270410\r\nDTEND;VALUE=DATE:20270410\r\n", "20270410T000000", "20270411T000000", "1"},
        // Midnight to the end of a day, or to a midnight: all-day, kept as midnight to midnight.
        {"", "DTSTART:20070101T000000\r\nDTEND:20070101T235959\r\n", "20070101T000000", "20070102T000000", "1"},
        {"", "DTSTART:20070101T000000\r\nDTEND:20070102T000000\r\n", "20070101T000000", "20070102T000000", "1"},
        {"", "DTSTART:20071231T000000\r\nDTEND:20071231T235900\r\n", "20071231T000000", "20080101T000000", "1"},
        // A Z on either makes it timed; UTC read into local time (winter +1, summer +2).
        {"", "DTSTART:20070101T000000Z\r\nDTEND:20070101T235959\r\n", "20070101T010000", "20070101T235959", ""},
        {"", "DTSTART:20070701T080000Z\r\nDTEND:20070701T090000Z\r\n", "20070701T100000", "20070701T110000", ""},
        // A time in a zone five hours west of UTC.
        {"TZ:-05\r\n", "DTSTART:20070101T100000\r\n", "20070101T160000", "", ""},
        {"", "DTSTART:20070101T100000\r\nDTEND:20070102\r\n", "20070101T100000", "20070102T000000", ""},
        // A local midnight without an end is how other writers send a one-day event.
        {"", "DTSTART:20270410T000000\r\n", "20270410T000000", "20270411T000000", "1"},
        {"", "DTSTART:20270410T000000Z\r\n", "20270410T020000", "", ""},
        // DAYLIGHT: its offset within its period, TZ's outside it; bounds in UTC or in local time.
        {"TZ:+01\r\nDAYLIGHT:TRUE;+02;20270328T010000Z;20271031T010000Z;CEST;CET\r\n",
         "DTSTART:20270705T090000\r\nDTEND:20271205T090000\r\n", "20270705T090000", "20271205T090000", ""},
        {"TZ:-05\r\nDAYLIGHT:TRUE;-04;20270314T020000;20271107T020000;EDT;EST\r\n",
         "DTSTART:20270705T090000\r\nDTEND:20271205T090000\r\n", "20270705T150000", "20271205T150000", ""},
        {"TZ:-05\r\nDAYLIGHT:FALSE\r\n", "DTSTART:20270705T090000\r\n", "20270705T160000", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        const auto e = importEvent(event(c.lines, c.tz));
        ASSERT_TRUE(e.has_value());
        EXPECT_EQ(e->fields[F::Start], c.start);
        EXPECT_EQ(e->fields[F::End], c.end);
        EXPECT_EQ(e->fields[F::AllDay], c.allDay);
    }
}

TEST_F(CalendarStoreTest, TextsThatHoldNoReadableEventAreRefusedAndWriteNothing) {
    test::StoreSession s(kKindCalendar);
    ASSERT_NE(s.store(), nullptr);
    const std::string key = s.add(event("SUMMARY:Kept\r\nDTSTART:20070101T100000Z\r\n"));
    ASSERT_FALSE(key.empty());
    const std::string before = s.text(key);
    for (const std::string& bad : {
             std::string("BEGIN:VCARD\r\nVERSION:2.1\r\nN:Doe\r\nEND:VCARD\r\n"),
             std::string("BEGIN:VCALENDAR\r\nVERSION:1.0\r\nBEGIN:VTODO\r\nSUMMARY:x\r\nEND:VTODO\r\nEND:VCALENDAR\r\n"),
             std::string("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:unfinished\r\n"),
             event("SUMMARY:x\r\nDTSTART:tomorrow at ten\r\n"),
             event("SUMMARY:x\r\nDTSTART:20070101T100000Z\r\nDTEND:2007\r\n"),
             // Times the date conversions read but the device cannot hold: before 1601, no real date.
             event("SUMMARY:x\r\nDTSTART:15000412\r\nRRULE:YM1 4 #0\r\n"),
             event("SUMMARY:x\r\nDTSTART:20070101T100000Z\r\nDTEND:16000101T100000Z\r\n"),
             event("SUMMARY:x\r\nDTSTART:20270231T000000\r\nDTEND:20270301T000000\r\n"),
             event("SUMMARY:x\r\nDTSTART:20271301T000000\r\nDTEND:20271302T000000\r\n"),
             // Series the device has no form for: refused whole rather than stored as one event.
             event("SUMMARY:x\r\nDTSTART:20270410T100000\r\nRRULE:YD1 100 #3\r\n"),
             event("SUMMARY:x\r\nDTSTART:20270122T100000\r\nRRULE:MP3 2- FR #17\r\n"),
             event("SUMMARY:x\r\nDTSTART:20270131T100000\r\nRRULE:MD1 1- #4\r\n"),
         }) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(s.add(bad), "");
        EXPECT_FALSE(s.replace(key, bad));
    }
    EXPECT_EQ(s.text(key), before);
    EXPECT_EQ(test::StoreSession::keys(s.store()->allItems()), std::vector<std::string>{key});
}

TEST_F(CalendarStoreTest, AReplaceResetsWhatTheTextLacksAndAttendeesReplaceRecipients) {
    test::StoreSession s(kKindCalendar);
    const std::string key = s.add(event(
        "SUMMARY:Review\r\nLOCATION:Room 1\r\nDTSTART:20070101T100000Z\r\nAALARM:20070101T094500Z\r\n"
        "ATTENDEE:a@x\r\nATTENDEE:b@x\r\nATTENDEE:c@x\r\n"));
    ASSERT_FALSE(key.empty());
    EXPECT_NE(s.text(key).find("AALARM:20070101T094500Z;;;"), std::string::npos);

    // No LOCATION, no alarm, two attendees: the location goes, the reminder is off, two remain.
    ASSERT_TRUE(s.replace(key, event("SUMMARY:Review\r\nDTSTART:20070101T100000Z\r\n"
                                     "ATTENDEE:MAILTO:d@x\r\nATTENDEE:J\xC3\xBCrgen\r\n")));
    std::string text = s.text(key);
    EXPECT_EQ(text.find("LOCATION"), std::string::npos);
    EXPECT_EQ(text.find("ALARM"), std::string::npos);
    auto item = pim::Session::current()->itemByOid(oidForKey(key));
    ASSERT_EQ(item->recipients().size(), 2u);
    EXPECT_EQ(item->recipients()[0].address, u"d@x");
    EXPECT_EQ(item->recipients()[1].name, u"J\u00FCrgen");

    // A text without attendees leaves the recipients as they are.
    ASSERT_TRUE(s.replace(key, event("SUMMARY:Review\r\nDTSTART:20070101T100000Z\r\n")));
    EXPECT_EQ(pim::Session::current()->itemByOid(oidForKey(key))->recipients().size(), 2u);

    // Keys that name no appointment: a contact's, or none at all.
    test::StoreSession contacts(kKindContacts);
    const std::string contact = contacts.add("BEGIN:VCARD\r\nVERSION:2.1\r\nN:Doe\r\nEND:VCARD\r\n");
    EXPECT_FALSE(s.store()->deleteItem(contact));
    EXPECT_FALSE(s.replace(contact, event("SUMMARY:x\r\n")));
    const std::string empty = "BEGIN:VCALENDAR\r\nPRODID:-//Tarnwell Corporation//Orvale for Windows Mobile 1.0.13//EN\r\n"
                              "VERSION:1.0\r\nBEGIN:VEVENT\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    EXPECT_EQ(s.text(contact), empty);
    EXPECT_EQ(s.text("12345"), empty);
    EXPECT_TRUE(s.store()->deleteItem(key));
}

// A weekly meeting on Mondays at 09:00 Berlin time from 2027-01-04; exceptions name occurrences.
class ExceptionDatesTest : public CalendarStoreTest {
protected:
    ExceptionDatesTest() {
        pattern().type = 1;
        pattern().interval = 1;
        pattern().dayOfWeekMask = 2;
        pattern().patternStart = *vcalendar::variantOfText("20270104T000000");
        pattern().startTime = 9.0 / 24;
    }
    ~ExceptionDatesTest() override { pim::Session::logOff(); }

    pim::RecurrencePattern& pattern() { return item->recurrence(); }
    // The local days of the deleted occurrences, as "YYYYMMDD".
    std::vector<std::string> deletedDays() {
        std::vector<std::string> days;
        for (const auto& e : pattern().exceptions) {
            platform::SystemTime st;
            platform::variantTimeToSystemTime(e.originalDate, st);
            char buf[16];
            std::snprintf(buf, sizeof buf, "%04d%02d%02d", st.year, st.month, st.day);
            days.push_back(buf);
        }
        return days;
    }

    bool on = pim::Session::logOn();
    std::unique_ptr<pim::Item> item = pim::Session::current()->createItem(pim::kAppointment);
};

TEST_F(ExceptionDatesTest, ValuesNameOccurrencesInUtcLocalTimeOrByDate) {
    const struct {
        const char* value;
        std::int32_t zoneOffset;
        std::vector<std::string> deleted;
    } cases[] = {
        {"20270111T080000Z", 0, {"20270111"}},                   // UTC, one hour behind Berlin in winter
        {"20270111T090000Z", 0, {}},                             // 10:00 local: no occurrence then
        {"20270111T090000", 0, {"20270111"}},                    // device local time
        {"20270111T030000", -5 * 3600, {"20270111"}},            // the zone of TZ:-05
        {"20270118;20270119;20270125T080000Z", 0, {"20270118", "20270125"}},  // dates; a Tuesday names none
        {"2027011;x;;20270201T080000Z", 0, {"20270201"}},        // odd parts are skipped
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        pattern().exceptions.clear();
        deleteExceptionDates(c.value, *item, vcalendar::SenderZone{c.zoneOffset, {}}, false);
        EXPECT_EQ(deletedDays(), c.deleted);
    }
    // Exported in UTC at the occurrences' time of day, which daylight saving time moves.
    pattern().exceptions.clear();
    deleteExceptionDates("20270118;20270705T070000Z", *item, {}, false);
    EXPECT_EQ(exceptionDatesText(pattern()), "20270118T080000Z;20270705T070000Z");
}

TEST_F(ExceptionDatesTest, LongValuesAreReadUpToTheLastWholeDateThatFits) {
    // After a five-character part, 62 dates of 16 characters and their separators: character 999
    // falls after the first eight of the 59th date, which must not be read as a date alone.
    std::string value = "odd.";
    for (int week = 0; week < 62; ++week) {
        if (!value.empty()) value += ';';
        platform::SystemTime st;
        platform::variantTimeToSystemTime(pattern().patternStart + 7.0 * week + 9.0 / 24, st);
        char local[32];
        std::snprintf(local, sizeof local, "%04d%02d%02dT090000", st.year, st.month, st.day);
        value += datetime::formatUtc(*datetime::parseLocal(local), true);
    }
    deleteExceptionDates(value, *item, {}, false);
    ASSERT_EQ(pattern().exceptions.size(), 58u);
    // Cut right after a whole date, that date still counts.
    pattern().exceptions.clear();
    deleteExceptionDates(value.substr(5 + 17 * 58, 16) + ";" + std::string(999 - 17, 'x') + ";x", *item, {}, false);
    EXPECT_EQ(pattern().exceptions.size(), 1u);
}

TEST_F(CalendarStoreTest, TheDateWindowKeepsEventsNearTodayAndThoseThatStillRecur) {
    pim::Session::logOn();
    const double today = 40000.0;  // 2009-07-06
    const DateWindow window{7, 30};
    auto at = [](double variant) {
        platform::SystemTime st;
        platform::variantTimeToSystemTime(variant, st);
        std::uint64_t ft = 0;
        platform::systemTimeToFileTime(st, ft);
        return ft;
    };
    const struct {
        double start, end;
        int recurrence;  // 0 none, 1 without end, 2 ending 3 days ago, 3 ending in 3 days
        bool inside;
    } cases[] = {
        {today - 10, today - 10 + 0.05, 0, false},  // ended ten days ago
        {today - 6.5, today - 6.4, 0, true},
        {today - 7, today - 7, 0, false},           // exactly B days back: strict
        {today - 8, today - 6.9, 0, true},          // ends inside
        {today + 30.9, today + 31, 0, true},
        {today + 31, today + 31.1, 0, false},       // A + 1 days ahead: strict
        {today - 400, today - 400, 1, true},        // recurs without end
        {today - 400, today - 400, 2, false},
        {today - 400, today - 400, 3, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start - today);
        auto item = pim::Session::current()->createItem(pim::kAppointment);
        pim::PropValue start, end;
        start.id = 0x10420040;
        start.fileTime = at(c.start);
        end.id = 0x10430040;
        end.fileTime = at(c.end);
        item->setProps({start, end});
        if (c.recurrence != 0) {
            item->recurrence().noEnd = c.recurrence == 1;
            item->recurrence().patternEnd = c.recurrence == 2 ? today - 3 : today + 3;
        }
        EXPECT_EQ(insideDateWindow(*item, window, today), c.inside);
    }
    pim::Session::logOff();
}

TEST_F(CalendarStoreTest, EventsOutsideTheWindowAreNotListedAndKeepTheirRecordedState) {
    const std::string today = datetime::formatLocal(*datetime::currentTime(), false).substr(0, 8);
    std::string old, soon;
    {
        test::StoreSession s(kKindCalendar);
        old = s.add(event("SUMMARY:Old\r\nDTSTART:20000101T100000Z\r\nDTEND:20000101T110000Z\r\n"));
        soon = s.add(event("SUMMARY:Soon\r\nDTSTART:" + today + "T100000\r\nDTEND:" + today + "T110000\r\n"));
        EXPECT_EQ(test::StoreSession::keys(s.store()->allItems()).size(), 2u);  // no window, no recording
    }
    setCalendarDateWindow(DateWindow{7, 30});
    {
        // Without a change tracker the store reads the window itself.
        test::StoreSession s(kKindCalendar, ChangeRecording::Discard);
        EXPECT_EQ(test::StoreSession::keys(s.store()->allItems()), std::vector<std::string>{soon});
    }
    {
        test::StoreSession s(kKindCalendar);
        EXPECT_EQ(test::StoreSession::keys(s.store()->allItems()), std::vector<std::string>{soon});
        s.store()->itemAcknowledged(soon);
    }
    {
        // The old one was never recorded: still new, still left out; an edit to the recorded one
        // is listed.
        test::StoreSession s(kKindCalendar);
        EXPECT_TRUE(s.replace(soon, event("SUMMARY:Soon, moved\r\nDTSTART:" + today + "T120000\r\n")));
        EXPECT_EQ(test::StoreSession::keys(s.store()->newItems({}, {})), std::vector<std::string>{});
        EXPECT_EQ(test::StoreSession::keys(s.store()->updatedItems({}, {})), std::vector<std::string>{soon});
    }
    setCalendarDateWindow(std::nullopt);
    {
        test::StoreSession s(kKindCalendar);
        EXPECT_EQ(test::StoreSession::keys(s.store()->newItems({}, {})), std::vector<std::string>{old});
    }
}

TEST_F(CalendarStoreTest, BulkReadsGiveTheItemsTextsAndEqualEventsAreFoundFieldForField) {
    test::StoreSession s(kKindCalendar);
    const std::string weekly = event("SUMMARY:Weekly\r\nDTSTART:20270104T080000Z\r\nDTEND:20270104T090000Z\r\n"
                                     "RRULE:W1 MO #0\r\nEXDATE:20270111T080000Z\r\nATTENDEE:a@x\r\n");
    const std::vector<std::string> keys = {s.add(weekly), s.add(event("SUMMARY:Once\r\nDTSTART:20270410\r\n"))};
    // Lists read the items ahead in bulk, backups export the folder in one read: both as itemByKey.
    std::map<std::string, std::string> listed, exported;
    ItemList* list = s.store()->allItems();
    while (StoreItem* item = list->next()) {
        listed[item->key()] = std::string(item->data(), item->dataSize());
        item->release();
    }
    list->release();
    s.store()->exportItems([&](const std::string& key, const std::string& text) { exported[key] = text; });
    for (const auto& key : keys) {
        EXPECT_EQ(listed[key], s.text(key));
        EXPECT_EQ(exported[key], s.text(key));
    }
    // The same event in other words (local time, the exception as a date) is the same content; a
    // different exception, attendee or time is not.
    EXPECT_EQ(s.store()->keysWithContent(event("SUMMARY:Weekly\r\nDTSTART:20270104T090000\r\nDTEND:20270104T100000\r\n"
                                               "RRULE:W1 MO #0\r\nEXDATE:20270111\r\nATTENDEE:mailto:a@x\r\n")),
              std::vector<std::string>{keys[0]});
    for (const std::string& other : {std::string("EXDATE:20270118T080000Z"), std::string("ATTENDEE:b@x"),
                                     std::string("DTSTART:20270104T081500Z")}) {
        std::string changed = weekly;
        const std::string name = other.substr(0, other.find(':') + 1);
        const std::size_t at = changed.find(name);
        changed.replace(at, changed.find("\r\n", at) - at, other);
        EXPECT_EQ(s.store()->keysWithContent(changed), std::vector<std::string>{}) << other;
    }
}

}  // namespace
}  // namespace orvale::calendar

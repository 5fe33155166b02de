#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "platform/SystemTime.h"
#include "platform/pim/eds/CalendarComponent.h"
#include "support/PinnedZone.h"

using namespace orvale::platform;
using namespace orvale::platform::pim;
using namespace orvale::platform::pim::eds;

namespace {

PropValue text(uint32_t id, std::u16string t) {
    PropValue v;
    v.id = id;
    v.text = std::move(t);
    return v;
}
PropValue num(uint32_t id, uint32_t n) {
    PropValue v;
    v.id = id;
    v.u32 = n;
    return v;
}
SystemTime st(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    SystemTime t;
    t.year = static_cast<uint16_t>(y);
    t.month = static_cast<uint16_t>(mo);
    t.day = static_cast<uint16_t>(d);
    t.hour = static_cast<uint16_t>(h);
    t.minute = static_cast<uint16_t>(mi);
    t.second = static_cast<uint16_t>(s);
    return t;
}
PropValue at(uint32_t id, SystemTime t) {
    PropValue v;
    v.id = id;
    systemTimeToFileTime(t, v.fileTime);
    return v;
}
double variant(SystemTime t) {
    double v = 0;
    systemTimeToVariantTime(t, v);
    return v;
}
PropValue noDate(uint32_t id) { return at(id, st(4501, 1, 1)); }

// A pattern as the device makes one for an appointment from `start` to `end`.
RecurrencePattern pattern(SystemTime start, SystemTime end, const std::function<void(RecurrencePattern&)>& set) {
    RecurrencePattern p = patternStartingAt(variant(start));
    p.setNoEnd(true);
    const double e = variant(end);
    p.endTime = e - static_cast<double>(static_cast<long long>(e));
    set(p);
    return p;
}

ItemContent appointment(SystemTime start, SystemTime end, bool allDay, std::vector<PropValue> more = {}) {
    ItemContent item;
    item.type = kAppointment;
    item.props = {at(kAppointmentStartProp, start), at(kAppointmentEndProp, end), num(0x0044000B, allDay ? 1 : 0)};
    item.props.insert(item.props.end(), more.begin(), more.end());
    return item;
}

void expectSame(const ItemContent& want, const ItemContent& got, const std::string& label) {
    SCOPED_TRACE(label);
    auto sorted = [](std::vector<PropValue> v) {
        std::sort(v.begin(), v.end(), [](const PropValue& a, const PropValue& b) { return a.id < b.id; });
        return v;
    };
    const auto a = sorted(want.props), b = sorted(got.props);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        SCOPED_TRACE(std::to_string(a[i].id));
        EXPECT_EQ(a[i].id, b[i].id);
        EXPECT_EQ(a[i].u32, b[i].u32);
        EXPECT_EQ(a[i].fileTime, b[i].fileTime);
        EXPECT_EQ(a[i].text, b[i].text);
        EXPECT_EQ(a[i].bytes, b[i].bytes);
    }
    EXPECT_EQ(want.type, got.type);
    ASSERT_EQ(want.recipients.size(), got.recipients.size());
    for (std::size_t i = 0; i < want.recipients.size(); ++i) {
        EXPECT_EQ(want.recipients[i].name, got.recipients[i].name);
        EXPECT_EQ(want.recipients[i].address, got.recipients[i].address);
    }
    ASSERT_EQ(want.recurrence.has_value(), got.recurrence.has_value());
    if (!want.recurrence) return;
    const auto &p = *want.recurrence, &q = *got.recurrence;
    EXPECT_EQ(p.type, q.type);
    EXPECT_EQ(p.interval, q.interval);
    EXPECT_EQ(p.noEnd, q.noEnd);
    EXPECT_EQ(p.occurrences, q.occurrences);
    EXPECT_DOUBLE_EQ(p.patternEnd, q.patternEnd);
    EXPECT_DOUBLE_EQ(p.patternStart, q.patternStart);
    EXPECT_NEAR(p.startTime, q.startTime, 1e-9);
    EXPECT_NEAR(p.endTime, q.endTime, 1e-9);
    EXPECT_EQ(p.dayOfWeekMask, q.dayOfWeekMask);
    EXPECT_EQ(p.dayOfMonth, q.dayOfMonth);
    EXPECT_EQ(p.instance, q.instance);
    EXPECT_EQ(p.monthOfYear, q.monthOfYear);
    ASSERT_EQ(p.exceptions.size(), q.exceptions.size());
    for (std::size_t i = 0; i < p.exceptions.size(); ++i)
        EXPECT_NEAR(p.exceptions[i].originalDate, q.exceptions[i].originalDate, 1e-6);
}

struct Case {
    const char* label;
    std::function<ItemContent()> make;
};

std::vector<Case> cases() {
    // Monday 2025-06-02 10:00-11:30, in summer time where there is one.
    const SystemTime s = st(2025, 6, 2, 10), e = st(2025, 6, 2, 11, 30);
    auto recurring = [=](const char* label, std::function<void(RecurrencePattern&)> set) {
        return Case{label, [=] {
                        ItemContent item = appointment(s, e, false);
                        item.recurrence = pattern(s, e, set);
                        return item;
                    }};
    };
    return {
        {"timed, every property",
         [=] {
             ItemContent item = appointment(
                 s, e, false,
                 {text(0x0020001F, u"Review, \u00e9t\u00e9; part 2"), text(0x101F001F, u"line one\nline two \\ end"),
                  text(0x0041001F, u"Room 4"), text(0x101D001F, u"Work, Private"), num(0x00210013, 1),
                  num(0x00450013, 3), num(0x0028000B, 1), num(0x00460013, 15), text(0x0029001F, u""),
                  num(0x002A0013, 0), noDate(0x00520040), num(0x001B0013, 0)});
             item.recipients = {{u"Ann Lee", u"ann@example.org"}, {u"", u"bob@example.org"}};
             return item;
         }},
        {"all-day over two days, ending 23:59:59, reminder off but kept",
         [=] {
             ItemContent item = appointment(st(2025, 12, 24), st(2025, 12, 25, 23, 59, 59), true,
                                            {num(0x00450013, 0), num(0x0028000B, 0), num(0x00460013, 15)});
             item.recurrence = pattern(st(2025, 12, 24), st(2025, 12, 25, 23, 59, 59), [](RecurrencePattern& p) {
                 p.setType(kRecursYearly);
                 p.exceptions.push_back({variant(st(2027, 12, 24)), true});
             });
             return item;
         }},
        {"start in the hour daylight saving time skips", [] { return appointment(st(2025, 3, 30, 2, 30), st(2025, 3, 30, 4), false); }},
        recurring("daily every 2 days, 5 times, an occurrence deleted",
                  [=](RecurrencePattern& p) {
                      p.setType(kRecursDaily);
                      p.setInterval(2);
                      p.setOccurrences(5);
                      p.exceptions.push_back({variant(st(2025, 6, 4, 10)), true});
                  }),
        recurring("every weekday", [](RecurrencePattern& p) {
            p.setType(kRecursDaily);
            p.setInterval(0);
            p.setDayOfWeekMask(0x3E);
        }),
        recurring("weekly Monday and Wednesday until a date",
                  [=](RecurrencePattern& p) {
                      p.setType(kRecursWeekly);
                      p.setDayOfWeekMask(0x0A);
                      p.endByCount = false;
                      p.setPatternEnd(variant(st(2025, 8, 31)));
                  }),
        recurring("monthly on the 31st every 2 months", [](RecurrencePattern& p) {
            p.setType(kRecursMonthly);
            p.setInterval(2);
            p.setDayOfMonth(31);
        }),
        recurring("last Friday of the month", [](RecurrencePattern& p) {
            p.setType(kRecursMonthNth);
            p.setInstance(5);
            p.setDayOfWeekMask(0x20);
        }),
        recurring("second weekday of the month", [](RecurrencePattern& p) {
            p.setType(kRecursMonthNth);
            p.setInstance(2);
            p.setDayOfWeekMask(0x3E);
        }),
        recurring("yearly on the first Monday of June, 3 times", [](RecurrencePattern& p) {
            p.setType(kRecursYearNth);
            p.setInstance(1);
            p.setDayOfWeekMask(0x02);
            p.setOccurrences(3);
        }),
        {"task with every property",
         [] {
             ItemContent item;
             item.type = kTask;
             item.props = {text(0x0020001F, u"File taxes"), text(0x101F001F, u"forms A, B"), text(0x101D001F, u"Home"),
                           num(0x00210013, 3), num(0x00600013, 2), num(0x1065000B, 1), num(0x0028000B, 1),
                           at(kTaskStartProp, st(2025, 10, 1, 12)), at(kTaskDueProp, st(2025, 10, 27, 12)),
                           at(0x10660040, st(2025, 10, 26, 9, 15)), at(0x00640040, st(2025, 10, 26, 2, 30)),
                           text(0x0029001F, u"")};
             item.recurrence = patternStartingAt(variant(st(2025, 10, 1, 12)));
             item.recurrence->setNoEnd(true);
             item.recurrence->setType(kRecursWeekly);
             item.recurrence->setOccurrences(4);
             return item;
         }},
        {"task without dates, low importance, not complete",
         [] {
             ItemContent item;
             item.type = kTask;
             item.props = {text(0x0020001F, u"Someday"), num(0x00600013, 0), num(0x1065000B, 0), num(0x0028000B, 0),
                           noDate(kTaskStartProp), noDate(kTaskDueProp), noDate(0x10660040), noDate(0x00640040),
                           num(0x00210013, 0)};
             return item;
         }},
    };
}

TEST(CalendarComponentTest, DeviceItemsComeBackUnchanged) {
    for (const char* zone : {"UTC", "Europe/Berlin"}) {
        orvale::test::PinnedZone pinned(zone);
        for (const auto& c : cases()) {
            const ItemContent item = c.make();
            const std::string component = toCalendarComponent(item, "uid-1");
            std::string why;
            const auto back = fromCalendarComponent(component, &why);
            ASSERT_TRUE(back) << c.label << ": " << why << "\n" << component;
            // An appointment without a busy status is free to the device, and comes back saying so.
            ItemContent want = item;
            if (item.type == kAppointment &&
                std::none_of(item.props.begin(), item.props.end(), [](const PropValue& v) { return v.id == 0x00450013; }))
                want.props.push_back(num(0x00450013, 0));
            expectSame(want, *back, std::string(zone) + ": " + c.label + "\n" + component);
        }
        // Timed events name the device's zone, so other programs keep them at their local time.
        std::string timed = toCalendarComponent(cases()[0].make(), "u");
        for (std::size_t fold; (fold = timed.find("\r\n ")) != std::string::npos || (fold = timed.find("\n ")) != std::string::npos;)
            timed.erase(fold, timed[fold] == '\r' ? 3 : 2);
        const bool berlin = std::string(zone) != "UTC";
        EXPECT_EQ(timed.find("DTSTART;TZID=/freeassociation.sourceforge.net/Europe/Berlin:20250602T100000") !=
                      std::string::npos, berlin) << timed;
        EXPECT_EQ(timed.find("DTSTART:20250602T100000Z") != std::string::npos, !berlin) << timed;
        EXPECT_EQ(deviceTimezoneComponent().find("TZID:/freeassociation.sourceforge.net/Europe/Berlin") !=
                      std::string::npos, berlin);
    }
}

PropValue prop(const ItemContent& item, uint32_t id) {
    for (const auto& v : item.props)
        if (v.id == id) return v;
    PropValue missing;
    missing.flags = kFlagNotFound;
    return missing;
}

uint64_t ft(SystemTime t) { return at(0, t).fileTime; }

// Components as Evolution writes them: its zone names and VTIMEZONEs, its alarms and statuses.
TEST(CalendarComponentTest, ReadsComponentsOtherProgramsWrite) {
    orvale::test::PinnedZone pinned("Europe/Berlin");
    const std::string newYork =
        "BEGIN:VTIMEZONE\r\nTZID:/freeassociation.sourceforge.net/America/New_York\r\nX-LIC-LOCATION:America/New_York\r\n"
        "BEGIN:DAYLIGHT\r\nTZNAME:EDT\r\nTZOFFSETFROM:-0500\r\nTZOFFSETTO:-0400\r\nDTSTART:19700308T020000\r\n"
        "RRULE:FREQ=YEARLY;BYDAY=2SU;BYMONTH=3\r\nEND:DAYLIGHT\r\nBEGIN:STANDARD\r\nTZNAME:EST\r\nTZOFFSETFROM:-0400\r\n"
        "TZOFFSETTO:-0500\r\nDTSTART:19701101T020000\r\nRRULE:FREQ=YEARLY;BYDAY=1SU;BYMONTH=11\r\nEND:STANDARD\r\n"
        "END:VTIMEZONE\r\n";
    const std::string event =
        "BEGIN:VEVENT\r\nUID:20250101T000000Z-1234-1000-1-0@host\r\nDTSTAMP:20250101T000000Z\r\n"
        "DTSTART;TZID=/freeassociation.sourceforge.net/America/New_York:20250606T090000\r\n"
        "DTEND;TZID=/freeassociation.sourceforge.net/America/New_York:20250606T100000\r\n"
        "SUMMARY:Standup\r\nTRANSP:TRANSPARENT\r\nCLASS:PRIVATE\r\nSEQUENCE:2\r\n"
        "RRULE:FREQ=MONTHLY;BYDAY=-1FR;UNTIL=20251231T140000Z\r\n"
        "EXDATE;TZID=/freeassociation.sourceforge.net/America/New_York:20250725T090000\r\n"
        "ATTENDEE;CN=Ann Lee;ROLE=REQ-PARTICIPANT;PARTSTAT=NEEDS-ACTION:MAILTO:ann@example.org\r\n"
        "CATEGORIES:Work,Meeting\r\nX-EVOLUTION-CALDAV-ETAG:abc\r\n"
        "BEGIN:VALARM\r\nX-EVOLUTION-ALARM-UID:1\r\nACTION:DISPLAY\r\nTRIGGER;VALUE=DURATION;RELATED=START:-PT30M\r\n"
        "DESCRIPTION:Standup\r\nEND:VALARM\r\nEND:VEVENT\r\n";
    std::string why;
    auto item = fromCalendarComponent(event, &why, "BEGIN:VCALENDAR\r\n" + newYork + "END:VCALENDAR\r\n");
    ASSERT_TRUE(item) << why;
    EXPECT_EQ(prop(*item, kAppointmentStartProp).fileTime, ft(st(2025, 6, 6, 15)));  // 09:00 EDT is 15:00 CEST
    EXPECT_EQ(prop(*item, kAppointmentEndProp).fileTime, ft(st(2025, 6, 6, 16)));
    EXPECT_EQ(prop(*item, 0x0044000B).u32, 0u);
    EXPECT_EQ(prop(*item, 0x00450013).u32, 0u);  // free
    EXPECT_EQ(prop(*item, 0x00210013).u32, 2u);  // private
    EXPECT_EQ(prop(*item, 0x0028000B).u32, 1u);
    EXPECT_EQ(prop(*item, 0x00460013).u32, 30u);
    EXPECT_EQ(prop(*item, 0x101D001F).text, u"Work, Meeting");
    ASSERT_EQ(item->recipients.size(), 1u);
    EXPECT_EQ(item->recipients[0].address, u"ann@example.org");
    EXPECT_EQ(item->recipients[0].name, u"Ann Lee");
    ASSERT_TRUE(item->recurrence);
    EXPECT_EQ(item->recurrence->type, kRecursMonthNth);
    EXPECT_EQ(item->recurrence->instance, 5);
    EXPECT_EQ(item->recurrence->dayOfWeekMask, 0x20);
    EXPECT_FALSE(item->recurrence->noEnd);
    EXPECT_EQ(item->recurrence->occurrences, 7);  // the last Fridays of June to December
    ASSERT_EQ(item->recurrence->exceptions.size(), 1u);
    EXPECT_NEAR(item->recurrence->exceptions[0].originalDate, variant(st(2025, 7, 25, 15)), 1e-6);

    // An all-day event with an exclusive date end and a yearly rule, in a whole calendar.
    item = fromCalendarComponent("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:b\r\n"
                                 "DTSTART;VALUE=DATE:20250704\r\nDTEND;VALUE=DATE:20250705\r\n"
                                 "RRULE:FREQ=YEARLY\r\nEXDATE;VALUE=DATE:20270704\r\nSUMMARY:Holiday\r\n"
                                 "END:VEVENT\r\nEND:VCALENDAR\r\n",
                                 &why);
    ASSERT_TRUE(item) << why;
    EXPECT_EQ(prop(*item, 0x0044000B).u32, 1u);
    EXPECT_EQ(prop(*item, 0x00450013).u32, 2u);  // no TRANSP: busy
    EXPECT_EQ(prop(*item, kAppointmentStartProp).fileTime, ft(st(2025, 7, 4)));
    EXPECT_EQ(prop(*item, kAppointmentEndProp).fileTime, ft(st(2025, 7, 5)));
    ASSERT_TRUE(item->recurrence);
    EXPECT_EQ(item->recurrence->type, kRecursYearly);
    EXPECT_EQ(item->recurrence->monthOfYear, 7);
    EXPECT_EQ(item->recurrence->dayOfMonth, 4);
    ASSERT_EQ(item->recurrence->exceptions.size(), 1u);
    EXPECT_NEAR(item->recurrence->exceptions[0].originalDate, variant(st(2027, 7, 4)), 1e-6);

    // A completed task with a date due, a priority and an alarm counted back from the due date.
    item = fromCalendarComponent("BEGIN:VTODO\r\nUID:c\r\nSUMMARY:Call\r\nDUE;VALUE=DATE:20250310\r\n"
                                 "STATUS:COMPLETED\r\nPERCENT-COMPLETE:100\r\nCOMPLETED:20250309T170000Z\r\n"
                                 "PRIORITY:3\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Call\r\n"
                                 "TRIGGER;RELATED=END:-PT1H\r\nEND:VALARM\r\nEND:VTODO\r\n",
                                 &why);
    ASSERT_TRUE(item) << why;
    EXPECT_EQ(item->type, kTask);
    EXPECT_EQ(prop(*item, kTaskDueProp).fileTime, ft(st(2025, 3, 10)));
    EXPECT_EQ(prop(*item, kTaskStartProp).flags, kFlagNotFound);
    EXPECT_EQ(prop(*item, 0x1065000B).u32, 1u);
    EXPECT_EQ(prop(*item, 0x00640040).fileTime, ft(st(2025, 3, 9, 18)));
    EXPECT_EQ(prop(*item, 0x00600013).u32, 2u);
    EXPECT_EQ(prop(*item, 0x10660040).fileTime, ft(st(2025, 3, 9, 23)));

    // What another program changed wins over the device's value kept beside it: the class was made
    // confidential, so the kept "personal" is from before that edit.
    item = fromCalendarComponent("BEGIN:VEVENT\r\nUID:d\r\nDTSTART:20250101T100000Z\r\nCLASS:CONFIDENTIAL\r\n"
                                 "X-ORVALE-PROP:00210013=1\r\nX-ORVALE-PROP:0041001F=\r\nEND:VEVENT\r\n",
                                 &why);
    ASSERT_TRUE(item) << why;
    EXPECT_EQ(prop(*item, 0x00210013).u32, 3u);
    EXPECT_EQ(prop(*item, 0x0041001F).flags, 0);  // kept: nothing contradicts it

    for (const char* bad : {"", "not a calendar", "BEGIN:VCARD\r\nFN:x\r\nEND:VCARD\r\n",
                            "BEGIN:VCALENDAR\r\nBEGIN:VJOURNAL\r\nEND:VJOURNAL\r\nEND:VCALENDAR\r\n"})
        EXPECT_FALSE(fromCalendarComponent(bad, &why)) << bad;
}

}  // namespace

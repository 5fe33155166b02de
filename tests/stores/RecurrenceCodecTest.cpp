// Rules travel both ways on every sync: a field read wrongly or an end lost turns a finite series
// into an endless one (or the reverse) on the server and on every other device.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/SystemTime.h"
#include "platform/pim/PimSession.h"
#include "platform/pim/RecurrenceOccurrence.h"
#include "stores/DateTime.h"
#include "stores/DateTimeText.h"
#include "stores/recurrence/RecurrenceCodec.h"
#include "support/PinnedZone.h"
#include "support/TempDeviceRoot.h"

using namespace orvale;
using namespace orvale::platform::pim;
using platform::SystemTime;

namespace {

SystemTime at(int y, int m, int d, int h = 9, int mi = 0) {
    SystemTime st{};
    st.year = static_cast<std::uint16_t>(y);
    st.month = static_cast<std::uint16_t>(m);
    st.day = static_cast<std::uint16_t>(d);
    st.hour = static_cast<std::uint16_t>(h);
    st.minute = static_cast<std::uint16_t>(mi);
    return st;
}
double variant(const SystemTime& st) {
    double v = 0;
    EXPECT_TRUE(platform::systemTimeToVariantTime(st, v));
    return v;
}
std::string dateOf(double v) {
    SystemTime st;
    if (!platform::variantTimeToSystemTime(v, st)) return "?";
    return datetime::formatSystemDate(st).substr(0, 8);
}

// A pattern as the device hands it out: through an appointment that starts at `start`.
struct Appointment {
    std::unique_ptr<Item> item;
    SystemTime start;
    explicit Appointment(const SystemTime& s) : item(Session::current()->createItem(kAppointment)), start(s) {
        PropValue v;
        v.id = kAppointmentStartProp;
        EXPECT_TRUE(platform::systemTimeToFileTime(s, v.fileTime));
        item->setProps({v});
    }
    RecurrencePattern& pattern() { return item->recurrence(); }
    bool apply(const std::string& rule) { return recurrence::applyRule(rule, pattern(), start); }
};

struct RecurrenceCodec : ::testing::Test {
    test::TempDeviceRoot root;
    void SetUp() override { ASSERT_TRUE(Session::logOn()); }
    void TearDown() override { Session::logOff(); }
};

// The occurrences from the pattern's first day through its end, counted one day at a time by the
// occurrence matcher (with the end taken away): an oracle for the count and the end date.
void expectEndMatchesOccurrences(const RecurrencePattern& rp, const std::string& what) {
    RecurrencePattern open = rp;
    open.noEnd = true;
    int count = 0;
    double last = 0;
    for (double day = rp.patternStart; day <= rp.patternEnd; ++day)
        if (patternOccursAt(open, day + rp.startTime)) ++count, last = day;
    EXPECT_EQ(count, rp.occurrences) << what;
    EXPECT_EQ(dateOf(last), dateOf(rp.patternEnd)) << what;
}

constexpr int kAny = -1000;
constexpr int kMo = 2, kTu = 4, kWe = 8, kFr = 32, kSu = 1;

struct ReadCase {
    const char* rule;
    SystemTime start;
    bool applied;
    int type = kAny, interval = kAny;
    int occurrences = kAny;  // 0: never ends
    const char* end = "";    // local date of the last occurrence
    int mask = kAny, day = kAny, instance = kAny, month = kAny;
};

const ReadCase kReadCases[] = {
    {"D1 #5", at(2007, 1, 1), true, 0, 1, 5, "20070105"},
    {"D2 #0", at(2007, 1, 1), true, 0, 2, 0},
    {"W1 #0", at(2007, 1, 2), true, 1, 1, 0, "", kTu},
    {"W2 MO WE FR 20071231T000000Z", at(2007, 1, 1), true, 1, 2, 79, "20071231", kMo | kWe | kFr},
    {"W1   MO    #3", at(2007, 1, 1), true, 1, 1, 3, "20070115", kMo},
    {"W1 MO 20071231T000000Z #3", at(2007, 1, 1), true, 1, 1, 3, "20070115"},  // the later end leads
    {"W1 MO #3 20070205T000000", at(2007, 1, 1), true, 1, 1, 6, "20070205"},
    {"W1 MO 20070205", at(2007, 1, 1), true, 1, 1, 6, "20070205"},  // a bare end date
    {"W1 MO 20061231T000000Z", at(2007, 1, 1), true, 1, 1, 1, "20070101"},  // ends before it starts
    {"W1 MO 20390103T000000Z", at(2038, 12, 27), true, 1, 1, 2, "20390103"},
    {"MD1 15 #0", at(2007, 1, 1), true, 2, 1, 0, "", kAny, 15},
    {"MD1 #4", at(2007, 1, 20), true, 2, 1, 4, "20070420", kAny, 20},  // no day: the start's
    {"MD1 LD #0", at(2007, 1, 1), false},
    {"MD1 1- #0", at(2007, 1, 1), false},
    {"MD1 32 #0", at(2007, 1, 1), false},
    {"MP1 2+ TU #10", at(2007, 1, 1), true, 3, 1, 10, "20071009", kTu, kAny, 2},
    {"MP1 1- FR #0", at(2007, 1, 1), true, 3, 1, 0, "", kFr, kAny, 5},
    {"MP1 2- FR #0", at(2007, 1, 1), false},
    {"MP1 6+ TU #0", at(2007, 1, 1), false},
    {"MP1 X+ TU #0", at(2007, 1, 1), false},
    {"MP12 1+ SU #0", at(2007, 1, 7), true, 3, 12, 0, "", kSu, kAny, 1},
    {"YM1 6 #0", at(2007, 3, 12), true, 5, 1, 0, "", kAny, 12, kAny, 6},
    {"YM1 6 #3", at(2007, 3, 12), true, 5, 1, 3, "20090612"},
    {"YM1 6 7 #0", at(2007, 3, 12), false},
    {"YM1 13 #0", at(2007, 3, 12), false},
    {"YD1 100 #0", at(2007, 3, 12), false},  // 10 April, or 9 April in a leap year
    {"YD1 46 #3", at(2007, 2, 15), true, 5, 1, 3, "20090215", kAny, 15, kAny, 2},  // one date each year
    {"YD2 20 #0", at(2007, 1, 20), true, 5, 2, 0, "", kAny, 20, kAny, 1},
    {"YD1 20 46 #0", at(2007, 1, 20), false},  // two dates a year
    {"YD1 60 #0", at(2007, 3, 1), false},
    {"YM2 5 #4", at(2025, 5, 10), true, 5, 2, 4, "20310510"},
    {"YM24 5 #2", at(2025, 5, 10), true, 5, 288, 2, "20490510"},  // kept in months, as the device reads it
    {"MP2 1- MO #4", at(2027, 1, 25), true, 3, 2, 4, "20270726", kMo, kAny, 5},
    {"MD1 15 20270615T000000Z #6", at(2027, 1, 15), true, 2, 1, 6, "20270615", kAny, 15},
    {"D0 #5", at(2007, 1, 1), false},
    {"D-1 #5", at(2007, 1, 1), false},
    {"W1 MO #-2", at(2007, 1, 1), false},
    {"W1 MO 20070205T", at(2007, 1, 1), true, 1, 1, 6, "20070205"},
    {"", at(2007, 1, 1), false},
    {"X1 #0", at(2007, 1, 1), false},
};

TEST_F(RecurrenceCodec, RulesAreReadIntoTheDevicePatternAndWrittenBackUnchanged) {
    for (const char* zone : {"UTC", "Europe/Berlin"}) {
        test::PinnedZone pinned(zone);
        for (const ReadCase& c : kReadCases) {
            const std::string what = std::string(zone) + " " + c.rule;
            Appointment a(c.start);
            ASSERT_EQ(a.apply(c.rule), c.applied) << what;
            if (!c.applied) continue;
            const RecurrencePattern& rp = a.pattern();
            auto check = [&](int want, int got, const char* field) {
                if (want != kAny) {
                    EXPECT_EQ(got, want) << what << ": " << field;
                }
            };
            check(c.type, rp.type, "type");
            check(c.interval, rp.interval, "interval");
            check(c.mask, rp.dayOfWeekMask, "mask");
            check(c.day, rp.dayOfMonth, "day of month");
            check(c.instance, rp.instance, "instance");
            check(c.month, rp.monthOfYear, "month");
            EXPECT_EQ(rp.noEnd, c.occurrences == 0) << what;
            if (c.occurrences > 0) {
                EXPECT_FALSE(rp.noEnd) << what;
                EXPECT_EQ(rp.occurrences, c.occurrences) << what;
                EXPECT_EQ(dateOf(rp.patternEnd), c.end) << what;
                expectEndMatchesOccurrences(rp, what);
            }

            // What we write must read back as the same pattern, and write the same text again.
            const std::string written = recurrence::writeRule(rp);
            ASSERT_FALSE(written.empty()) << what;
            Appointment b(c.start);
            ASSERT_TRUE(b.apply(written)) << what << " -> " << written;
            EXPECT_EQ(recurrence::writeRule(b.pattern()), written) << what;
            EXPECT_EQ(b.pattern().occurrences, rp.occurrences) << what << " -> " << written;
        }
    }
}

TEST_F(RecurrenceCodec, BoundsOfTheRuleText) {
    Appointment a(at(2007, 1, 1));
    const RecurrencePattern before = a.pattern();
    EXPECT_TRUE(a.apply("D1"));  // no count, no end: applied, and nothing is set
    EXPECT_EQ(recurrence::writeRule(a.pattern()), recurrence::writeRule(before));
    EXPECT_EQ(a.pattern().type, before.type);
    const std::string padded = "W1 MO #3" + std::string(recurrence::kMaxRuleLength - 8, ' ');
    EXPECT_TRUE(a.apply(padded));
    EXPECT_FALSE(a.apply(padded + " "));
    // A rule cut anywhere is never read past its end.
    const std::string full = "MP2 1- 2+ MO TU WE 20071231T235959Z #12";
    for (std::size_t n = 0; n <= full.size(); ++n) {
        Appointment b(at(2007, 1, 1));
        const std::string cut = full.substr(0, n);
        recurrence::applyRule(std::string_view(cut.data(), cut.size()), b.pattern(), b.start);
    }
}

struct WriteCase {
    const char* what;
    std::function<void(RecurrencePattern&)> edit;
    const char* rule;
};

// Under Berlin, so that end dates are written with the bias of their own date.
TEST_F(RecurrenceCodec, PatternsAreWrittenInTheirExactForms) {
    test::PinnedZone berlin("Europe/Berlin");
    const WriteCase cases[] = {
        {"daily, no end", [](RecurrencePattern& p) { p.setType(kRecursDaily); }, "D1 #0"},
        // The fault the consistency fixes: an end date alone went out as "D1 #0", never ending.
        {"daily ending on a date",
         [](RecurrencePattern& p) { p.setPatternEnd(variant(at(2007, 1, 5, 0))); }, "D1 #5"},
        {"weekly, two days, no end",
         [](RecurrencePattern& p) { p.setType(kRecursWeekly), p.setDayOfWeekMask(kMo | kWe); }, "W1 MO WE #0"},
        {"weekly by count, end in summer",
         [](RecurrencePattern& p) {
             p.setType(kRecursWeekly), p.setDayOfWeekMask(kMo), p.setOccurrences(15);
         },
         "W1 MO #15"},
        {"monthly by day, ending",
         [](RecurrencePattern& p) { p.setType(kRecursMonthly), p.setDayOfMonth(15), p.setOccurrences(12); },
         "MD1 15 #12"},
        {"last Monday, no end",
         [](RecurrencePattern& p) { p.setType(kRecursMonthNth), p.setInstance(5), p.setDayOfWeekMask(kMo); },
         "MP1 1- MO #0"},  // "5+" is read by every other reader as the fifth
        {"yearly on 4 July",
         [](RecurrencePattern& p) { p.setType(kRecursYearly), p.setMonthOfYear(7), p.setDayOfMonth(4); },
         "YM1 7 #0"},
        {"yearly first Sunday, ending",
         [](RecurrencePattern& p) {
             p.setType(kRecursYearNth), p.setInstance(1), p.setDayOfWeekMask(kSu), p.setMonthOfYear(1);
             p.setOccurrences(2);
         },
         "MP12 1+ SU #2"},
        {"every weekday", [](RecurrencePattern& p) { p.setInterval(0), p.setDayOfWeekMask(62); },
         "W1 MO TU WE TH FR #0"},
        {"every other year in May",
         [](RecurrencePattern& p) {
             p.setType(kRecursYearly), p.setInterval(2), p.setMonthOfYear(5), p.setDayOfMonth(10), p.setOccurrences(4);
         },
         "YM2 5 #4"},
        {"yearly in months", [](RecurrencePattern& p) { p.setType(kRecursYearly), p.setInterval(24), p.setMonthOfYear(7), p.setDayOfMonth(4); },
         "YM2 7 #0"},
        // A pattern that ends on a date alone: the end of that local day, with no zone.
        {"weekly ending on a date only",
         [](RecurrencePattern& p) {
             p.setType(kRecursWeekly), p.setDayOfWeekMask(kMo), p.noEnd = false, p.occurrences = 0;
             p.patternEnd = variant(at(2007, 3, 5, 0));
         },
         "W1 MO 20070305T235959"},
        {"weekly without days", [](RecurrencePattern& p) { p.setType(kRecursWeekly), p.dayOfWeekMask = 0; }, ""},
        {"mask beyond the days", [](RecurrencePattern& p) { p.setType(kRecursWeekly), p.dayOfWeekMask = 200; }, ""},
        {"type 4", [](RecurrencePattern& p) { p.type = 4; }, ""},
    };
    for (const WriteCase& c : cases) {
        Appointment a(at(2007, 1, 1));
        c.edit(a.pattern());
        EXPECT_EQ(recurrence::writeRule(a.pattern()), c.rule) << c.what;
    }
}

// A weekly 09:00 meeting across the change to summer time: its occurrences stay at 09:00 local,
// and the end is converted with the bias of the end's own date on the way in and out.
TEST_F(RecurrenceCodec, EndsAcrossTheChangeToSummerTimeUseTheirOwnDatesBias) {
    test::PinnedZone berlin("Europe/Berlin");
    Appointment a(at(2027, 3, 15));  // a Monday; summer time begins on 28 March
    ASSERT_TRUE(a.apply("W1 MO 20270404T223000Z"));  // 00:30 local on Monday 5 April
    EXPECT_EQ(a.pattern().occurrences, 4);
    EXPECT_EQ(recurrence::writeRule(a.pattern()), "W1 MO #4");
    auto localOf = [](const char* utc) {
        return variant(*datetime::secondsToLocalSystemTime(*datetime::parseUtc(utc)));
    };
    EXPECT_TRUE(a.item->hasOccurrenceAt(localOf("20270322T080000Z")));   // 09:00 CET
    EXPECT_TRUE(a.item->hasOccurrenceAt(localOf("20270329T070000Z")));   // 09:00 CEST
    EXPECT_FALSE(a.item->hasOccurrenceAt(localOf("20270329T080000Z")));  // 10:00 CEST
    EXPECT_TRUE(a.item->hasOccurrenceAt(localOf("20270405T070000Z")));
    EXPECT_FALSE(a.item->hasOccurrenceAt(localOf("20270412T070000Z")));
}

TEST_F(RecurrenceCodec, EndsIn2039AndAtTheLastDayTheDeviceHolds) {
    for (const char* zone : {"UTC", "Europe/Berlin"}) {
        test::PinnedZone pinned(zone);
        Appointment weekly(at(2027, 4, 13));
        ASSERT_TRUE(weekly.apply("W1 TU 20391231T235959Z"));
        EXPECT_EQ(dateOf(weekly.pattern().patternEnd), "20391227") << zone;
        Appointment daily(at(2027, 4, 13));
        // 9999-12-31 23:59:59 UTC is already the year 10000 in Berlin: the last day stands in.
        ASSERT_TRUE(daily.apply("D1 99991231T235959Z")) << zone;
        EXPECT_EQ(recurrence::writeRule(daily.pattern()), "D1 #2911976") << zone;
        EXPECT_EQ(dateOf(daily.pattern().patternEnd), "99991231") << zone;
        EXPECT_FALSE(daily.pattern().setOccurrences(2911977)) << "past 9999";
        EXPECT_FALSE(daily.apply("D1 99991232T000000Z")) << zone;
    }
}

// The pattern keeps both ends, whichever was written last leading, and a new pattern takes its
// days from its item's start and moves with it.
TEST_F(RecurrenceCodec, ThePatternKeepsItsEndsAndFollowsItsItem) {
    Appointment a(at(2027, 4, 13, 9, 30));  // Tuesday, second of the month
    RecurrencePattern& p = a.pattern();
    EXPECT_EQ(dateOf(p.patternStart), "20270413");
    EXPECT_NEAR(p.startTime, 9.5 / 24, 1e-9);
    EXPECT_EQ(p.dayOfWeekMask, kTu);
    EXPECT_EQ(p.dayOfMonth, 13);
    EXPECT_EQ(p.instance, 2);
    EXPECT_EQ(p.monthOfYear, 4);
    EXPECT_TRUE(p.noEnd);
    EXPECT_FALSE(p.setNoEnd(false)) << "no end to keep";

    ASSERT_TRUE(p.setType(kRecursWeekly));
    ASSERT_TRUE(p.setPatternEnd(variant(at(2027, 5, 1))));  // a Saturday
    EXPECT_EQ(p.occurrences, 3);
    EXPECT_EQ(dateOf(p.patternEnd), "20270427");
    ASSERT_TRUE(p.setDayOfWeekMask(kTu | kFr));  // the end date leads: the count follows
    EXPECT_EQ(p.occurrences, 5);
    ASSERT_TRUE(p.setOccurrences(2));  // now the count leads
    EXPECT_EQ(dateOf(p.patternEnd), "20270416");
    ASSERT_TRUE(p.setInterval(2));
    EXPECT_EQ(dateOf(p.patternEnd), "20270416");
    EXPECT_EQ(p.occurrences, 2);
    ASSERT_TRUE(p.setOccurrences(3));
    EXPECT_EQ(dateOf(p.patternEnd), "20270427");
    EXPECT_FALSE(p.setOccurrences(0));
    EXPECT_FALSE(p.setDayOfWeekMask(0));
    EXPECT_FALSE(p.setInstance(6));

    PropValue later;  // the item moves a week on: so do its occurrences
    later.id = kAppointmentStartProp;
    ASSERT_TRUE(platform::systemTimeToFileTime(at(2027, 4, 20, 10), later.fileTime));
    a.item->setProps({later});
    EXPECT_EQ(dateOf(p.patternStart), "20270420");
    EXPECT_EQ(dateOf(p.patternEnd), "20270504");
    EXPECT_NEAR(p.startTime, 10.0 / 24, 1e-9);

    ASSERT_TRUE(p.setNoEnd(true));
    EXPECT_EQ(p.occurrences, 0);
    EXPECT_EQ(p.patternEnd, kNoEndDate);
}

}  // namespace

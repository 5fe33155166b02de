// Occurrences are looked up by their local start (excluded dates arrive that way), so a wrong week
// or month count deletes the wrong occurrence or silently skips an excluded date.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/SystemTime.h"
#include "platform/pim/RecurrenceOccurrence.h"
#include "support/PinnedZone.h"

using namespace orvale;
using namespace orvale::platform::pim;

namespace {

// Variant days (days since 1899-12-30).
constexpr double kMon20070101 = 39083, kWed20070103 = 39085;
constexpr double k0900 = 9.0 / 24;

RecurrencePattern pattern(int32_t type, int32_t interval, double start, double time = k0900) {
    RecurrencePattern rp;
    rp.type = type;
    rp.interval = interval;
    rp.patternStart = start;
    rp.startTime = time;
    return rp;
}
RecurrencePattern withMask(RecurrencePattern rp, int32_t mask) {
    rp.dayOfWeekMask = mask;
    return rp;
}
RecurrencePattern endingAfter(RecurrencePattern rp, int32_t count) {
    rp.noEnd = false;
    rp.occurrences = count;
    return rp;
}
RecurrencePattern endingOn(RecurrencePattern rp, double day) {
    rp.noEnd = false;
    rp.patternEnd = day;
    return rp;
}
RecurrencePattern monthly(int32_t type, int32_t interval, double start, int32_t day, int32_t instance,
                          int32_t mask, int32_t month = 0) {
    RecurrencePattern rp = withMask(pattern(type, interval, start), mask);
    rp.dayOfMonth = day;
    rp.instance = instance;
    rp.monthOfYear = month;
    return rp;
}

constexpr int32_t kMo = 2, kTu = 4, kWe = 8, kTh = 16, kFr = 32, kSu = 1;

struct Case {
    const char* what;
    RecurrencePattern rp;
    double day;
    bool occurs;
};

const Case kCases[] = {
    {"every other week MO WE FR: first Monday", withMask(pattern(1, 2, kMon20070101), kMo | kWe | kFr), 39083, true},
    {"every other week: Wednesday of week 0", withMask(pattern(1, 2, kMon20070101), kMo | kWe | kFr), 39085, true},
    {"every other week: Tuesday not named", withMask(pattern(1, 2, kMon20070101), kMo | kWe | kFr), 39084, false},
    {"every other week: Monday of the skipped week", withMask(pattern(1, 2, kMon20070101), kMo | kWe | kFr), 39090, false},
    {"every other week: Monday two weeks on", withMask(pattern(1, 2, kMon20070101), kMo | kWe | kFr), 39097, true},
    {"before the pattern start", withMask(pattern(1, 1, kMon20070101), kSu), 39082, false},
    {"start mid-week: Friday of the first week", withMask(pattern(1, 2, kWed20070103), kMo | kFr), 39087, true},
    {"start mid-week: Monday of its week is before the start", withMask(pattern(1, 2, kWed20070103), kMo | kFr), 39083, false},
    {"start mid-week: weeks count from Sunday", withMask(pattern(1, 2, kWed20070103), kMo | kFr), 39090, false},
    {"start mid-week: third week", withMask(pattern(1, 2, kWed20070103), kMo | kFr), 39097, true},
    {"count 3: third occurrence", endingAfter(withMask(pattern(1, 2, kWed20070103), kMo | kFr), 3), 39101, true},
    {"count 3: fourth occurrence", endingAfter(withMask(pattern(1, 2, kWed20070103), kMo | kFr), 3), 39111, false},
    {"end date: on the last day", endingOn(withMask(pattern(1, 2, kWed20070103), kMo | kFr), 39101), 39101, true},
    {"end date: after it", endingOn(withMask(pattern(1, 2, kWed20070103), kMo | kFr), 39101), 39111, false},
    {"weekly without days: the start's weekday", pattern(1, 1, kWed20070103), 39092, true},
    {"weekly without days: another weekday", pattern(1, 1, kWed20070103), 39093, false},
    {"every third day", pattern(0, 3, kMon20070101), 39086, true},
    {"every third day: in between", pattern(0, 3, kMon20070101), 39085, false},
    {"every third day, twice: third time", endingAfter(pattern(0, 3, kMon20070101), 2), 39089, false},
    {"every weekday: Saturday", withMask(pattern(0, 0, kMon20070101), 0x3E), 39088, false},
    {"every weekday, 6 times: next Monday", endingAfter(withMask(pattern(0, 0, kMon20070101), 0x3E), 6), 39090, true},
    {"every weekday, 6 times: next Tuesday", endingAfter(withMask(pattern(0, 0, kMon20070101), 0x3E), 6), 39091, false},
    {"day 31 in February falls on the 28th", monthly(2, 1, 39113, 31, 0, 0), 39141, true},
    {"day 31 in March", monthly(2, 1, 39113, 31, 0, 0), 39172, true},
    {"day 31: the 30th of March", monthly(2, 1, 39113, 31, 0, 0), 39171, false},
    {"day 31 every other month skips February", monthly(2, 2, 39113, 31, 0, 0), 39141, false},
    {"second Tuesday of January", monthly(3, 1, kMon20070101, 0, 2, kTu), 39091, true},
    {"second Tuesday: the third", monthly(3, 1, kMon20070101, 0, 2, kTu), 39098, false},
    {"second Tuesday of February", monthly(3, 1, kMon20070101, 0, 2, kTu), 39126, true},
    {"last Friday of February", monthly(3, 1, kMon20070101, 0, 5, kFr), 39136, true},
    {"once, first month's one before the start", endingAfter(monthly(3, 1, 39092, 0, 2, kTu), 1), 39126, true},
    {"once: the month after", endingAfter(monthly(3, 1, 39092, 0, 2, kTu), 1), 39154, false},
    {"yearly on 12 June", monthly(5, 1, 39153, 12, 0, 0, 6), 39245, true},
    {"yearly on 12 June, next year", monthly(5, 1, 39153, 12, 0, 0, 6), 39611, true},
    {"yearly on 12 June: 12 July", monthly(5, 1, 39153, 12, 0, 0, 6), 39275, false},
    {"fourth Thursday of November", monthly(6, 12, kMon20070101, 0, 4, kTh, 11), 39408, true},
    {"fourth Thursday of November, next year", monthly(6, 12, kMon20070101, 0, 4, kTh, 11), 39779, true},
    {"fourth Thursday: the week before", monthly(6, 12, kMon20070101, 0, 4, kTh, 11), 39772, false},
    {"unknown type 4", pattern(4, 1, kMon20070101), 39083, false},
};

void expectCases() {
    for (const Case& c : kCases) {
        EXPECT_EQ(patternOccursAt(c.rp, c.day + k0900), c.occurs) << c.what;
        EXPECT_FALSE(patternOccursAt(c.rp, c.day + k0900 + 1.0 / 24)) << c.what << ", an hour later";
    }
}

TEST(RecurrenceOccurrence, PatternsInUtc) {
    test::PinnedZone zone("UTC");
    expectCases();
}

TEST(RecurrenceOccurrence, PatternsInADaylightSavingZone) {
    test::PinnedZone zone("Europe/Berlin");
    expectCases();
    // 02:30 on the Sunday the clocks go forward does not exist locally, but it is still the slot
    // the device names that occurrence by.
    RecurrencePattern rp = withMask(pattern(1, 1, 39159, 2.5 / 24), kSu);
    EXPECT_TRUE(patternOccursAt(rp, 39166 + 2.5 / 24));
    EXPECT_TRUE(patternOccursAt(rp, 39383 + 2.5 / 24));  // the ambiguous hour in October
}

// Counting matches day by day is an oracle independent of the closed-form occurrence index.
TEST(RecurrenceOccurrence, CountedPatternsHaveExactlyTheirCount) {
    const RecurrencePattern patterns[] = {
        withMask(pattern(1, 3, kWed20070103), kSu | kMo | kFr),
        withMask(pattern(0, 0, kWed20070103), 0x3E),
        pattern(0, 5, kWed20070103),
        monthly(2, 2, kWed20070103, 30, 0, 0),
        monthly(3, 1, kWed20070103, 0, 1, kMo | kTu),
        monthly(3, 3, kWed20070103, 0, 5, kSu),
        monthly(5, 1, kWed20070103, 29, 0, 0, 2),
        monthly(6, 12, kWed20070103, 0, 1, kWe, 1),
    };
    for (const auto& base : patterns) {
        RecurrencePattern rp = endingAfter(base, 7);
        int matches = 0;
        for (double d = kWed20070103 - 10; d < kWed20070103 + 12 * 366; ++d) matches += patternOccursAt(rp, d + k0900);
        EXPECT_EQ(matches, 7) << "type " << rp.type << " interval " << rp.interval;
        // The closed forms behind a pattern's two ends: the count up to a day, the n-th date.
        int seen = 0;
        for (double d = kWed20070103 - 3; d < kWed20070103 + 4 * 366; ++d) {
            if (patternOccursAt(base, d + k0900)) {
                ASSERT_EQ(nthOccurrenceDate(base, ++seen), d) << rp.type;
            }
            ASSERT_EQ(occurrencesThrough(base, d + 0.75), seen) << "type " << rp.type << " day " << d;
        }
    }
}

TEST(RecurrenceOccurrence, ValuesThatAreNoDatesNameNoOccurrence) {
    RecurrencePattern daily = pattern(0, 1, kMon20070101, 0);
    for (double v : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), 1e300,
                     -1e300, 3.0e6})
        EXPECT_FALSE(patternOccursAt(daily, v)) << v;
    RecurrencePattern broken = daily;
    broken.patternStart = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(patternOccursAt(broken, 39090));
    RecurrencePattern huge = daily;
    huge.interval = INT32_MAX;
    EXPECT_TRUE(patternOccursAt(huge, kMon20070101));
    EXPECT_FALSE(patternOccursAt(huge, kMon20070101 + 1));
    // A date-time a hair off the whole second still names the midnight occurrence.
    EXPECT_TRUE(patternOccursAt(daily, 39090.0 - 1e-9));
}

}  // namespace

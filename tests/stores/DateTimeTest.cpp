#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "stores/DateTime.h"
#include "stores/DateTimeText.h"
#include "stores/VariantDate.h"
#include "stores/ZoneOffset.h"
#include "support/PinnedZone.h"

namespace orvale::datetime {
namespace {

using test::PinnedZone;

std::tm fields(int y, int mon, int d, int h = 0, int mi = 0, int s = 0) {
    std::tm f{};
    f.tm_year = y - 1900;
    f.tm_mon = mon - 1;
    f.tm_mday = d;
    f.tm_hour = h;
    f.tm_min = mi;
    f.tm_sec = s;
    return f;
}

// The whole range the device's dates cover, before 1970 and after 2038 included, checked against
// the host's own timegm in both zones: UTC texts must not depend on the device's zone.
TEST(DateTimeRange, UtcTextsFromYear100To9999AgreeWithTheHost) {
    struct Case {
        const char* text;
        std::int64_t seconds;
    } cases[] = {
        {"19700101T000000", 0},
        {"19691231T235959", -1},  // a valid time, not a failure
        {"19650301T120000", -152625600},
        {"20070101T120000", 1167652800},
        {"20000229T235959", 951868799},
        {"20380119T031408", 2147483648},
        {"20390615T090000", 2191741200},
        {"99991231T235959", 253402300799},
        {"01000101T000000", -59011459200},
    };
    for (const char* zone : {"UTC", "Europe/Berlin"}) {
        PinnedZone pinned(zone);
        for (const auto& c : cases) {
            ASSERT_EQ(parseUtc(c.text), c.seconds) << zone << " " << c.text;
            std::tm f{};
            ASSERT_TRUE(breakDownUtc(c.seconds, f));
            EXPECT_EQ(static_cast<std::int64_t>(timegm(&f)), c.seconds) << "host oracle " << c.text;
            EXPECT_EQ(formatUtc(c.seconds, true), std::string(c.text) + "Z");
        }
        EXPECT_FALSE(parseUtc("00991231T235959")) << zone;
        EXPECT_FALSE(parseUtc("99991232T000000")) << zone;  // normalises into the year 10000
        EXPECT_EQ(formatUtc(253402300800, false), "") << zone;
    }
}

TEST(DateTimeRange, LocalTimesBefore1970AndAfter2038FollowTheZone) {
    PinnedZone berlin("Europe/Berlin");
    // Germany kept no summer time in 1965; the rules go on past 2038.
    for (const char* text : {"19650301T120000", "19650701T120000", "20390115T090000", "20390615T090000",
                             "19691231T235959", "21000301T000000"}) {
        std::tm f{};
        std::sscanf(text, "%4d%2d%2dT%2d%2d%2d", &f.tm_year, &f.tm_mon, &f.tm_mday, &f.tm_hour, &f.tm_min, &f.tm_sec);
        f.tm_year -= 1900, f.tm_mon -= 1, f.tm_isdst = -1;
        const auto host = static_cast<std::int64_t>(mktime(&f));
        EXPECT_EQ(parseLocal(text), host) << text;
        EXPECT_EQ(formatLocal(host, false), text) << text;
    }
    // At the ends of the range the zone's old local mean time (+00:53:28) is cut to whole minutes,
    // so the host is no oracle there; the texts must still come back.
    for (const char* text : {"01000101T120000", "99991231T120000"}) {
        const auto t = parseLocal(text);
        ASSERT_TRUE(t) << text;
        EXPECT_EQ(formatLocal(*t, false), text);
    }
    // Local 9999-12-31 23:59 is within range, its UTC reading an hour later is not shown locally.
    EXPECT_TRUE(parseLocal("99991231T235959"));
    EXPECT_EQ(formatLocal(*parseUtc("99991231T235959"), false), "");
    EXPECT_EQ(parseLocal("20070101T1200"), std::nullopt);
}

TEST(DateTimeUtc, NormalisesOverflowAndBorrows) {
    PinnedZone utc("UTC");
    struct Case {
        std::tm in;
        int year, month, day, hour, minute, second, wday, yday;
    } cases[] = {
        {fields(2007, 2, 31), 2007, 3, 3, 0, 0, 0, 6, 61},
        {fields(2008, 2, 31), 2008, 3, 2, 0, 0, 0, 0, 61},
        {fields(2007, 1, 1, 0, 0, -1), 2006, 12, 31, 23, 59, 59, 0, 364},
        {fields(2007, 13, 1, 25, 61, 61), 2008, 1, 2, 2, 2, 1, 3, 1},
        {fields(2007, 3, 0), 2007, 2, 28, 0, 0, 0, 3, 58},
    };
    for (auto& c : cases) {
        std::tm f = c.in;
        std::tm oracle = c.in;
        const auto t = makeLocalTime(f);
        EXPECT_EQ(t, static_cast<std::int64_t>(timegm(&oracle)));
        EXPECT_EQ(f.tm_year + 1900, c.year);
        EXPECT_EQ(f.tm_mon + 1, c.month);
        EXPECT_EQ(f.tm_mday, c.day);
        EXPECT_EQ(f.tm_hour, c.hour);
        EXPECT_EQ(f.tm_min, c.minute);
        EXPECT_EQ(f.tm_sec, c.second);
        EXPECT_EQ(f.tm_wday, c.wday);
        EXPECT_EQ(f.tm_yday, c.yday);
    }
}

TEST(DateTimeBerlin, UtcToLocalAcrossDaylightSaving) {
    PinnedZone berlin("Europe/Berlin");
    EXPECT_EQ(formatLocal(*parseUtc("20070101T120000"), false), "20070101T130000");
    // One hour east with a one-hour daylight bias: local noon in July is 10:00 UTC.
    EXPECT_EQ(parseLocal("20070701T120000"), parseUtc("20070701T100000"));
    EXPECT_EQ(formatUtc(*parseLocal("20070701T120000"), true), "20070701T100000Z");
    // A summer conversion first, then a winter one: the winter one must not keep the summer bias.
    EXPECT_EQ(formatLocal(*parseUtc("20070701T120000"), false), "20070701T140000");
    EXPECT_EQ(formatLocal(*parseUtc("20071201T120000"), false), "20071201T130000");
    const std::int64_t t = *parseUtc("20070301T080000");
    EXPECT_EQ(formatLocal(t, true), formatLocal(t, false) + "Z");
}

TEST(DateTimeBerlin, AgreesWithHostRulesOverAYear) {
    PinnedZone berlin("Europe/Berlin");
    for (std::int64_t t = *parseUtc("20100101T000000"); t < *parseUtc("20110101T000000"); t += 86400 / 4 + 7) {
        const auto host = static_cast<std::time_t>(t);
        std::tm expected{};
        localtime_r(&host, &expected);
        std::tm got{};
        ASSERT_TRUE(breakDownLocal(t, got));
        EXPECT_EQ(got.tm_hour, expected.tm_hour) << t;
        EXPECT_EQ(got.tm_mday, expected.tm_mday) << t;
        EXPECT_EQ(got.tm_isdst, expected.tm_isdst) << t;
        std::tm back = got;
        EXPECT_EQ(makeLocalTime(back), t) << t;
    }
}

TEST(DateTimeBerlin, FixedZoneOffsetToDeviceLocal) {
    PinnedZone berlin("Europe/Berlin");
    // 12:00 at UTC-5 is 17:00 UTC: 18:00 in Berlin's winter, 19:00 in its summer.
    EXPECT_EQ(fixedZoneToDeviceLocal(fields(2007, 1, 10, 12), -5 * 3600), "20070110T180000");
    EXPECT_EQ(fixedZoneToDeviceLocal(fields(2007, 7, 10, 12), -5 * 3600), "20070710T190000");
    std::tm local{};
    (void)parseLocal("20070110T000000");  // winter zone state
    ASSERT_TRUE(utcFieldsToLocal(fields(2007, 1, 10, 23, 30), local));
    EXPECT_EQ(local.tm_mday, 11);
    EXPECT_EQ(local.tm_hour, 0);
}

// UTC texts are read by arithmetic: no hour of the days of change may be shifted by the zone.
TEST(DateTimeBerlin, UtcTextsAroundTheChangesIgnoreTheZone) {
    PinnedZone berlin("Europe/Berlin");
    for (const int month : {3, 10}) {
        const int day = month == 3 ? 25 : 28;
        for (int hour = 0; hour < 24; ++hour) {
            char text[32];
            std::snprintf(text, sizeof text, "2007%02d%02dT%02d3000", month, day, hour);
            std::tm f = fields(2007, month, day, hour, 30);
            EXPECT_EQ(parseUtc(text), static_cast<std::int64_t>(timegm(&f))) << text;
        }
    }
}

TEST(DateTimeText, DateOnlyValuesAreLocalDates) {
    for (const char* zone : {"UTC", "Europe/Berlin"}) {
        PinnedZone pinned(zone);
        EXPECT_EQ(parseLocalDate("20270410"), parseLocal("20270410T000000")) << zone;
        EXPECT_EQ(parseLocalDate("19650704"), parseLocal("19650704T000000")) << zone;
        for (const char* notDate : {"2027041", "202704100", "2027-04-1", "20270231", "20271301", "00000101", ""})
            EXPECT_FALSE(isDateOnly(notDate)) << notDate;
    }
    const auto d = parseDateOnly("20270410");
    ASSERT_TRUE(d);
    EXPECT_EQ(formatSystemDate(*d), "20270410T000000");
}

TEST(DateTimeText, ZoneOffsetsWithEitherSignAndAColon) {
    struct Case {
        const char* value;
        std::int32_t seconds;
    } cases[] = {
        {"+01", 3600},     {"+01:00", 3600}, {"+0530", 19800}, {"+05:30", 19800}, {"0100", 3600},
        {"-05", -18000},   {"-0500", -18000}, {"-03:30", -12600}, {"-5", -18000}, {"", 0},
        {"Z", 0},          {"+", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(parseZoneOffset(c.value), c.seconds) << c.value;
}

TEST(DateTimeText, PlatformFieldsWrittenAsTheyStand) {
    platform::SystemTime st{2007, 3, 0, 4, 5, 6, 7, 0};
    EXPECT_EQ(formatSystemTime(st), "20070304T050607Z");
    EXPECT_EQ(formatSystemDate(st), "20070304T000000");
}

TEST(DateTimeVariant, OnlyRealDatesAreAccepted) {
    EXPECT_FALSE(checkedVariantDate({2007, 2, 0, 31, 0, 0, 0, 0}));
    EXPECT_FALSE(checkedVariantDate({2007, 13, 0, 1, 0, 0, 0, 0}));
    const auto a = checkedVariantDate({2007, 2, 0, 28, 12, 0, 0, 0});
    const auto b = checkedVariantDate({2007, 3, 0, 1, 0, 0, 0, 0});
    ASSERT_TRUE(a && b);
    EXPECT_DOUBLE_EQ(*b - *a, 0.5);
    EXPECT_TRUE(variantDateBefore(a, b));
    EXPECT_FALSE(variantDateBefore(std::nullopt, b));
    // Before the base date: 1899-12-29 06:00 is later than 1899-12-29 00:00.
    EXPECT_TRUE(variantDateBefore(checkedVariantDate({1899, 12, 0, 29, 0, 0, 0, 0}),
                                  checkedVariantDate({1899, 12, 0, 29, 6, 0, 0, 0})));
}

}  // namespace
}  // namespace orvale::datetime

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "stores/DateTime.h"
#include "stores/DateTimeText.h"
#include "stores/VariantDate.h"
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

TEST(DateTimeUtc, ParseFormatRoundTripAndIndependentOracle) {
    PinnedZone utc("UTC");
    struct Case {
        const char* text;
        std::int64_t seconds;
    } cases[] = {
        {"19700101T000000", 0},
        {"20070101T120000", 1167652800},
        {"20000229T235959", 951868799},
        {"20380119T031407", 2147483647},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseUtc(c.text), c.seconds) << c.text;
        EXPECT_EQ(parseLocal(c.text), c.seconds) << c.text;
        std::tm f = fields(1970, 1, 1);
        ASSERT_TRUE(breakDownUtc(c.seconds, f));
        EXPECT_EQ(static_cast<std::int64_t>(timegm(&f)), c.seconds) << "host oracle " << c.text;
        EXPECT_EQ(formatUtc(c.seconds, true), std::string(c.text) + "Z");
        EXPECT_EQ(formatLocal(c.seconds, false), c.text);
    }
}

TEST(DateTimeUtc, LimitsAndShortTexts) {
    PinnedZone utc("UTC");
    std::tm f = fields(1969, 12, 31, 23, 59, 59);
    EXPECT_EQ(makeLocalTime(f), kInvalidTime);
    f = fields(2038, 1, 19, 3, 14, 8);
    EXPECT_EQ(makeLocalTime(f), kInvalidTime);
    f = fields(2038, 1, 19, 3, 14, 7);
    EXPECT_EQ(makeLocalTime(f), kMaxTime);
    EXPECT_EQ(parseLocal("20070101T1200"), kInvalidTime);
    EXPECT_EQ(parseLocalDate("2007010"), kInvalidTime);
    EXPECT_EQ(parseLocalDate("20070315"), parseLocal("20070315T000000"));
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
        const std::int64_t t = makeLocalTime(f);
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
    EXPECT_EQ(formatLocal(parseUtc("20070101T120000"), false), "20070101T130000");
    // One hour east with a one-hour daylight bias: local noon in July is 10:00 UTC.
    EXPECT_EQ(parseLocal("20070701T120000"), parseUtc("20070701T100000"));
    EXPECT_EQ(formatUtc(parseLocal("20070701T120000"), true), "20070701T100000Z");
    // A summer conversion first, then a winter one: the winter one must not keep the summer bias.
    EXPECT_EQ(formatLocal(parseUtc("20070701T120000"), false), "20070701T140000");
    EXPECT_EQ(formatLocal(parseUtc("20071201T120000"), false), "20071201T130000");
    const std::int64_t t = parseUtc("20070301T080000");
    EXPECT_EQ(formatLocal(t, true), formatLocal(t, false) + "Z");
}

TEST(DateTimeBerlin, AgreesWithHostRulesOverAYear) {
    PinnedZone berlin("Europe/Berlin");
    for (std::int64_t t = parseUtc("20100101T000000"); t < parseUtc("20110101T000000"); t += 86400 / 4 + 7) {
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

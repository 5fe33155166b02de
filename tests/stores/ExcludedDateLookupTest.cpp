// An excluded date arrives as a UTC text that the calendar store converts to local time before it
// looks the occurrence up by its local start.
#include <gtest/gtest.h>

#include "platform/SystemTime.h"
#include "platform/pim/PimSession.h"
#include "stores/DateTime.h"
#include "stores/DateTimeText.h"
#include "support/PinnedZone.h"
#include "support/TempDeviceRoot.h"

using namespace orvale;
using namespace orvale::platform::pim;

namespace {

// The calendar store reads excluded dates as UTC texts and converts them to local time: across the
// change to summer time, the same 10:00 local occurrence is 09:00Z one week and 08:00Z the next.
TEST(ExcludedDateLookup, UtcTimesConvertedToLocalFindTheSameSlotAcrossTheChange) {
    test::PinnedZone zone("Europe/Berlin");
    test::TempDeviceRoot root;
    ASSERT_TRUE(Session::logOn());
    auto a = Session::current()->createItem(kAppointment);
    RecurrencePattern weekly;
    weekly.type = 1;
    weekly.interval = 1;
    weekly.patternStart = 39160;
    weekly.startTime = 10.0 / 24;
    weekly.dayOfWeekMask = 2;  // Mondays
    a->recurrence() = weekly;
    auto local = [](const char* utc) {
        std::tm f{};
        EXPECT_TRUE(datetime::breakDownLocal(*datetime::parseUtc(utc), f));
        double v = 0;
        EXPECT_TRUE(platform::systemTimeToVariantTime(datetime::toSystemTime(f), v));
        return v;
    };
    EXPECT_TRUE(a->hasOccurrenceAt(local("20070319T090000Z")));
    EXPECT_TRUE(a->hasOccurrenceAt(local("20070326T080000Z")));
    EXPECT_FALSE(a->hasOccurrenceAt(local("20070326T090000Z")));

    EXPECT_TRUE(a->deleteOccurrenceAt(local("20070326T080000Z")));
    EXPECT_FALSE(a->hasOccurrenceAt(local("20070326T080000Z")));  // now an exception
    EXPECT_FALSE(a->deleteOccurrenceAt(local("20070326T080000Z")));
    EXPECT_TRUE(a->hasOccurrenceAt(local("20070402T080000Z")));
    ASSERT_EQ(a->recurrence().exceptions.size(), 1u);
    EXPECT_NEAR(a->recurrence().exceptions[0].originalDate, 39167 + 10.0 / 24, 1e-6);
    Session::logOff();
}

}  // namespace

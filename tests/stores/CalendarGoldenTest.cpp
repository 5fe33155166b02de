// vCalendars we wrote, imported into the device store and exported again, compared byte for byte,
// in a zone with daylight saving time.
#include <gtest/gtest.h>

#include "platform/TextConversion.h"
#include "platform/pim/PimSession.h"
#include "stores/calendar/EventDevice.h"
#include "support/PinnedZone.h"
#include "support/TempDeviceRoot.h"

namespace orvale::calendar {
namespace {

namespace pim = platform::pim;

const std::filesystem::path kData = std::filesystem::path(ORVALE_TEST_DATA) / "calendar";

class CalendarGoldenTest : public ::testing::Test {
protected:
    CalendarGoldenTest() { EXPECT_TRUE(pim::Session::logOn()); }
    ~CalendarGoldenTest() override { pim::Session::logOff(); }

    // Imports onto `key` (a new appointment when empty) and exports what the device then holds.
    static std::string roundTrip(const std::string& text, std::string& key) {
        const auto event = importEvent(text);
        EXPECT_TRUE(event.has_value());
        if (!event) return {};
        EXPECT_TRUE(writeEvent(*event, key));
        const auto read = readEvent(key);
        return exportEvent(read ? &*read : nullptr, key);
    }

    // Every mapped value of the appointment (a value not stored counts as its default),
    // recurrence and recipients included.
    static std::string stored(const std::string& key) {
        auto item = pim::Session::current()->itemByOid(static_cast<uint32_t>(std::stol(key)));
        std::string out;
        for (const auto& p : item->getProps({0x101F001F, 0x0020001F, 0x0041001F, 0x101D001F, 0x00210013, 0x00450013,
                                             0x00460013, 0x0022000B, 0x0028000B, 0x0044000B, 0x10420040, 0x10430040})) {
            out += std::to_string(p.u32) + "/" + std::to_string(p.fileTime) + "/" +
                   platform::utf16ToUtf8(p.text) + ";";
        }
        if (item->isRecurring()) {
            const auto& rp = item->recurrence();
            out += std::to_string(rp.type) + std::to_string(rp.interval) + std::to_string(rp.occurrences) +
                   std::to_string(rp.noEnd) + std::to_string(rp.patternEnd) + std::to_string(rp.dayOfWeekMask) +
                   std::to_string(rp.exceptions.size()) + std::to_string(rp.patternStart) + std::to_string(rp.startTime) +
                   std::to_string(rp.dayOfMonth) + std::to_string(rp.instance) + std::to_string(rp.monthOfYear);
        }
        for (const auto& r : item->recipients()) out += std::to_string(r.address.size()) + ",";
        return out;
    }

    test::TempDeviceRoot root;
    test::PinnedZone zone{"Europe/Berlin"};
};

TEST_F(CalendarGoldenTest, ExportsMatchTheExpectedTextByteForByteAndAgainUnchanged) {
    for (const char* name : {"timed-utc", "local-tz", "all-day-date", "all-day-time", "recurring"}) {
        SCOPED_TRACE(name);
        const auto inputs = test::vcalendarItems(test::readFileBytes(kData / (std::string(name) + ".vcs")));
        const auto expected = test::vcalendarItems(test::readFileBytes(kData / (std::string(name) + ".expected.vcs")));
        ASSERT_EQ(inputs.size(), expected.size());
        for (std::size_t i = 0; i < inputs.size(); ++i) {
            SCOPED_TRACE(i);
            std::string key;
            const std::string exported = roundTrip(inputs[i], key);
            std::string want = expected[i];
            const std::size_t at = want.find("@KEY@");
            if (at != std::string::npos) want.replace(at, 5, key);
            EXPECT_EQ(exported, want);
            // The export imported again onto the same appointment changes nothing on the device.
            const std::string before = stored(key);
            std::string again = key;
            EXPECT_EQ(roundTrip(exported, again), want);
            EXPECT_EQ(again, key);
            EXPECT_EQ(stored(key), before);
        }
    }
}

}  // namespace
}  // namespace orvale::calendar

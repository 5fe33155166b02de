// vCalendar tasks we wrote, stored through the tasks store and exported again, compared byte for
// byte, in a zone with daylight saving time.
#include <gtest/gtest.h>

#include "platform/TextConversion.h"
#include "platform/pim/PimSession.h"
#include "stores/ItemList.h"
#include "stores/KindCode.h"
#include "stores/tasks/TaskDevice.h"
#include "support/PinnedZone.h"
#include "support/StoreSession.h"
#include "support/TempDeviceRoot.h"

namespace orvale::tasks {
namespace {

namespace pim = platform::pim;

const std::filesystem::path kData = std::filesystem::path(ORVALE_TEST_DATA) / "tasks";

// Every stored value of the task (a value not stored shows as not found), its pattern included.
std::string stored(const std::string& key) {
    auto item = pim::Session::current()->itemByOid(oidForKey(key));
    if (!item) return "(none)";
    std::string out;
    for (const auto& p : item->getProps(taskPropertyIds())) {
        out += std::to_string(p.flags) + "/" + std::to_string(p.u32) + "/" + std::to_string(p.fileTime) + "/" +
               platform::utf16ToUtf8(p.text) + ";";
    }
    if (item->isRecurring()) {
        const auto& rp = item->recurrence();
        for (double v : {double(rp.type), double(rp.interval), double(rp.occurrences), double(rp.noEnd), rp.patternStart,
                         rp.patternEnd, double(rp.dayOfWeekMask), double(rp.dayOfMonth), double(rp.instance),
                         double(rp.monthOfYear)})
            out += std::to_string(v) + ",";
    }
    return out;
}

TEST(TaskGoldenTest, ExportsMatchTheExpectedTextByteForByteAndAgainUnchanged) {
    test::TempDeviceRoot root;
    test::PinnedZone zone{"Europe/Berlin"};
    test::StoreSession s(kKindTasks);
    ASSERT_NE(s.store(), nullptr);
    for (const char* name : {"every-property", "date-forms", "recurring"}) {
        SCOPED_TRACE(name);
        const auto inputs = test::vcalendarItems(test::readFileBytes(kData / (std::string(name) + ".vcs")));
        const auto expected = test::vcalendarItems(test::readFileBytes(kData / (std::string(name) + ".expected.vcs")));
        ASSERT_EQ(inputs.size(), expected.size());
        for (std::size_t i = 0; i < inputs.size(); ++i) {
            SCOPED_TRACE(i);
            const std::string key = s.add(inputs[i]);
            ASSERT_FALSE(key.empty());
            std::string want = expected[i];
            const std::size_t at = want.find("@KEY@");
            if (at != std::string::npos) want.replace(at, 5, key);
            const std::string exported = s.text(key);
            EXPECT_EQ(exported, want);
            // The export stored again on the same task gives the same text; once more changes nothing
            // on the device.
            ASSERT_TRUE(s.replace(key, exported));
            EXPECT_EQ(s.text(key), want);
            const std::string before = stored(key);
            ASSERT_TRUE(s.replace(key, exported));
            EXPECT_EQ(stored(key), before);
        }
    }
}

}  // namespace
}  // namespace orvale::tasks

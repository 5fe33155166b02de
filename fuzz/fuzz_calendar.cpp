// Any bytes, received as a calendar event: the import, the device write, the export and the
// exceptions must never crash, leak or run away; an event the store took must export to a text the
// store takes again.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/pim/PimSession.h"
#include "stores/calendar/EventDevice.h"
#include "stores/calendar/EventExceptions.h"
#include "stores/ItemList.h"

namespace pim = orvale::platform::pim;
namespace calendar = orvale::calendar;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A device root of its own, in memory where the machine has it: every input writes the store.
    std::error_code ec;
    const bool memory = std::filesystem::is_directory("/dev/shm", ec);
    std::string root = std::string(memory ? "/dev/shm" : "/tmp") + "/orvale-fuzz-XXXXXX";
    if (mkdtemp(root.data()) == nullptr) std::abort();
    setenv("ORVALE_DEVICE_ROOT", root.c_str(), 1);
    setenv("TZ", "Europe/Berlin", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // A session per input, as a sync run has: nothing the store keeps outlives the input.
    if (!pim::Session::logOn()) std::abort();
    if (const auto event = calendar::importEvent(text)) {
        std::string key;
        if (calendar::writeEvent(*event, key)) {
            const auto stored = calendar::readEvent(key);
            if (!stored) std::abort();
            const std::string exported = calendar::exportEvent(&*stored, key);
            const auto again = calendar::importEvent(exported);
            if (!again || !calendar::writeEvent(*again, key)) std::abort();
            pim::Session::current()->itemByOid(orvale::oidForKey(key))->remove();
        }
    }
    // The same bytes as the exceptions of a weekly appointment.
    auto item = pim::Session::current()->createItem(pim::kAppointment);
    pim::RecurrencePattern& pattern = item->recurrence();
    pattern.type = 1;
    pattern.dayOfWeekMask = 0x7F;
    pattern.patternStart = 39083.0;
    pattern.startTime = 0.375;
    calendar::deleteExceptionDates(text, *item, 3600, size % 2 == 0);
    (void)calendar::exceptionDatesText(pattern);
    item.reset();
    pim::Session::logOff();
    return 0;
}

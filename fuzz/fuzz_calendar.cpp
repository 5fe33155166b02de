// Any bytes, received as a calendar event and as a task: the import, the device write, the export
// and the exceptions must never crash, leak or run away; an event or task the store took must
// export to a text the store takes again, and a task's export must read back unchanged.
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
#include "stores/tasks/TaskDevice.h"
#include "tools/pim/ItemFiles.h"

namespace pim = orvale::platform::pim;
namespace calendar = orvale::calendar;
namespace tasks = orvale::tasks;

namespace {
void driveTask(std::string_view text) {
    const auto task = tasks::importTask(text);
    if (!task) return;
    std::string key;
    if (!tasks::writeTask(*task, key)) return;
    const auto stored = tasks::readTask(key);
    if (!stored) std::abort();
    const std::string exported = tasks::exportTask(&*stored, key);
    const auto again = tasks::importTask(exported);
    if (!again || !tasks::writeTask(*again, key)) std::abort();
    const auto reread = tasks::readTask(key);
    if (!reread) std::abort();
    // A NUL byte goes out as "=00", which the codec reads back as those three characters (so that
    // no consumer sees a NUL): such a text changes on every round trip, by design of the codec.
    if (text.find('\0') == std::string_view::npos && tasks::exportTask(&*reread, key) != exported) std::abort();
    pim::Session::current()->itemByOid(orvale::oidForKey(key))->remove();
}
}  // namespace

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
    // Each event of a calendar that holds several, as the import tool sees them.
    for (const std::string& one : orvale::pim_tool::splitCalendar(std::string(text), "VEVENT")) {
        const auto event = calendar::importEvent(one);
        if (!event) continue;
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
    driveTask(text);
    // The same bytes as the exceptions of a weekly appointment.
    auto item = pim::Session::current()->createItem(pim::kAppointment);
    pim::RecurrencePattern& pattern = item->recurrence();
    pattern.type = 1;
    pattern.dayOfWeekMask = 0x7F;
    pattern.patternStart = 39083.0;
    pattern.startTime = 0.375;
    calendar::deleteExceptionDates(text, *item, orvale::vcalendar::SenderZone{3600, {}}, size % 2 == 0);
    (void)calendar::exceptionDatesText(pattern);
    item.reset();
    pim::Session::logOff();
    return 0;
}

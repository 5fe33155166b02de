// The device side of the vCalendar corpus: imports one event the way a received item is stored,
// prints the occurrences the device then holds inside a window, and writes the event as the device
// exports it. Lines as the KDE reader's oracle prints them: "T YYYYMMDDTHHMMSSZ" (UTC) or
// "D YYYYMMDD" (all-day), then "S" and the summary, "N" and the description. Usage: orvale-vcal-probe IN OUT FROM TO, in a device root of its own
// (ORVALE_DEVICE_ROOT). Exit 3 when the store refuses the event, 2 on any other failure.
#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <utility>

#include "platform/SystemTime.h"
#include "platform/pim/PimSession.h"
#include "platform/pim/RecurrenceOccurrence.h"
#include "stores/DateTimeText.h"
#include "stores/ItemList.h"
#include "stores/calendar/EventDevice.h"
#include "stores/calendar/EventPropertyTable.h"
#include "stores/vcalendar/VCalendarTime.h"

namespace pim = orvale::platform::pim;
using namespace orvale;

namespace {
std::optional<double> dayOf(const std::string& date) { return vcalendar::variantOfText(date + "T000000"); }

std::string lineOf(double local, bool allDay) {
    platform::SystemTime st;
    if (!platform::variantTimeToSystemTime(local, st)) return "? unreadable";
    if (allDay) return "D " + datetime::formatSystemDate(st).substr(0, 8);
    return "T " + datetime::localToUtcText(st);
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s IN OUT FROM TO\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string text = std::move(bytes).str();
    const auto from = dayOf(argv[3]);
    const auto to = dayOf(argv[4]);
    if (!in) return 2;
    if (!from || !to || !pim::Session::logOn()) return 2;
    const auto event = calendar::importEvent(text);
    std::string key;
    if (!event || !calendar::writeEvent(*event, key)) {
        std::printf("refused\n");
        return 3;
    }
    const std::unique_ptr<pim::Item> item = pim::Session::current()->itemByOid(oidForKey(key));
    const auto device = calendar::readEvent(key);
    if (!item || !device) return 2;
    const auto& table = calendar::eventPropertyTable();
    const auto startTime = item->getProp(table[static_cast<std::size_t>(calendar::EventField::Start)].identifier).fileTime;
    const auto start = vcalendar::variantOfFileTime(startTime);
    if (!start) return 2;
    const bool allDay = device->fields[calendar::EventField::AllDay] == "1";
    if (const pim::RecurrencePattern* pattern = item->recurrencePattern()) {
        const double timeOfDay = *start - static_cast<double>(static_cast<long long>(*start));
        for (double day = *from; day <= *to; day += 1.0) {
            const double at = day + timeOfDay;
            if (pim::patternOccursAt(*pattern, at) && !pim::hasExceptionOn(*pattern, at)) std::printf("%s\n", lineOf(at, allDay).c_str());
        }
    } else if (*start >= *from && *start < *to + 1.0) {
        std::printf("%s\n", lineOf(*start, allDay).c_str());
    }
    // The texts as the device keeps them, line breaks shown as "\n".
    for (const auto& [tag, field] : {std::pair{"S", calendar::EventField::Subject}, std::pair{"N", calendar::EventField::Notes}}) {
        std::string value = device->fields[field];
        if (value.empty()) continue;
        for (std::size_t at; (at = value.find("\r\n")) != std::string::npos;) value.replace(at, 2, "\\n");
        std::printf("%s %s\n", tag, value.c_str());
    }
    std::ofstream out(argv[2], std::ios::binary);
    out << calendar::exportEvent(&*device, key);
    return out.good() ? 0 : 2;
}

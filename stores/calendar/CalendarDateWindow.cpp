#include "stores/calendar/CalendarDateWindow.h"

#include <cmath>

#include "platform/SystemTime.h"
#include "stores/DateTime.h"
#include "stores/VariantDate.h"
#include "stores/calendar/EventPropertyTable.h"
#include "stores/vcalendar/VCalendarTime.h"

namespace orvale::calendar {

namespace pim = platform::pim;

namespace {
std::optional<DateWindow> g_window;

std::uint32_t identifierOf(EventField field) {
    return eventPropertyTable()[static_cast<std::size_t>(field)].identifier;
}

std::optional<double> storedVariant(const pim::Item& appointment, EventField field) {
    const pim::PropValue v = appointment.getProp(identifierOf(field));
    if ((v.flags & pim::kFlagNotFound) != 0) return std::nullopt;
    return vcalendar::variantOfFileTime(v.fileTime);
}

// Strict comparisons on fractional days; a date that is not one (nothing stored) is never inside.
bool near(const std::optional<double>& when, const DateWindow& window, double today) {
    const std::optional<double> earliest = today - window.daysBefore;
    const std::optional<double> latest = today + window.daysAfter + 1.0;
    return datetime::variantDateBefore(earliest, when) && datetime::variantDateBefore(when, latest);
}
}  // namespace

void setCalendarDateWindow(std::optional<DateWindow> window) { g_window = window; }

std::optional<DateWindow> calendarDateWindow() { return g_window; }

double todayAsVariantDate() {
    const std::int64_t now = datetime::currentTime().value_or(0);
    constexpr std::int64_t kDay = platform::kSecondsPerDay;
    const std::int64_t day = now >= 0 ? now / kDay : (now - (kDay - 1)) / kDay;
    return static_cast<double>(platform::kVariantDayOfUnixEpoch + day);
}

bool insideDateWindow(const pim::Item& appointment, const DateWindow& window, double today) {
    if (near(storedVariant(appointment, EventField::Start), window, today)) return true;
    if (near(storedVariant(appointment, EventField::End), window, today)) return true;
    const pim::RecurrencePattern* pattern = appointment.recurrencePattern();
    if (pattern == nullptr) return false;
    return pattern->noEnd || datetime::variantDateBefore(today, pattern->patternEnd);
}

std::unordered_map<std::uint32_t, bool> appointmentsByWindow(const DateWindow& window, double today) {
    std::unordered_map<std::uint32_t, bool> found;
    pim::Session* session = pim::Session::current();
    if (session == nullptr) return found;
    const std::vector<std::uint32_t> times = {identifierOf(EventField::Start), identifierOf(EventField::End)};
    const bool read = session->visitFolder(pim::kFolderCalendar, times, 0, [&](pim::Item& appointment) {
        found.emplace(appointment.oid(), insideDateWindow(appointment, window, today));
    });
    if (!read) found.clear();
    return found;
}

}  // namespace orvale::calendar

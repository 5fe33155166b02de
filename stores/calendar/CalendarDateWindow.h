#pragma once
// The optional date window of the calendar: only events near today take part in a sync, so that
// years of old appointments are not sent again and again. Set by the run from the configuration.
#include <cstdint>
#include <optional>
#include <unordered_map>

#include "platform/pim/PimSession.h"

namespace orvale::calendar {

struct DateWindow {
    std::int32_t daysBefore = 0;
    std::int32_t daysAfter = 0;
};

// None while the window is off (the default).
void setCalendarDateWindow(std::optional<DateWindow> window);
std::optional<DateWindow> calendarDateWindow();

// Today's local date at 00:00 as a variant date.
double todayAsVariantDate();

// Whether the appointment starts or ends within the window around `today` (a variant date), or
// recurs without an end or with one later than today.
bool insideDateWindow(const platform::pim::Item& appointment, const DateWindow& window, double today);

// Every appointment of the calendar, read in one pass over the folder: whether it is inside the
// window. Empty when the folder cannot be read.
std::unordered_map<std::uint32_t, bool> appointmentsByWindow(const DateWindow& window, double today);

}  // namespace orvale::calendar

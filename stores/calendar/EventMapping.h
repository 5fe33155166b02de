#pragma once
// The vEvent side of an appointment: what a received VEVENT writes to the device, and the VEVENT
// an appointment's exported values make.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stores/calendar/EventPropertyTable.h"
#include "stores/vcalendar/SenderZone.h"

namespace orvale::calendar {

// A received event, ready for the device: the value texts in device local time and what goes
// beside the properties.
struct ReceivedEvent {
    EventFields fields;
    std::optional<std::string> rule;            // RRULE value
    std::optional<std::string> exceptionDates;  // EXDATE values, of every EXDATE property, joined by ";"
    vcalendar::SenderZone zone;                 // TZ and DAYLIGHT
    // ATTENDEE values after their first ":" (so "mailto:" falls away), UTF-8; none empty.
    std::vector<std::string> attendees;
};

// None when the text is no vCalendar holding a VEVENT, or when its DTSTART or DTEND names no
// date-time the device can hold (before 1601, or no real date): storing such an event would put it
// at some arbitrary date or lose its time.
std::optional<ReceivedEvent> importEvent(std::string_view text);

// An appointment as read from the device, its times already in their exported forms.
struct DeviceEvent {
    EventFields fields;
    std::string rule;            // RRULE text of its pattern; empty when it does not recur
    std::string exceptionDates;  // EXDATE text
    std::vector<std::string> attendees;  // the recipients' addresses, UTF-8
};

// The vCalendar text; UID carries the key. Without an event (a key that names no appointment) a
// VCALENDAR with an empty VEVENT.
std::string exportEvent(const DeviceEvent* event, std::string_view key);

}  // namespace orvale::calendar

#pragma once
// The vCalendar 1.0 wrapping that events and tasks share: a VCALENDAR holding one VEVENT or VTODO.
#include <memory>
#include <string_view>

#include "stores/versit/VersitDocument.h"

namespace orvale::vcalendar {

inline constexpr std::string_view kEvent = "VEVENT";
inline constexpr std::string_view kTodo = "VTODO";

// An empty VCALENDAR (VERSION, PRODID) with one `inner` block that receives the properties.
std::unique_ptr<VersitDocument> newVCalendar(std::string_view inner);

// The text as a document whose lookups read its first `inner` block; none unless the text is a
// complete VCALENDAR holding such a block (a vCard or a task sent to the calendar is refused).
std::unique_ptr<VersitDocument> parseVCalendar(std::string_view text, std::string_view inner);

}  // namespace orvale::vcalendar

#pragma once
// An appointment as an iCalendar VEVENT and a task as a VTODO, the form Evolution Data Server keeps
// calendars and task lists in. The device's values go in and come out unchanged wherever iCalendar
// can hold them; what it cannot hold is said where the mapping is made.
#include <optional>
#include <string>
#include <string_view>

#include "platform/pim/eds/ItemContent.h"

namespace orvale::platform::pim::eds {

// The component's text (BEGIN:VEVENT or BEGIN:VTODO ... END:...), with `uid` as its UID.
std::string toCalendarComponent(const ItemContent& item, std::string_view uid);

// The VTIMEZONE of the device's zone, which the written components name in their TZIDs; empty when
// they are written in UTC. A store adds it to the calendar before it adds components naming it.
std::string deviceTimezoneComponent();

// The item a VEVENT (an appointment) or VTODO (a task) holds; nullopt, with `why`, for text that
// is no such component. Time zones named by the component are resolved through `timezones`, the
// VTIMEZONE components of its calendar, when given.
std::optional<ItemContent> fromCalendarComponent(std::string_view component, std::string* why = nullptr,
                                                 std::string_view timezones = {});

}  // namespace orvale::platform::pim::eds

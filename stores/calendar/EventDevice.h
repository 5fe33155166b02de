#pragma once
// An appointment on the device: read whole when an item is built, written whole by an import, in
// one save so that no half-written event is ever stored.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/pim/PimSession.h"

#include "stores/calendar/EventMapping.h"

namespace orvale::calendar {

// None when the key names no appointment (or the session is not open).
std::optional<DeviceEvent> readEvent(const std::string& key);
// The event a device item holds, as readEvent gives it; also for an item not saved yet, or one
// read with only eventPropertyIds() of its properties.
DeviceEvent eventOfItem(const platform::pim::Item& item);
std::vector<std::uint32_t> eventPropertyIds();

// An empty key creates an appointment and receives its key; any other replaces that appointment.
// False when the device did not take the write, or refused the event's recurrence.
bool writeEvent(const ReceivedEvent& event, std::string& key);
// What writeEvent puts into the item, without saving it. `created`: the item is new, so only the
// rows the event carries are set. False when its RRULE names a series the device cannot hold (the
// item must then not be saved).
bool fillEvent(const ReceivedEvent& event, platform::pim::Item& appointment, bool created);

}  // namespace orvale::calendar

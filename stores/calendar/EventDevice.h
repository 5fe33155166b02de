#pragma once
// An appointment on the device: read whole when an item is built, written whole by an import, in
// one save so that no half-written event is ever stored.
#include <optional>
#include <string>

#include "stores/calendar/EventMapping.h"

namespace orvale::calendar {

// None when the key names no appointment (or the session is not open).
std::optional<DeviceEvent> readEvent(const std::string& key);

// An empty key creates an appointment and receives its key; any other replaces that appointment.
// False when the device did not take the write.
bool writeEvent(const ReceivedEvent& event, std::string& key);

}  // namespace orvale::calendar

#pragma once
// The name a person knows an item by, read from its text: a contact's FN (else N), an event's or a
// task's SUMMARY. Used by the run's diagnostic log only.
#include <string>
#include <string_view>

namespace orvale {

// Empty when the text holds none. At most 80 bytes; line breaks and control characters become
// spaces, so one name stays on one log line.
std::string itemDisplayName(std::string_view text);

}  // namespace orvale

#pragma once
// The appointment's recurrence as the calendar store hands it to the recurrence rules: the RRULE
// text of a pattern, and a received RRULE applied to the pattern of an appointment starting at
// `start` (a stored local date-time).
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/pim/PimTypes.h"

namespace orvale::calendar {

std::string ruleTextOf(const platform::pim::RecurrencePattern& pattern);
// False when the rule is refused; the caller then drops the recurrence.
bool applyRuleText(std::string_view rule, platform::pim::RecurrencePattern& pattern, std::uint64_t start);

}  // namespace orvale::calendar

#include "stores/calendar/EventRecurrence.h"

namespace orvale::calendar {

// Until the recurrence rules exist no rule is written or accepted.
std::string ruleTextOf(const platform::pim::RecurrencePattern&) { return {}; }

bool applyRuleText(std::string_view, platform::pim::RecurrencePattern&, std::uint64_t) { return false; }

}  // namespace orvale::calendar

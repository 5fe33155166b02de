#include "stores/calendar/EventRecurrence.h"

#include "platform/SystemTime.h"
#include "stores/recurrence/RecurrenceCodec.h"

namespace orvale::calendar {

std::string ruleTextOf(const platform::pim::RecurrencePattern& pattern) { return recurrence::writeRule(pattern); }

bool applyRuleText(std::string_view rule, platform::pim::RecurrencePattern& pattern, std::uint64_t start) {
    platform::SystemTime local;
    if (!platform::fileTimeToSystemTime(start, local)) return false;
    return recurrence::applyRule(rule, pattern, local);
}

}  // namespace orvale::calendar

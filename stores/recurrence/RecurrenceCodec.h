#pragma once
// Recurrence as vCalendar 1.0 carries it: the basic recurrence grammar of the RRULE property
// ("D1 #5", "W2 MO WE FR 20071231T000000Z", "MP1 2+ TU #10", "YM1 6 #0") to and from the device's
// recurrence pattern. The calendar and the tasks stores both map RRULE through here, and their
// change tracking puts the written rule into an item's fingerprint, so that a change of recurrence
// alone is a change of the item.
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/SystemTime.h"
#include "platform/pim/RecurrencePattern.h"

namespace orvale::recurrence {

// Longer rule texts are rejected whole.
inline constexpr std::size_t kMaxRuleLength = 99;

// The RRULE value for `pattern`: the count when it ends (0 when it does not), the end date in UTC
// for the kinds that carry one. Empty when the pattern has no form in the grammar (a weekly
// pattern without days, a type the grammar lacks): the item then goes out without RRULE.
std::string writeRule(const platform::pim::RecurrencePattern& pattern);

// Applies the RRULE value `rule` to `pattern`, which starts where its item does (as
// Item::recurrence() makes it). `start` is the item's start in device local time (the
// appointment's start; the task's start date, else its due date): a weekly rule without days
// recurs on its weekday, a yearly one on its day. False when the rule is rejected (an unknown
// kind, a zero interval, a position or day the device cannot hold, an unreadable end, a text over
// kMaxRuleLength, a pattern with no occurrence up to 9999); the pattern may then hold part of the rule, and the caller clears the item's
// recurrence. A rule without count or end date is applied and changes nothing.
bool applyRule(std::string_view rule, platform::pim::RecurrencePattern& pattern, const platform::SystemTime& start);

}  // namespace orvale::recurrence

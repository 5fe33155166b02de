#pragma once
// Value rules that events and tasks share: categories, the alarm pair and the sensitivity words.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stores/versit/VersitDocument.h"

namespace orvale::vcalendar {

// Every value of every CATEGORIES property of the item, in the order the text gave them.
std::vector<std::string> categoryValues(const VersitDocument& doc);
// The device's one categories text: a single value as it is, several joined with ", ".
std::string joinCategories(const std::vector<std::string>& values);
// The device's categories text cut at ", " (not where a backslash comes before it), for one
// CATEGORIES property with a value per category.
std::vector<std::string> splitCategories(std::string_view text);

// The alarm of a received item: DALARM's value when there is one, else AALARM's; none without both.
std::optional<std::string> alarmValue(const VersitDocument& doc);
// The date-time an alarm value starts with (its first component).
std::string_view alarmTime(std::string_view value);
// AALARM and DALARM, each with the time and three empty components (snooze, repeat, text).
void addAlarmPair(VersitDocument& doc, const std::string& time);

// CLASS for a sensitivity code ("1" PERSONAL, "2" PRIVATE, "3" CONFIDENTIAL); none for normal (0)
// and anything else. And back: an unknown word is normal, "0". Words are compared exactly.
std::optional<std::string> classForSensitivity(std::string_view code);
std::string sensitivityForClass(std::string_view word);

}  // namespace orvale::vcalendar

#pragma once
// Files of items as people keep them: several vCards or vCalendars one after the other, with CR LF
// or plain LF line ends.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvale::pim_tool {

struct SplitResult {
    std::vector<std::string> items;  // each from its BEGIN line to its END line, lines ended by CR LF
    std::string error;               // empty when the whole text was understood
};

// Text outside items (blank lines, comments) is skipped. An item left open at the end of the text is
// an error; nested BEGIN/END blocks stay inside their item.
SplitResult splitItems(std::string_view text);

// A VCALENDAR item as one item per `inner` block ("VEVENT"), each with the calendar's own properties
// (TZ, DAYLIGHT) around it: the stores keep one event or task per item. Blocks of other kinds are
// left out. An item with at most one such block comes back as it is.
std::vector<std::string> splitCalendar(const std::string& item, std::string_view inner);

// Why an item cannot go into a store whose items are `component` blocks ("VCARD", or a block with
// the one it must hold: "VCALENDAR/VEVENT"); empty when it can.
std::string itemProblem(std::string_view item, std::string_view component);

// Whole file, or none when it cannot be read.
std::optional<std::string> readFile(const std::string& path);

}  // namespace orvale::pim_tool

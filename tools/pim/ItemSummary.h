#pragma once
// One line that tells a person which item a key is: the contact's name, the event's or task's
// summary.
#include <string>
#include <string_view>

namespace orvale::pim_tool {

std::string summarise(std::string_view itemText);

}  // namespace orvale::pim_tool

#pragma once
// Values a run takes from the configuration record rather than reading fields as they stand.
#include <string>

#include "app/ConfigRecord.h"

namespace orvale {

// The calendar URI sent to the server: with the calendar range on, the stored URI followed by the
// date-range filter ("cal?/dr(-30,90)"); otherwise the stored URI unchanged.
std::u16string calendarUriForServer(const ConfigRecord& record);

// A text field as the engine takes it: narrow text of the default code page.
std::string narrowField(const ConfigRecord& record, ConfigText field);

}  // namespace orvale

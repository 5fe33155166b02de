#pragma once
// The last-sync text of the record: local time as "%d/%m/%y %I:%M %p" ("08/12/26 07:15 PM").
#include <string>

#include "platform/SystemTime.h"

namespace orvale {

std::u16string formatLastSyncText(const platform::SystemTime& localTime);

// After a successful run: the current local time becomes the record's last-sync text and the
// record is saved. Returns the text.
class ConfigRecord;
std::u16string recordSuccessfulRun(ConfigRecord& record);

}  // namespace orvale

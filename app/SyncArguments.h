#pragma once
// What a run hands the engine, taken from the configuration record: narrow texts, and one URI per
// folder that takes part (none for a folder that is off or has no URI).
#include <optional>
#include <string>

#include "app/ConfigRecord.h"
#include "stores/calendar/CalendarDateWindow.h"

namespace orvale {

struct SyncArguments {
    std::string url;
    std::string user;
    std::string password;
    std::optional<std::string> contactsUri;
    std::optional<std::string> tasksUri;
    std::optional<std::string> calendarUri;  // with the date-range filter when the range is on
    // The days before and after today whose events the calendar sends, when the range is on.
    std::optional<calendar::DateWindow> calendarWindow;

    bool anyFolder() const { return contactsUri || tasksUri || calendarUri; }
};

// An enabled calendar without a URI takes no part: the range filter has nothing to go onto.
SyncArguments prepareSyncArguments(const ConfigRecord& record);

}  // namespace orvale

#include "stores/calendar/CalendarTracking.h"

#include "platform/TextConversion.h"
#include "platform/pim/PimTypes.h"
#include "stores/calendar/EventExceptions.h"
#include "stores/calendar/EventPropertyTable.h"
#include "stores/recurrence/RecurrenceCodec.h"

namespace orvale::calendar {

namespace pim = platform::pim;

namespace {
std::u16string beyondTheRows(pim::Item& item, const std::vector<pim::PropValue>& values) {
    std::u16string text;
    if (const auto* pattern = vcalendar::trackedPattern(item, values.at(static_cast<std::size_t>(EventField::IsRecurring)))) {
        text += platform::utf8ToUtf16(recurrence::writeRule(*pattern));
        text += platform::utf8ToUtf16(exceptionDatesText(*pattern));
    }
    for (const auto& recipient : item.recipients()) {
        text += recipient.name;
        text += recipient.address;
    }
    return text;
}
}  // namespace

TrackerProfile calendarTrackerProfile() {
    TrackerProfile profile;
    profile.folder = pim::kFolderCalendar;
    profile.rows = vcalendar::fingerprintRows(eventPropertyTable());
    profile.extraText = beyondTheRows;
    return profile;
}

}  // namespace orvale::calendar

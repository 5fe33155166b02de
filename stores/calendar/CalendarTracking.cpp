#include "stores/calendar/CalendarTracking.h"

#include "platform/TextConversion.h"
#include "platform/pim/PimTypes.h"
#include "stores/calendar/EventExceptions.h"
#include "stores/calendar/EventPropertyTable.h"
#include "stores/recurrence/RecurrenceCodec.h"

namespace orvale::calendar {

namespace pim = platform::pim;

namespace {
RowKind rowKind(EventFieldKind kind) {
    switch (kind) {
        case EventFieldKind::Text: return RowKind::Text;
        case EventFieldKind::Integer: return RowKind::Number16;
        case EventFieldKind::Flag: return RowKind::Flag;
        case EventFieldKind::Time: return RowKind::Time;
    }
    return RowKind::Skip;
}

std::u16string beyondTheRows(pim::Item& item, const std::vector<pim::PropValue>& values) {
    std::u16string text;
    const pim::PropValue& recurring = values.at(static_cast<std::size_t>(EventField::IsRecurring));
    const pim::RecurrencePattern* pattern = item.recurrencePattern();
    if ((recurring.flags & pim::kFlagNotFound) == 0 && recurring.u32 != 0 && pattern != nullptr) {
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
    for (const EventProperty& p : eventPropertyTable()) profile.rows.push_back({p.identifier, rowKind(p.kind)});
    profile.extraText = beyondTheRows;
    return profile;
}

}  // namespace orvale::calendar

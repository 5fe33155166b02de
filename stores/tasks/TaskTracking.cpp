#include "stores/tasks/TaskTracking.h"

#include "platform/TextConversion.h"
#include "stores/recurrence/RecurrenceCodec.h"
#include "stores/tasks/TaskPropertyTable.h"

namespace orvale::tasks {

namespace pim = platform::pim;

namespace {
std::u16string beyondTheRows(pim::Item& item, const std::vector<pim::PropValue>& values) {
    const auto* pattern = vcalendar::trackedPattern(item, values.at(static_cast<std::size_t>(TaskField::IsRecurring)));
    return pattern != nullptr ? platform::utf8ToUtf16(recurrence::writeRule(*pattern)) : std::u16string();
}
}  // namespace

TrackerProfile taskTrackerProfile() {
    TrackerProfile profile;
    profile.folder = pim::kFolderTasks;
    profile.rows = vcalendar::fingerprintRows(taskPropertyTable());
    profile.extraText = beyondTheRows;
    return profile;
}

}  // namespace orvale::tasks

// A recurring item's pattern: made on first use from the item's dates, moved with them, and asked
// which occurrences it has.
#include <cmath>

#include "platform/SystemTime.h"
#include "platform/pim/PimSession.h"
#include "platform/pim/RecurrenceOccurrence.h"

namespace orvale::platform::pim {

namespace {

// A time property as a local variant date; nothing when it is absent or holds no date (zero, or
// the device's 4501-01-01).
std::optional<double> dateProp(const Item& item, uint32_t id) {
    const PropValue v = item.getProp(id);
    SystemTime st;
    double date = 0;
    if (v.flags == kFlagNotFound || (v.fileTime >> 32) == 0 || !fileTimeToSystemTime(v.fileTime, st) ||
        !systemTimeToVariantTime(st, date) || date == kNoEndDate)
        return std::nullopt;
    return date;
}

// Where a pattern starts: the appointment's start; the task's start, or its due date without one.
std::optional<double> itemStart(const Item& item) {
    if (item.type() == kAppointment) return dateProp(item, kAppointmentStartProp);
    if (item.type() == kTask) {
        if (auto start = dateProp(item, kTaskStartProp)) return start;
        return dateProp(item, kTaskDueProp);
    }
    return std::nullopt;
}

double timeOfDay(double date) {
    const double linear = linearVariantDays(date);
    return linear - std::floor(linear);
}

}  // namespace

void Item::followStart() {
    if (!recurrence_) return;
    if (const auto start = itemStart(*this)) recurrence_->setStart(*start);
    if (const auto end = type_ == kAppointment ? dateProp(*this, kAppointmentEndProp) : std::nullopt)
        recurrence_->endTime = timeOfDay(*end);
}

RecurrencePattern& Item::recurrence() {
    if (!recurrence_) {
        const auto start = itemStart(*this);
        RecurrencePattern& rp = recurrence_.emplace(start ? patternStartingAt(*start) : RecurrencePattern{});
        rp.setNoEnd(true);
        if (const auto end = type_ == kAppointment ? dateProp(*this, kAppointmentEndProp) : std::nullopt)
            rp.endTime = timeOfDay(*end);
    }
    return *recurrence_;
}

bool Item::hasOccurrenceAt(double when) const {
    return recurrence_ && patternOccursAt(*recurrence_, when) && !hasExceptionOn(*recurrence_, when);
}

bool Item::deleteOccurrenceAt(double when) {
    if (!hasOccurrenceAt(when)) return false;
    recurrence_->exceptions.push_back({when, true});
    return true;
}

}  // namespace orvale::platform::pim

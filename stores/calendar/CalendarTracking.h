#pragma once
// What the change tracker reads of an appointment: the table's rows and, beyond them, its
// recurrence rule and exceptions and its recipients.
#include "stores/ChangeTracker.h"

namespace orvale::calendar {

TrackerProfile calendarTrackerProfile();

}  // namespace orvale::calendar

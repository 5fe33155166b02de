#pragma once
// What the change tracker reads of a task: the table's rows and, beyond them, its recurrence rule.
#include "stores/ChangeTracker.h"

namespace orvale::tasks {

TrackerProfile taskTrackerProfile();

}  // namespace orvale::tasks

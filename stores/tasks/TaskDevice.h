#pragma once
// A task on the device: read whole when an item is built, written whole by an import, in one save
// so that no half-written task is ever stored.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/pim/PimSession.h"
#include "stores/tasks/TaskMapping.h"

namespace orvale::tasks {

// None when the key names no task (or the session is not open).
std::optional<DeviceTask> readTask(const std::string& key);
// The task a device item holds, as readTask gives it; also for an item not saved yet, or one read
// with only taskPropertyIds() of its properties.
DeviceTask taskOfItem(const platform::pim::Item& item);
std::vector<std::uint32_t> taskPropertyIds();

// An empty key creates a task and receives its key; any other replaces that task. False when the
// device did not take the write, or refused the task's recurrence.
bool writeTask(const ReceivedTask& task, std::string& key);
// What writeTask puts into the item, without saving it: every row of the table, the recurrence
// when the task carries a rule. False when the rule names a series the device cannot hold.
bool fillTask(const ReceivedTask& task, platform::pim::Item& item);

}  // namespace orvale::tasks

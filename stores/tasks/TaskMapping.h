#pragma once
// The vTodo side of a task: what a received VTODO writes to the device, and the VTODO a task's
// exported values make.
#include <optional>
#include <string>
#include <string_view>

#include "stores/tasks/TaskPropertyTable.h"

namespace orvale::tasks {

// A received task, ready for the device: the value texts, times in device local time.
struct ReceivedTask {
    TaskFields fields;
    std::optional<std::string> rule;  // RRULE value
};

// None when the text is no vCalendar holding a VTODO. A time that cannot be read leaves its row
// empty; the task is stored without it.
std::optional<ReceivedTask> importTask(std::string_view text);

// A task as read from the device, its values already in their exported forms (dates at noon).
struct DeviceTask {
    TaskFields fields;
    std::string rule;  // RRULE text of its pattern; empty when it does not recur
};

// The vCalendar text; UID carries the key. Without a task (a key that names none) a VCALENDAR with
// an empty VTODO.
std::string exportTask(const DeviceTask* task, std::string_view key);

}  // namespace orvale::tasks

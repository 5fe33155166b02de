#pragma once
// The task properties the tasks store reads and writes: one row per property, in the device's fixed
// order. Reading, writing and change fingerprints all walk this one table.
#include <array>
#include <cstddef>

#include "stores/FieldTexts.h"
#include "stores/vcalendar/VCalendarFields.h"

namespace orvale::tasks {

enum class TaskField : std::size_t {
    Subject,
    Unmapped1,
    Notes,
    Categories,
    Sensitivity,
    Importance,
    Complete,
    ReminderSet,
    IsRecurring,
    Start,
    Due,
    ReminderTime,
    DateCompleted,
};

inline constexpr std::size_t kTaskFieldCount = 13;

// By row: 0-3 text, 4-5 integer, 6-8 flag, 9-12 time.
const std::array<vcalendar::FieldProperty, kTaskFieldCount>& taskPropertyTable();

// UTF-8 texts; integers in decimal, flags "1"/"0", times "YYYYMMDDTHHMMSS" in device local time (on
// the way out the dates at noon).
using TaskFields = FieldTexts<TaskField, kTaskFieldCount>;

}  // namespace orvale::tasks

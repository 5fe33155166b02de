#pragma once
// The appointment properties the calendar store reads and writes: one row per property, in the
// device's fixed order. Reading, writing and change fingerprints all walk this one table.
#include <array>
#include <cstddef>
#include <cstdint>

#include "stores/FieldTexts.h"

namespace orvale::calendar {

enum class EventField : std::size_t {
    Notes,
    Subject,
    Unmapped2,
    Location,
    Unmapped4,
    Categories,
    Sensitivity,
    Unmapped7,
    BusyStatus,
    ReminderMinutes,
    Unmapped10,
    IsRecurring,
    ReminderSet,
    AllDay,
    Start,
    End,
    Unmapped16,
    Unmapped17,
};

inline constexpr std::size_t kEventFieldCount = 18;

// By row: 0-5 text, 6-10 integer, 11-13 flag, 14-17 time.
enum class EventFieldKind { Text, Integer, Flag, Time };

struct EventProperty {
    std::uint32_t identifier;  // high 16 bits the property number, low 16 bits the value type
    EventFieldKind kind;
};

const std::array<EventProperty, kEventFieldCount>& eventPropertyTable();

// UTF-8 texts; integers in decimal (0 is no value), flags "1"/"0", times "YYYYMMDDTHHMMSS" in device
// local time on the way in and as exported (UTC with "Z", or a date and "T000000") on the way out.
using EventFields = FieldTexts<EventField, kEventFieldCount>;

}  // namespace orvale::calendar

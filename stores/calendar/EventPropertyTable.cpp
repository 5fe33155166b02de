#include "stores/calendar/EventPropertyTable.h"

namespace orvale::calendar {

namespace {
constexpr auto T = EventFieldKind::Text;
constexpr auto I = EventFieldKind::Integer;
constexpr auto F = EventFieldKind::Flag;
constexpr auto D = EventFieldKind::Time;

constexpr std::array<EventProperty, kEventFieldCount> kTable = {{
    {0x101F001F, T},  // Notes
    {0x0020001F, T},  // Subject
    {0x0029001F, T},
    {0x0041001F, T},  // Location
    {0x0051001F, T},
    {0x101D001F, T},  // Categories
    {0x00210013, I},  // Sensitivity
    {0x002A0013, I},
    {0x00450013, I},  // BusyStatus
    {0x00460013, I},  // ReminderMinutes
    {0x00500013, I},
    {0x0022000B, F},  // IsRecurring (read only)
    {0x0028000B, F},  // ReminderSet
    {0x0044000B, F},  // AllDay
    {0x10420040, D},  // Start
    {0x10430040, D},  // End
    {0x00520040, D},
    {0x00530040, D},
}};
}  // namespace

const std::array<EventProperty, kEventFieldCount>& eventPropertyTable() { return kTable; }

}  // namespace orvale::calendar

#include "stores/tasks/TaskPropertyTable.h"

namespace orvale::tasks {

namespace {
constexpr auto T = vcalendar::FieldKind::Text;
constexpr auto I = vcalendar::FieldKind::Integer;
constexpr auto F = vcalendar::FieldKind::Flag;
constexpr auto D = vcalendar::FieldKind::Time;

constexpr std::array<vcalendar::FieldProperty, kTaskFieldCount> kTable = {{
    {0x0020001F, T},  // Subject
    {0x0029001F, T},
    {0x101F001F, T},  // Notes
    {0x101D001F, T},  // Categories
    {0x00210013, I},  // Sensitivity
    {0x00600013, I},  // Importance: 0 low, 1 normal, 2 high
    {0x1065000B, F},  // Complete
    {0x0028000B, F},  // ReminderSet
    {0x0022000B, F},  // IsRecurring (read only)
    {0x00620040, D},  // Start
    {0x00630040, D},  // Due
    {0x10660040, D},  // ReminderTime
    {0x00640040, D},  // DateCompleted
}};
}  // namespace

const std::array<vcalendar::FieldProperty, kTaskFieldCount>& taskPropertyTable() { return kTable; }

}  // namespace orvale::tasks

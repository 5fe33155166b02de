#include "stores/tasks/TaskDevice.h"

#include "stores/ItemList.h"
#include "stores/recurrence/RecurrenceCodec.h"
#include "stores/vcalendar/VCalendarFields.h"
#include "stores/vcalendar/VCalendarTime.h"

namespace orvale::tasks {

namespace pim = platform::pim;

namespace {
using F = TaskField;

constexpr std::size_t row(F field) { return static_cast<std::size_t>(field); }

// What a task the device made holds before anything is set: normal importance and sensitivity.
std::string integerText(const pim::PropValue& v, F field) {
    if ((v.flags & pim::kFlagNotFound) != 0) return field == F::Importance ? "1" : "0";
    return std::to_string(v.u32 & 0xFFFFu);
}

// Where a received rule starts: the task's start date, or without one its due date.
std::optional<platform::SystemTime> recurrenceStart(const pim::Item& task) {
    for (F field : {F::Start, F::Due}) {
        const pim::PropValue v = task.getProp(taskPropertyTable()[row(field)].identifier);
        if ((v.flags & pim::kFlagNotFound) != 0) continue;
        if (auto st = vcalendar::setDateOfFileTime(v.fileTime)) return st;
    }
    return std::nullopt;
}
}  // namespace

std::vector<std::uint32_t> taskPropertyIds() { return vcalendar::propertyIds(taskPropertyTable()); }

std::optional<DeviceTask> readTask(const std::string& key) {
    const auto item = vcalendar::deviceItemByKey(key, pim::kTask);
    if (!item) return std::nullopt;
    return taskOfItem(*item);
}

DeviceTask taskOfItem(const pim::Item& item) {
    const auto& table = taskPropertyTable();
    const auto values = item.getProps(taskPropertyIds());
    DeviceTask task;
    TaskFields& f = task.fields;
    for (std::size_t r = 0; r < table.size(); ++r) {
        const pim::PropValue& v = values[r];
        switch (table[r].kind) {
            case vcalendar::FieldKind::Text:
                f.row(r) = vcalendar::textOfValue(v);
                break;
            case vcalendar::FieldKind::Integer:
                f.row(r) = integerText(v, static_cast<F>(r));
                break;
            case vcalendar::FieldKind::Flag:
                f.row(r) = vcalendar::flagOfValue(v);
                break;
            case vcalendar::FieldKind::Time:
                if ((v.flags & pim::kFlagNotFound) != 0) break;
                // The reminder is a moment; the other times are dates, written at noon.
                f.row(r) = r == row(F::ReminderTime) ? vcalendar::localTextOfFileTime(v.fileTime)
                                                     : vcalendar::noonTextOfFileTime(v.fileTime);
                break;
        }
    }
    if (const pim::RecurrencePattern* pattern = item.recurrencePattern()) task.rule = recurrence::writeRule(*pattern);
    return task;
}

bool writeTask(const ReceivedTask& task, std::string& key) {
    pim::Session* session = pim::Session::current();
    if (session == nullptr) return false;
    const bool create = key.empty();
    auto item = create ? session->createItem(pim::kTask) : vcalendar::deviceItemByKey(key, pim::kTask);
    if (!item) return false;
    if (!fillTask(task, *item)) return false;
    if (!item->save()) return false;
    if (create) key = keyForOid(item->oid());
    return true;
}

bool fillTask(const ReceivedTask& task, pim::Item& item) {
    // Every row, new task or replaced: what the text lacks takes the value a new task has on the
    // device, so a task reads and fingerprints the same however it came to be stored.
    const auto& table = taskPropertyTable();
    std::vector<pim::PropValue> values;
    values.reserve(table.size());
    static const std::string kNormalImportance = "1";
    for (std::size_t r = 0; r < table.size(); ++r) {
        const std::string& text = task.fields.row(r);
        const bool importance = r == row(F::Importance);
        values.push_back(vcalendar::deviceValue(table[r], text.empty() && importance ? kNormalImportance : text));
    }
    item.setProps(values);

    if (task.rule) {
        // A new pattern starts where the task now does; a task with neither date cannot recur. A
        // rule the device refuses refuses the task: it would be stored as another series.
        item.clearRecurrence();
        const auto start = recurrenceStart(item);
        if (!start) return true;
        if (!recurrence::applyRule(*task.rule, item.recurrence(), *start)) {
            item.clearRecurrence();
            return false;
        }
    }
    return true;
}

}  // namespace orvale::tasks

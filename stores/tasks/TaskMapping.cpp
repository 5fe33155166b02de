#include "stores/tasks/TaskMapping.h"

#include <cstdint>

#include "platform/DecimalText.h"
#include "stores/DateTimeText.h"
#include "stores/ZoneOffset.h"
#include "stores/vcalendar/VCalendarDocument.h"
#include "stores/vcalendar/VCalendarTime.h"
#include "stores/vcalendar/VCalendarValues.h"

namespace orvale::tasks {

namespace {
using F = TaskField;

constexpr std::string_view kNoon = "T120000";

// Rule 2 of the import for every time of a task. A date alone (the usual form of a task's dates) is
// that local date at noon, the form the store writes, in no zone. Empty for a value that names no
// time the device can store (its file times begin in 1601).
std::string deviceTime(std::string_view value, std::int32_t zoneOffset) {
    std::string local = datetime::isDateOnly(value) ? std::string(value) + std::string(kNoon)
                                                    : vcalendar::deviceLocalText(value, zoneOffset).value_or(std::string());
    return vcalendar::fileTimeOfText(local) != 0 ? local : std::string();
}

// PRIORITY 1 is high (2), 3 and more low (0), anything else normal (1).
std::string importanceOfPriority(std::string_view priority) {
    const std::int32_t n = platform::leadingDecimal(priority);
    if (n >= 3) return "0";
    return n == 1 ? "2" : "1";
}

std::string priorityOfImportance(std::string_view importance) {
    if (importance == "0") return "3";
    if (importance == "2") return "1";
    return "2";
}
}  // namespace

std::optional<ReceivedTask> importTask(std::string_view text) {
    const auto doc = vcalendar::parseVCalendar(text, vcalendar::kTodo);
    if (!doc) return std::nullopt;
    ReceivedTask t;
    TaskFields& f = t.fields;
    std::int32_t zoneOffset = 0;
    if (const auto tz = doc->getValue("TZ")) zoneOffset = datetime::parseZoneOffset(*tz);
    t.rule = doc->getValue("RRULE");
    if (auto v = doc->getValue("SUMMARY")) f[F::Subject] = std::move(*v);
    if (auto v = doc->getValue("DESCRIPTION")) f[F::Notes] = std::move(*v);
    f[F::Categories] = vcalendar::joinCategories(vcalendar::categoryValues(*doc));

    const auto readTime = [&](const char* name, F row) {
        if (const auto value = doc->getValue(name)) f[row] = deviceTime(*value, zoneOffset);
    };
    readTime("COMPLETED", F::DateCompleted);
    readTime("DTSTART", F::Start);
    readTime("DUE", F::Due);
    // Also for a DUE that cannot be read: the task then exports without one, and the start would
    // take its place on the next import anyway.
    if (f[F::Due].empty()) f[F::Due] = f[F::Start];

    if (const auto alarm = vcalendar::alarmValue(*doc)) {
        f[F::ReminderSet] = "1";
        f[F::ReminderTime] = deviceTime(vcalendar::alarmTime(*alarm), zoneOffset);
    } else {
        f[F::ReminderSet] = "0";
    }
    if (doc->getValue("STATUS") == "COMPLETED") f[F::Complete] = "1";
    if (const auto v = doc->getValue("PRIORITY")) f[F::Importance] = importanceOfPriority(*v);
    if (const auto v = doc->getValue("CLASS")) f[F::Sensitivity] = vcalendar::sensitivityForClass(*v);
    return t;
}

std::string exportTask(const DeviceTask* task, std::string_view key) {
    auto doc = vcalendar::newVCalendar(vcalendar::kTodo);
    if (task != nullptr) {
        const TaskFields& f = task->fields;
        const auto add = [&](const char* name, const std::string& value) {
            if (!value.empty()) doc->addProperty(name, value);
        };
        add("UID", std::string(key));
        add("DTSTART", f[F::Start]);
        add("DUE", f[F::Due]);
        add("COMPLETED", f[F::DateCompleted]);
        add("SUMMARY", f[F::Subject]);
        add("DESCRIPTION", f[F::Notes]);
        if (!f[F::Categories].empty()) doc->addProperty("CATEGORIES", vcalendar::splitCategories(f[F::Categories]));
        if (f[F::Complete] == "1") doc->addProperty("STATUS", std::string("COMPLETED"));
        doc->addProperty("PRIORITY", priorityOfImportance(f[F::Importance]));
        if (f[F::ReminderSet] == "1" && !f[F::ReminderTime].empty()) vcalendar::addAlarmPair(*doc, f[F::ReminderTime]);
        if (const auto word = vcalendar::classForSensitivity(f[F::Sensitivity])) doc->addProperty("CLASS", *word);
        if (f[F::IsRecurring] == "1" && !task->rule.empty()) doc->addProperty("RRULE", task->rule);
    }
    return doc->serialize();
}

}  // namespace orvale::tasks

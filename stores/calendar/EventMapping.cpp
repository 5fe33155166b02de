#include "stores/calendar/EventMapping.h"

#include <array>
#include <cstdio>

#include "platform/DecimalText.h"
#include "platform/SystemTime.h"
#include "stores/DateTimeText.h"
#include "stores/ZoneOffset.h"
#include "stores/vcalendar/VCalendarDocument.h"
#include "stores/vcalendar/VCalendarTime.h"
#include "stores/vcalendar/VCalendarValues.h"

namespace orvale::calendar {

namespace {
using F = EventField;

constexpr std::array<std::string_view, 4> kBusyWords = {"FREE", "TENTATIVE", "BUSY", "OUT OF OFFICE"};
constexpr std::string_view kMidnight = "T000000";

// "YYYYMMDD" of the day after a "YYYYMMDD..." text; the text's own date when it names none or
// the next would be past the last year a date can have.
std::string dayAfter(std::string_view text) {
    const auto number = [&](std::size_t at, std::size_t n) { return platform::leadingDecimal(text.substr(at, n)); };
    std::int64_t year = number(0, 4);
    const int m = number(4, 2), d = number(6, 2);
    if (m < 1 || m > 12 || d < 1 || d > 31) return std::string(text.substr(0, 8));
    unsigned month = static_cast<unsigned>(m), day = static_cast<unsigned>(d);
    if (year >= 9999 && month == 12 && day == 31) return std::string(text.substr(0, 8));
    platform::daysToCivil(platform::civilToDays(year, month, day) + 1, year, month, day);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d%02u%02u", static_cast<int>(year), month, day);
    return buf;
}

// Dates without a time of day (the usual form of all-day events elsewhere) are local midnights;
// a start date without an end is an all-day event too, and so is a start at local midnight without
// an end, the form other writers use for a one-day event (a timed event has an end).
void mendDateOnly(std::optional<std::string>& start, std::optional<std::string>& end) {
    if (start && datetime::isDateOnly(*start)) {
        if (!end) end = *start;
        *start += kMidnight;
    }
    if (start && !end && start->size() == 15 && std::string_view(*start).substr(8) == kMidnight) end = *start;
    if (end && datetime::isDateOnly(*end)) *end += kMidnight;
}

bool hasAllDayTimes(const std::string& start, const std::string& end) {
    if (start.size() <= 14 || end.size() <= 14) return false;
    const std::string_view endTime = std::string_view(end).substr(9, 6);
    return std::string_view(start).substr(9, 6) == "000000" &&
           (endTime == "235959" || endTime == "000000" || endTime == "235900");
}

// The device keeps an all-day event from midnight to the midnight that ends its last day, the form
// it exports: an end late on a day ends at the next midnight, and an end that is no later than the
// start (a date given twice) makes the event one day long.
std::string allDayEnd(const std::string& start, const std::string& end) {
    std::string day = end.substr(0, 8);
    if (std::string_view(end).substr(9, 6) != "000000") day = dayAfter(day);
    if (day <= start.substr(0, 8)) day = dayAfter(start);
    return day + std::string(kMidnight);
}

std::optional<std::int64_t> alarmSeconds(std::string_view time, const vcalendar::SenderZone& zone, bool allDay) {
    if (time.find('Z') != std::string_view::npos) return datetime::parseUtc(time);
    // An alarm without Z is in the zone the event's own times were given in: TZ's, unless the
    // event is all-day, whose times are the device's dates as they stand.
    const std::int32_t offset = zone.offsetAt(time);
    if (allDay || offset == 0) return datetime::parseLocal(time);
    const auto local = vcalendar::deviceLocalText(time, offset);
    return local ? datetime::parseLocal(*local) : std::nullopt;
}

std::string busyCode(std::string_view word) {
    for (std::size_t i = 1; i < kBusyWords.size(); ++i)
        if (word == kBusyWords[i]) return std::to_string(i);
    return "0";
}

std::optional<std::string_view> busyWord(std::string_view code) {
    if (code.empty()) return kBusyWords[0];
    if (code.size() == 1 && code[0] >= '1' && code[0] <= '3') return kBusyWords[static_cast<std::size_t>(code[0] - '0')];
    return std::nullopt;
}

std::vector<std::string> exceptionValues(std::string_view text) {
    std::vector<std::string> values;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(';', start)) != std::string_view::npos; start = at + 1)
        values.emplace_back(text.substr(start, at - start));
    values.emplace_back(text.substr(start));
    return values;
}

std::vector<std::string> attendeesOf(const VersitDocument& doc) {
    std::vector<std::string> out;
    const VersitProperty* first = doc.lookupComponent()->property("ATTENDEE");
    if (first == nullptr) return out;
    auto take = [&](const VersitProperty& p) {
        std::string value = p.joinedValues();
        const std::size_t colon = value.find(':');
        if (colon != std::string::npos) value.erase(0, colon + 1);
        if (!value.empty()) out.push_back(std::move(value));
    };
    take(*first);
    for (const auto& repeat : first->repeats()) take(repeat);
    return out;
}
}  // namespace

std::optional<ReceivedEvent> importEvent(std::string_view text) {
    const auto doc = vcalendar::parseVCalendar(text, vcalendar::kEvent);
    if (!doc) return std::nullopt;
    ReceivedEvent e;
    EventFields& f = e.fields;
    f[F::ReminderSet] = "0";  // a text without an alarm switches the reminder off
    e.zone = vcalendar::senderZoneOf(*doc);
    e.rule = doc->getValue("RRULE");
    e.exceptionDates = doc->getValue("EXDATE");
    // Servers also send each excluded date, or each group of them, as a property of its own.
    if (const VersitProperty* first = doc->lookupComponent()->property("EXDATE"); first && !first->repeats().empty()) {
        std::string all = e.exceptionDates.value_or(std::string());
        for (const auto& repeat : first->repeats()) all += ";" + repeat.joinedValues();
        e.exceptionDates = std::move(all);
    }
    if (auto v = doc->getValue("SUMMARY")) f[F::Subject] = std::move(*v);
    if (auto v = doc->getValue("DESCRIPTION")) f[F::Notes] = std::move(*v);

    auto start = doc->getValue("DTSTART");
    auto end = doc->getValue("DTEND");
    mendDateOnly(start, end);
    std::optional<std::string> rawStart, rawEnd;
    const auto readTime = [&](const std::optional<std::string>& value, F row, std::optional<std::string>& raw) {
        if (!value) return true;
        if (value->find('Z') == std::string::npos) raw = *value;
        const auto local = vcalendar::deviceLocalText(*value, e.zone.offsetAt(*value));
        if (!local) return false;
        f[row] = *local;
        return true;
    };
    if (!readTime(start, F::Start, rawStart) || !readTime(end, F::End, rawEnd)) return std::nullopt;
    const bool allDay = rawStart && rawEnd && hasAllDayTimes(*rawStart, *rawEnd);
    if (allDay) {
        // The dates as they stand, in no zone: an all-day event covers the same days everywhere.
        f[F::AllDay] = "1";
        f[F::Start] = rawStart->substr(0, 8) + std::string(kMidnight);
        f[F::End] = allDayEnd(*rawStart, *rawEnd);
    }
    // The device's file times begin in 1601 and name only real dates; a time it cannot hold would be
    // dropped from the stored event while the server is told it was stored.
    for (const F row : {F::Start, F::End})
        if (!f[row].empty() && vcalendar::fileTimeOfText(f[row]) == 0) return std::nullopt;

    if (start) {
        if (const auto alarm = vcalendar::alarmValue(*doc)) {
            f[F::ReminderSet] = "1";
            const auto startSeconds = datetime::parseLocal(f[F::Start]);
            const auto alarmAt = alarmSeconds(vcalendar::alarmTime(*alarm), e.zone, allDay);
            if (startSeconds && alarmAt) f[F::ReminderMinutes] = std::to_string((*startSeconds - *alarmAt) / 60);
        }
    }
    if (auto v = doc->getValue("LOCATION")) f[F::Location] = std::move(*v);
    f[F::Categories] = vcalendar::joinCategories(vcalendar::categoryValues(*doc));
    if (const auto v = doc->getValue("STATUS")) f[F::BusyStatus] = busyCode(*v);
    if (const auto v = doc->getValue("CLASS")) f[F::Sensitivity] = vcalendar::sensitivityForClass(*v);
    e.attendees = attendeesOf(*doc);
    return e;
}

std::string exportEvent(const DeviceEvent* event, std::string_view key) {
    auto doc = vcalendar::newVCalendar(vcalendar::kEvent);
    if (event != nullptr) {
        const EventFields& f = event->fields;
        const auto add = [&](const char* name, const std::string& value) {
            if (!value.empty()) doc->addProperty(name, value);
        };
        add("UID", std::string(key));
        add("DTSTART", f[F::Start]);
        add("DTEND", f[F::End]);
        add("SUMMARY", f[F::Subject]);
        add("DESCRIPTION", f[F::Notes]);
        add("LOCATION", f[F::Location]);
        if (!f[F::Categories].empty()) doc->addProperty("CATEGORIES", vcalendar::splitCategories(f[F::Categories]));
        if (const auto word = busyWord(f[F::BusyStatus])) doc->addProperty("STATUS", std::string(*word));
        if (const auto word = vcalendar::classForSensitivity(f[F::Sensitivity])) doc->addProperty("CLASS", *word);
        if (f[F::ReminderSet] == "1" && !f[F::ReminderMinutes].empty()) {
            // Without Z when the event's times have none (all-day, or recurring in local time).
            const bool allDay = f[F::AllDay] == "1" || f[F::Start].find('Z') == std::string::npos;
            if (const auto start = datetime::parseUtc(f[F::Start])) {
                const std::int64_t minutes = platform::leadingDecimal(f[F::ReminderMinutes]);
                const std::string at = datetime::formatUtc(*start - minutes * 60, !allDay);
                if (!at.empty()) vcalendar::addAlarmPair(*doc, at);
            }
        }
        if (f[F::IsRecurring] == "1" && !event->rule.empty()) {
            doc->addProperty("RRULE", event->rule);
            // One value per date: the writer escapes a ";" inside a value.
            if (!event->exceptionDates.empty()) doc->addProperty("EXDATE", exceptionValues(event->exceptionDates));
        }
        for (const auto& attendee : event->attendees) add("ATTENDEE", attendee);
    }
    return doc->serialize();
}

}  // namespace orvale::calendar

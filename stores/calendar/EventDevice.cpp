#include "stores/calendar/EventDevice.h"

#include <memory>
#include <vector>

#include "platform/SystemTime.h"
#include "platform/TextConversion.h"
#include "platform/pim/PimSession.h"
#include "stores/ItemList.h"
#include "stores/calendar/EventExceptions.h"
#include "stores/recurrence/RecurrenceCodec.h"
#include "stores/vcalendar/VCalendarFields.h"
#include "stores/vcalendar/VCalendarTime.h"

namespace orvale::calendar {

namespace pim = platform::pim;

namespace {
using F = EventField;

std::uint64_t storedTime(const pim::Item& appointment, F field) {
    return appointment.getProp(eventPropertyTable()[static_cast<std::size_t>(field)].identifier).fileTime;
}

std::unique_ptr<pim::Item> appointmentByKey(const std::string& key) {
    return vcalendar::deviceItemByKey(key, pim::kAppointment);
}

// The codes are small and kept in the low 16 bits, 0 meaning none. The reminder is the signed
// minutes before the start, read whole: an alarm after the start is negative, one more than 45 days
// before it needs more than 16 bits, and 0 is an alarm at the start.
std::string integerText(const pim::PropValue& v, F field) {
    if (field == F::ReminderMinutes) return std::to_string(static_cast<std::int32_t>(v.u32));
    const std::uint32_t low = v.u32 & 0xFFFFu;
    return low == 0 ? std::string() : std::to_string(low);
}

// The appointment's start as the device holds it: local wall-clock time.
platform::SystemTime startOf(const pim::Item& appointment) {
    platform::SystemTime st;
    platform::fileTimeToSystemTime(storedTime(appointment, F::Start), st);
    return st;
}
}  // namespace

std::vector<std::uint32_t> eventPropertyIds() { return vcalendar::propertyIds(eventPropertyTable()); }

std::optional<DeviceEvent> readEvent(const std::string& key) {
    const auto item = appointmentByKey(key);
    if (!item) return std::nullopt;
    return eventOfItem(*item);
}

DeviceEvent eventOfItem(const pim::Item& item) {
    const auto& table = eventPropertyTable();
    const auto values = item.getProps(eventPropertyIds());

    DeviceEvent event;
    EventFields& f = event.fields;
    const pim::RecurrencePattern* pattern = item.recurrencePattern();
    if (pattern != nullptr) event.rule = recurrence::writeRule(*pattern);
    // A series goes out in the device's wall-clock time without a zone, its end and exceptions too:
    // a reader in the device's zone then expands the same local occurrences across a change of
    // daylight saving time, and a weekday rule stays on its weekday near midnight, which a start
    // in UTC moves to the day before or after. A single event is one instant and goes in UTC.
    const bool series = !event.rule.empty();
    const auto present = [&](std::size_t r) { return (values[r].flags & pim::kFlagNotFound) == 0; };
    const bool allDay = present(static_cast<std::size_t>(F::AllDay)) && values[static_cast<std::size_t>(F::AllDay)].u32 != 0;
    for (std::size_t r = 0; r < table.size(); ++r) {
        const pim::PropValue& v = values[r];
        switch (table[r].kind) {
            case EventFieldKind::Text:
                f.row(r) = vcalendar::textOfValue(v);
                break;
            case EventFieldKind::Integer:
                if (present(r)) f.row(r) = integerText(v, static_cast<F>(r));
                break;
            case EventFieldKind::Flag:
                f.row(r) = vcalendar::flagOfValue(v);
                break;
            case EventFieldKind::Time:
                if (!present(r)) break;
                const bool dateOnly = allDay && (r == static_cast<std::size_t>(F::Start) || r == static_cast<std::size_t>(F::End));
                f.row(r) = dateOnly ? vcalendar::dateTextOfFileTime(v.fileTime)
                           : series ? vcalendar::localTextOfFileTime(v.fileTime)
                                    : vcalendar::utcTextOfFileTime(v.fileTime);
                break;
        }
    }
    if (pattern != nullptr) event.exceptionDates = exceptionDatesText(*pattern, true);
    for (const auto& recipient : item.recipients()) {
        if (!recipient.address.empty()) event.attendees.push_back(platform::utf16ToUtf8(recipient.address));
    }
    return event;
}

bool writeEvent(const ReceivedEvent& event, std::string& key) {
    pim::Session* session = pim::Session::current();
    if (session == nullptr) return false;
    const bool create = key.empty();
    auto item = create ? session->createItem(pim::kAppointment) : appointmentByKey(key);
    if (!item) return false;
    // A rule the device cannot hold refuses the event before anything is saved: storing it without
    // its series would answer success for another event than the one sent.
    if (!fillEvent(event, *item, create)) return false;
    if (!item->save()) return false;
    if (create) key = keyForOid(item->oid());
    return true;
}

bool fillEvent(const ReceivedEvent& event, pim::Item& appointment, bool created) {
    // A new appointment gets what the text has; a replaced one also loses every earlier property
    // up to the last one the text sets.
    const auto& table = eventPropertyTable();
    std::size_t rows = 0;
    for (std::size_t r = 0; r < table.size(); ++r)
        if (!event.fields.row(r).empty()) rows = r + 1;
    std::vector<pim::PropValue> values;
    for (std::size_t r = 0; r < rows; ++r) {
        const std::string& text = event.fields.row(r);
        if (text.empty() && created) continue;
        values.push_back(vcalendar::deviceValue(table[r], text));
    }
    appointment.setProps(values);

    if (event.rule) {
        // A new pattern starts where the appointment now does.
        appointment.clearRecurrence();
        if (!recurrence::applyRule(*event.rule, appointment.recurrence(), startOf(appointment))) {
            appointment.clearRecurrence();
            return false;
        }
        if (event.exceptionDates) {
            deleteExceptionDates(*event.exceptionDates, appointment, event.zone, event.fields[F::AllDay] == "1");
        }
    }
    if (!event.attendees.empty()) {
        auto& recipients = appointment.recipients();
        recipients.clear();
        for (const auto& attendee : event.attendees) {
            std::u16string text = platform::utf8ToUtf16(attendee);
            recipients.push_back({text, text});
        }
    }
    return true;
}

}  // namespace orvale::calendar

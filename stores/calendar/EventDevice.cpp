#include "stores/calendar/EventDevice.h"

#include <cmath>
#include <memory>
#include <vector>

#include "platform/DecimalText.h"
#include "platform/SystemTime.h"
#include "platform/TextConversion.h"
#include "platform/pim/PimSession.h"
#include "stores/ItemList.h"
#include "stores/calendar/EventExceptions.h"
#include "stores/calendar/EventRecurrence.h"
#include "stores/vcalendar/VCalendarTime.h"

namespace orvale::calendar {

namespace pim = platform::pim;

namespace {
using F = EventField;

// 4501-01-01 00:00, the device's "no date".
std::uint64_t noDateFileTime() {
    platform::SystemTime st;
    st.year = 4501;
    st.month = 1;
    st.day = 1;
    std::uint64_t fileTime = 0;
    platform::systemTimeToFileTime(st, fileTime);
    return fileTime;
}

std::uint64_t storedTime(const pim::Item& appointment, F field) {
    return appointment.getProp(eventPropertyTable()[static_cast<std::size_t>(field)].identifier).fileTime;
}

std::unique_ptr<pim::Item> appointmentByKey(const std::string& key) {
    pim::Session* session = pim::Session::current();
    if (session == nullptr) return nullptr;
    auto item = session->itemByOid(oidForKey(key));
    if (!item || item->type() != pim::kAppointment) return nullptr;
    return item;
}

std::string integerText(const pim::PropValue& v) {
    const std::uint32_t low = v.u32 & 0xFFFFu;
    return low == 0 ? std::string() : std::to_string(low);
}

pim::PropValue deviceValue(const EventProperty& p, const std::string& text) {
    pim::PropValue v;
    v.id = p.identifier;
    switch (p.kind) {
        case EventFieldKind::Text:
            v.text = platform::utf8ToUtf16(text);
            break;
        case EventFieldKind::Integer:
            v.u32 = static_cast<std::uint32_t>(platform::leadingDecimal(text));
            break;
        case EventFieldKind::Flag:
            v.u32 = !text.empty() && text != "0" ? 1 : 0;
            break;
        case EventFieldKind::Time:
            v.fileTime = text.empty() ? noDateFileTime() : vcalendar::fileTimeOfText(text);
            break;
    }
    return v;
}

// The pattern's start follows the appointment's, as on the device: its first day, and the time of
// day at which its occurrences start and end.
void anchorPattern(pim::RecurrencePattern& pattern, const pim::Item& appointment) {
    const auto start = vcalendar::variantOfFileTime(storedTime(appointment, F::Start));
    const auto end = vcalendar::variantOfFileTime(storedTime(appointment, F::End));
    if (!start) return;
    pattern.patternStart = std::floor(*start);
    pattern.startTime = *start - pattern.patternStart;
    if (end) pattern.endTime = *end - std::floor(*end);
}
}  // namespace

std::optional<DeviceEvent> readEvent(const std::string& key) {
    const auto item = appointmentByKey(key);
    if (!item) return std::nullopt;
    const auto& table = eventPropertyTable();
    std::vector<std::uint32_t> ids;
    for (const auto& p : table) ids.push_back(p.identifier);
    const auto values = item->getProps(ids);

    DeviceEvent event;
    EventFields& f = event.fields;
    const auto present = [&](std::size_t r) { return (values[r].flags & pim::kFlagNotFound) == 0; };
    const bool allDay = present(static_cast<std::size_t>(F::AllDay)) && values[static_cast<std::size_t>(F::AllDay)].u32 != 0;
    for (std::size_t r = 0; r < table.size(); ++r) {
        const pim::PropValue& v = values[r];
        switch (table[r].kind) {
            case EventFieldKind::Text:
                if (present(r)) f.row(r) = platform::utf16ToUtf8(v.text);
                break;
            case EventFieldKind::Integer:
                if (present(r)) f.row(r) = integerText(v);
                break;
            case EventFieldKind::Flag:
                f.row(r) = std::string(1, present(r) && v.u32 != 0 ? '1' : '0');
                break;
            case EventFieldKind::Time:
                if (!present(r)) break;
                const bool dateOnly = allDay && (r == static_cast<std::size_t>(F::Start) || r == static_cast<std::size_t>(F::End));
                f.row(r) = dateOnly ? vcalendar::dateTextOfFileTime(v.fileTime) : vcalendar::utcTextOfFileTime(v.fileTime);
                break;
        }
    }
    if (item->isRecurring()) {
        event.rule = ruleTextOf(item->recurrence());
        event.exceptionDates = exceptionDatesText(item->recurrence());
    }
    for (const auto& recipient : item->recipients()) {
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

    // A new appointment gets what the text has; a replaced one also loses every earlier property
    // up to the last one the text sets.
    const auto& table = eventPropertyTable();
    std::size_t rows = 0;
    for (std::size_t r = 0; r < table.size(); ++r)
        if (!event.fields.row(r).empty()) rows = r + 1;
    std::vector<pim::PropValue> values;
    for (std::size_t r = 0; r < rows; ++r) {
        const std::string& text = event.fields.row(r);
        if (text.empty() && create) continue;
        values.push_back(deviceValue(table[r], text));
    }
    item->setProps(values);

    if (event.rule) {
        item->clearRecurrence();
        pim::RecurrencePattern& pattern = item->recurrence();
        anchorPattern(pattern, *item);
        if (applyRuleText(*event.rule, pattern, storedTime(*item, F::Start))) {
            if (event.exceptionDates) {
                deleteExceptionDates(*event.exceptionDates, *item, event.zoneOffset, event.fields[F::AllDay] == "1");
            }
        } else {
            item->clearRecurrence();
        }
    }
    if (!event.attendees.empty()) {
        auto& recipients = item->recipients();
        recipients.clear();
        for (const auto& attendee : event.attendees) {
            std::u16string text = platform::utf8ToUtf16(attendee);
            recipients.push_back({text, text});
        }
    }
    if (!item->save()) return false;
    if (create) key = keyForOid(item->oid());
    return true;
}

}  // namespace orvale::calendar

// What maps where, property by property:
//   subject SUMMARY, notes DESCRIPTION, location LOCATION, categories one CATEGORIES per category,
//   sensitivity CLASS (normal PUBLIC, personal and private PRIVATE, confidential CONFIDENTIAL),
//   busy status TRANSP with the free/tentative/busy/out-of-office word other calendars read
//   (X-MICROSOFT-CDO-BUSYSTATUS), all-day DTSTART/DTEND as dates (the end exclusive), start and
//   end DTSTART/DTEND, reminder set and minutes a VALARM before the start, recipients ATTENDEE,
//   recurrence RRULE with its deleted occurrences as EXDATE;
//   task start DTSTART and due DUE as dates, complete STATUS (and PERCENT-COMPLETE), date completed
//   COMPLETED, importance PRIORITY (high 1, normal 5, low 9), reminder set and time a VALARM at that
//   time.
// Whatever a device value the standard properties cannot give back exactly (personal against
// private, a due time of day, a reminder kept while switched off, properties iCalendar has no
// place for) is kept beside them in X-ORVALE-PROP, read back only while the standard properties
// still say what they said when it was written: an edit made in another program always wins.
#include "platform/pim/eds/CalendarComponent.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

#include <libical/ical.h>

#include "platform/Base64.h"
#include "platform/TextConversion.h"
#include "platform/pim/eds/CalendarRecurrence.h"
#include "platform/pim/eds/CalendarTime.h"

namespace orvale::platform::pim::eds {

namespace {

constexpr uint32_t kSubject = 0x0020001F;
constexpr uint32_t kNotes = 0x101F001F;
constexpr uint32_t kLocation = 0x0041001F;
constexpr uint32_t kCategories = 0x101D001F;
constexpr uint32_t kSensitivity = 0x00210013;
constexpr uint32_t kBusyStatus = 0x00450013;
constexpr uint32_t kReminderMinutes = 0x00460013;
constexpr uint32_t kReminderSet = 0x0028000B;
constexpr uint32_t kAllDay = 0x0044000B;
constexpr uint32_t kImportance = 0x00600013;
constexpr uint32_t kComplete = 0x1065000B;
constexpr uint32_t kReminderTime = 0x10660040;
constexpr uint32_t kDateCompleted = 0x00640040;

constexpr const char* kHeldName = "X-ORVALE-PROP";
constexpr const char* kBusyName = "X-MICROSOFT-CDO-BUSYSTATUS";
constexpr const char* kReminderText = "Reminder";
// A component is a few kilobytes; anything far larger is not one we can hold.
constexpr std::size_t kMaxComponentBytes = 4u << 20;

struct TextField {
    uint32_t id;
    icalproperty_kind kind;
};
constexpr TextField kTextFields[] = {
    {kSubject, ICAL_SUMMARY_PROPERTY},
    {kNotes, ICAL_DESCRIPTION_PROPERTY},
    {kLocation, ICAL_LOCATION_PROPERTY},
};

// Device sensitivity codes and CLASS: personal has no class of its own and goes as PRIVATE.
constexpr icalproperty_class kClassOfSensitivity[] = {ICAL_CLASS_PUBLIC, ICAL_CLASS_PRIVATE, ICAL_CLASS_PRIVATE,
                                                      ICAL_CLASS_CONFIDENTIAL};
constexpr const char* kBusyWords[] = {"FREE", "TENTATIVE", "BUSY", "OOF"};
// Importance 0 low, 1 normal, 2 high.
constexpr int kPriorityOfImportance[] = {9, 5, 1};

struct ComponentFree {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using Component = std::unique_ptr<icalcomponent, ComponentFree>;

class Props {
public:
    explicit Props(const std::vector<PropValue>& values) {
        for (const auto& v : values)
            if (v.flags != kFlagNotFound && v.id != kIsRecurringProp) byId_[v.id] = &v;
    }
    const PropValue* get(uint32_t id) const {
        const auto it = byId_.find(id);
        return it == byId_.end() ? nullptr : it->second;
    }
    std::string text(uint32_t id) const {
        const PropValue* v = get(id);
        return v == nullptr ? std::string() : utf16ToUtf8(v->text);
    }
    std::optional<uint32_t> number(uint32_t id) const {
        const PropValue* v = get(id);
        return v == nullptr ? std::nullopt : std::optional<uint32_t>(v->u32);
    }
    bool flag(uint32_t id) const { return number(id).value_or(0) != 0; }
    std::optional<SystemTime> date(uint32_t id) const {
        const PropValue* v = get(id);
        return v == nullptr ? std::nullopt : deviceDate(*v);
    }

private:
    std::map<uint32_t, const PropValue*> byId_;
};

PropValue textValue(uint32_t id, std::string_view utf8) {
    PropValue v;
    v.id = id;
    v.text = utf8ToUtf16(utf8);
    return v;
}

PropValue numberValue(uint32_t id, uint32_t n) {
    PropValue v;
    v.id = id;
    v.u32 = n;
    return v;
}

void put(ItemContent& item, PropValue value) {
    for (auto& v : item.props)
        if (v.id == value.id) {
            v = std::move(value);
            return;
        }
    item.props.push_back(std::move(value));
}

const PropValue* find(const ItemContent& item, uint32_t id) {
    for (const auto& v : item.props)
        if (v.id == id && v.flags != kFlagNotFound) return &v;
    return nullptr;
}

bool sameValue(const PropValue& a, const PropValue& b) {
    switch (propType(a.id)) {
    case kTypeText: return a.text == b.text;
    case kTypeU32:
    case kTypeBool: return a.u32 == b.u32;
    case kTypeFileTime: return a.fileTime == b.fileTime;
    default: return a.bytes == b.bytes;
    }
}

icalproperty* timeProperty(icalproperty_kind kind, const SystemTime& local, bool dateOnly) {
    icalproperty* p = icalproperty_new(kind);
    setTimeProperty(p, local, dateOnly);
    return p;
}

std::optional<double> variantOf(const SystemTime& st) {
    double v = 0;
    if (!systemTimeToVariantTime(st, v)) return std::nullopt;
    return v;
}

SystemTime addDays(SystemTime st, int days) {
    std::uint64_t ft = 0;
    if (systemTimeToFileTime(st, ft)) fileTimeToSystemTime(ft + static_cast<std::uint64_t>(days) * kSecondsPerDay * kTicksPerSecond, st);
    return st;
}

bool atMidnight(const SystemTime& st) { return st.hour == 0 && st.minute == 0 && st.second == 0; }

void addAlarm(icalcomponent* c, icaltriggertype trigger) {
    icalcomponent* alarm = icalcomponent_new(ICAL_VALARM_COMPONENT);
    icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
    icalcomponent_add_property(alarm, icalproperty_new_description(kReminderText));
    icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
    icalcomponent_add_component(c, alarm);
}

void addRecurrence(icalcomponent* c, const RecurrencePattern& pattern, bool allDay) {
    const auto rule = ruleOfPattern(pattern);
    if (!rule) return;
    icalcomponent_add_property(c, icalproperty_new_rrule(*rule));
    for (const auto& exception : pattern.exceptions) {
        SystemTime st;
        if (!exception.deleted || !variantTimeToSystemTime(exception.originalDate, st)) continue;
        icalproperty* p = icalproperty_new(ICAL_EXDATE_PROPERTY);
        setTimeProperty(p, st, allDay);
        icalcomponent_add_property(c, p);
    }
}

// The standard properties of an item, without the values kept beside them.
Component standardComponent(const ItemContent& item, std::string_view uid) {
    const bool task = item.type == kTask;
    Component c(icalcomponent_new(task ? ICAL_VTODO_COMPONENT : ICAL_VEVENT_COMPONENT));
    if (!uid.empty()) icalcomponent_add_property(c.get(), icalproperty_new_uid(std::string(uid).c_str()));
    const Props props(item.props);
    for (const auto& field : kTextFields) {
        const std::string text = props.text(field.id);
        if (text.empty()) continue;
        icalproperty* p = icalproperty_new(field.kind);
        icalproperty_set_value(p, icalvalue_new_text(text.c_str()));
        icalcomponent_add_property(c.get(), p);
    }
    // Categories are one text on the device, joined with ", ".
    const std::string categoriesText = props.text(kCategories);
    std::string_view categories = categoriesText;
    while (!categories.empty()) {
        const std::size_t at = categories.find(", ");
        const std::string one(categories.substr(0, at));
        categories = at == std::string_view::npos ? std::string_view() : categories.substr(at + 2);
        if (!one.empty()) icalcomponent_add_property(c.get(), icalproperty_new_categories(one.c_str()));
    }
    if (const auto s = props.number(kSensitivity); s && *s < 4)
        icalcomponent_add_property(c.get(), icalproperty_new_class(kClassOfSensitivity[*s]));

    if (!task) {
        const bool allDay = props.flag(kAllDay);
        const auto start = props.date(kAppointmentStartProp);
        const auto end = props.date(kAppointmentEndProp);
        if (start) icalcomponent_add_property(c.get(), timeProperty(ICAL_DTSTART_PROPERTY, *start, allDay));
        if (end) {
            // A day's end is the next day's start: an end later than midnight covers its day whole.
            const SystemTime last = allDay && !atMidnight(*end) ? addDays(*end, 1) : *end;
            icalcomponent_add_property(c.get(), timeProperty(ICAL_DTEND_PROPERTY, last, allDay));
        }
        {
            // Always said: the device takes an appointment without a busy status for free, while
            // other calendars take one without TRANSP for busy.
            uint32_t busy = props.number(kBusyStatus).value_or(0);
            if (busy >= 4) busy = 2;
            icalcomponent_add_property(c.get(), icalproperty_new_transp(busy == 0 ? ICAL_TRANSP_TRANSPARENT
                                                                                   : ICAL_TRANSP_OPAQUE));
            icalproperty* word = icalproperty_new_x(kBusyWords[busy]);
            icalproperty_set_x_name(word, kBusyName);
            icalcomponent_add_property(c.get(), word);
        }
        if (props.flag(kReminderSet) && start) {
            if (const auto minutes = props.number(kReminderMinutes)) {
                icaltriggertype trigger{};
                trigger.time = icaltime_null_time();
                trigger.duration = icaldurationtype_from_int(-static_cast<int>(*minutes) * 60);
                addAlarm(c.get(), trigger);
            }
        }
        for (const auto& r : item.recipients) {
            const std::string address = utf16ToUtf8(r.address);
            icalproperty* p = icalproperty_new_attendee(("mailto:" + address).c_str());
            if (!r.name.empty()) icalproperty_add_parameter(p, icalparameter_new_cn(utf16ToUtf8(r.name).c_str()));
            icalcomponent_add_property(c.get(), p);
        }
        if (item.recurrence) addRecurrence(c.get(), *item.recurrence, allDay);
    } else {
        // The device's task dates are days; other programs show them as such.
        if (const auto start = props.date(kTaskStartProp))
            icalcomponent_add_property(c.get(), timeProperty(ICAL_DTSTART_PROPERTY, *start, true));
        if (const auto due = props.date(kTaskDueProp))
            icalcomponent_add_property(c.get(), timeProperty(ICAL_DUE_PROPERTY, *due, true));
        if (const auto done = props.date(kDateCompleted))
            icalcomponent_add_property(c.get(), icalproperty_new_completed(utcTime(*done)));
        if (props.get(kComplete) != nullptr) {
            const bool complete = props.flag(kComplete);
            icalcomponent_add_property(c.get(),
                                       icalproperty_new_status(complete ? ICAL_STATUS_COMPLETED : ICAL_STATUS_NEEDSACTION));
            if (complete) icalcomponent_add_property(c.get(), icalproperty_new_percentcomplete(100));
        }
        if (const auto importance = props.number(kImportance); importance && *importance < 3)
            icalcomponent_add_property(c.get(), icalproperty_new_priority(kPriorityOfImportance[*importance]));
        if (props.flag(kReminderSet)) {
            if (const auto when = props.date(kReminderTime)) {
                icaltriggertype trigger{};
                trigger.time = utcTime(*when);
                trigger.duration = icaldurationtype_null_duration();
                addAlarm(c.get(), trigger);
            }
        }
        if (item.recurrence) addRecurrence(c.get(), *item.recurrence, true);
    }
    return c;
}

std::string textOf(icalcomponent* c) {
    char* s = icalcomponent_as_ical_string_r(c);
    std::string out = s != nullptr ? s : "";
    free(s);
    return out;
}

std::optional<std::int64_t> secondsOf(const std::optional<SystemTime>& local) {
    return local ? localToUtcSeconds(*local) : std::nullopt;
}

// The item a component's standard properties give.
ItemContent standardContent(icalcomponent* c, const ZoneReader& zones) {
    const bool task = icalcomponent_isa(c) == ICAL_VTODO_COMPONENT;
    ItemContent item;
    item.type = task ? kTask : kAppointment;
    for (const auto& field : kTextFields) {
        icalproperty* p = icalcomponent_get_first_property(c, field.kind);
        if (p == nullptr) continue;
        const char* text = icalvalue_get_text(icalproperty_get_value(p));
        if (text != nullptr && *text != '\0') put(item, textValue(field.id, text));
    }
    std::string categories;
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_CATEGORIES_PROPERTY); p != nullptr;
         p = icalcomponent_get_next_property(c, ICAL_CATEGORIES_PROPERTY)) {
        const char* one = icalproperty_get_categories(p);
        if (one == nullptr || *one == '\0') continue;
        if (!categories.empty()) categories += ", ";
        categories += one;
    }
    if (!categories.empty()) put(item, textValue(kCategories, categories));
    if (icalproperty* p = icalcomponent_get_first_property(c, ICAL_CLASS_PROPERTY)) {
        const auto cls = icalproperty_get_class(p);
        put(item, numberValue(kSensitivity, cls == ICAL_CLASS_PRIVATE ? 2 : cls == ICAL_CLASS_CONFIDENTIAL ? 3 : 0));
    }

    auto timeOf = [&](icalproperty_kind kind) -> std::optional<SystemTime> {
        icalproperty* p = icalcomponent_get_first_property(c, kind);
        if (p == nullptr) return std::nullopt;
        return zones.local(p, icalvalue_get_datetimedate(icalproperty_get_value(p)));
    };
    std::optional<SystemTime> alarmBase;  // what a relative reminder counts from
    std::optional<SystemTime> alarmEnd;
    if (!task) {
        icalproperty* dtstart = icalcomponent_get_first_property(c, ICAL_DTSTART_PROPERTY);
        const bool allDay = dtstart != nullptr && icalproperty_get_dtstart(dtstart).is_date;
        const auto start = timeOf(ICAL_DTSTART_PROPERTY);
        auto end = timeOf(ICAL_DTEND_PROPERTY);
        if (!end && start) {
            // No end: a duration, else a day for an all-day event and no time for another.
            icalproperty* d = icalcomponent_get_first_property(c, ICAL_DURATION_PROPERTY);
            const int seconds = d != nullptr ? icaldurationtype_as_int(icalproperty_get_duration(d)) : allDay ? 86400 : 0;
            if (allDay) end = addDays(*start, seconds / 86400);
            else if (const auto s = localToUtcSeconds(*start)) end = utcSecondsToLocal(*s + seconds);
        }
        if (start) {
            put(item, numberValue(kAllDay, allDay ? 1 : 0));
            put(item, timeValue(kAppointmentStartProp, *start));
        }
        if (end) put(item, timeValue(kAppointmentEndProp, *end));
        alarmBase = start;
        alarmEnd = end;

        const icalproperty* transp = icalcomponent_get_first_property(c, ICAL_TRANSP_PROPERTY);
        std::optional<uint32_t> busy;
        if (transp != nullptr) busy = icalproperty_get_transp(transp) == ICAL_TRANSP_TRANSPARENT ? 0 : 2;
        for (icalproperty* x = icalcomponent_get_first_property(c, ICAL_X_PROPERTY); x != nullptr;
             x = icalcomponent_get_next_property(c, ICAL_X_PROPERTY)) {
            const char* name = icalproperty_get_x_name(x);
            const char* word = icalproperty_get_x(x);
            if (name == nullptr || word == nullptr || strcasecmp(name, kBusyName) != 0) continue;
            for (uint32_t code = 0; code < 4; ++code)
                // The word is taken while TRANSP, which every program edits, still agrees with it.
                if (strcasecmp(word, kBusyWords[code]) == 0 && (!busy || (*busy == 0) == (code == 0))) busy = code;
        }
        // Without TRANSP (or a word agreeing with none) an event blocks its time.
        put(item, numberValue(kBusyStatus, busy.value_or(2)));

        for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_ATTENDEE_PROPERTY); p != nullptr;
             p = icalcomponent_get_next_property(c, ICAL_ATTENDEE_PROPERTY)) {
            std::string_view address = icalproperty_get_attendee(p) != nullptr ? icalproperty_get_attendee(p) : "";
            if (address.size() >= 7 && strncasecmp(address.data(), "mailto:", 7) == 0) address.remove_prefix(7);
            Recipient r;
            r.address = utf8ToUtf16(address);
            if (icalparameter* cn = icalproperty_get_first_parameter(p, ICAL_CN_PARAMETER))
                if (const char* name = icalparameter_get_cn(cn)) r.name = utf8ToUtf16(name);
            if (!r.address.empty() || !r.name.empty()) item.recipients.push_back(std::move(r));
        }
    } else {
        const auto start = timeOf(ICAL_DTSTART_PROPERTY);
        const auto due = timeOf(ICAL_DUE_PROPERTY);
        if (start) put(item, timeValue(kTaskStartProp, *start));
        if (due) put(item, timeValue(kTaskDueProp, *due));
        if (const auto done = timeOf(ICAL_COMPLETED_PROPERTY)) put(item, timeValue(kDateCompleted, *done));
        std::optional<bool> complete;
        if (icalproperty* s = icalcomponent_get_first_property(c, ICAL_STATUS_PROPERTY))
            complete = icalproperty_get_status(s) == ICAL_STATUS_COMPLETED;
        else if (icalproperty* pc = icalcomponent_get_first_property(c, ICAL_PERCENTCOMPLETE_PROPERTY))
            complete = icalproperty_get_percentcomplete(pc) >= 100;
        if (complete) put(item, numberValue(kComplete, *complete ? 1 : 0));
        if (icalproperty* p = icalcomponent_get_first_property(c, ICAL_PRIORITY_PROPERTY)) {
            const int priority = icalproperty_get_priority(p);
            if (priority >= 1 && priority <= 9) put(item, numberValue(kImportance, priority < 5 ? 2 : priority == 5 ? 1 : 0));
        }
        alarmBase = start ? start : due;
        alarmEnd = due;
    }

    // The first alarm is the device's one reminder.
    if (icalcomponent* alarm = icalcomponent_get_first_component(c, ICAL_VALARM_COMPONENT)) {
        if (icalproperty* t = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY)) {
            const icaltriggertype trigger = icalproperty_get_trigger(t);
            std::optional<std::int64_t> at;  // the alarm's instant
            if (!icaltime_is_null_time(trigger.time)) {
                at = secondsOf(zones.local(t, trigger.time));
            } else {
                const icalparameter* related = icalproperty_get_first_parameter(t, ICAL_RELATED_PARAMETER);
                const bool fromEnd = related != nullptr && icalparameter_get_related(related) == ICAL_RELATED_END;
                if (const auto base = secondsOf(fromEnd ? alarmEnd : alarmBase))
                    at = *base + icaldurationtype_as_int(trigger.duration);
            }
            if (at) {
                if (!task) {
                    if (const auto start = secondsOf(alarmBase)) {
                        const std::int64_t minutes = (*start - *at) / 60;
                        if (minutes >= 0 && minutes <= 0xFFFFFFFFll) {
                            put(item, numberValue(kReminderSet, 1));
                            put(item, numberValue(kReminderMinutes, static_cast<uint32_t>(minutes)));
                        }
                    }
                } else if (const auto when = utcSecondsToLocal(*at)) {
                    put(item, numberValue(kReminderSet, 1));
                    put(item, timeValue(kReminderTime, *when));
                }
            }
        }
    }

    return item;
}

// The recurrence, from the item's start as the device makes its patterns: read once the item's
// dates are final, the kept exact ones included.
void readRecurrence(icalcomponent* c, const ZoneReader& zones, ItemContent& item) {
    const bool task = item.type == kTask;
    if (icalproperty* r = icalcomponent_get_first_property(c, ICAL_RRULE_PROPERTY)) {
        const Props props(item.props);
        const auto start = props.date(task ? kTaskStartProp : kAppointmentStartProp);
        const auto startOrDue = start ? start : task ? props.date(kTaskDueProp) : std::nullopt;
        const auto startVariant = startOrDue ? variantOf(*startOrDue) : std::nullopt;
        const auto end = task ? std::nullopt : props.date(kAppointmentEndProp);
        if (startVariant) {
            item.recurrence = patternOfRule(icalproperty_get_rrule(r), *startVariant, end ? variantOf(*end) : std::nullopt,
                                            nullptr);
        }
        if (item.recurrence) {
            for (icalproperty* x = icalcomponent_get_first_property(c, ICAL_EXDATE_PROPERTY); x != nullptr;
                 x = icalcomponent_get_next_property(c, ICAL_EXDATE_PROPERTY)) {
                auto when = zones.local(x, icalproperty_get_exdate(x));
                if (!when) continue;
                // A date names the occurrence of that day, at the time the occurrences start.
                if (icalproperty_get_exdate(x).is_date && startOrDue) {
                    when->hour = startOrDue->hour;
                    when->minute = startOrDue->minute;
                    when->second = startOrDue->second;
                }
                if (const auto v = variantOf(*when)) item.recurrence->exceptions.push_back({*v, true});
            }
        }
    }
}

std::string heldText(const PropValue& v) {
    char id[16];
    std::snprintf(id, sizeof id, "%08X=", static_cast<unsigned>(v.id));
    std::string out = id;
    switch (propType(v.id)) {
    case kTypeText: out += utf16ToUtf8(v.text); break;
    case kTypeU32:
    case kTypeBool: out += std::to_string(v.u32); break;
    case kTypeFileTime: out += std::to_string(v.fileTime); break;
    default: out += base64Encode(v.bytes); break;
    }
    return out;
}

std::optional<PropValue> heldValue(std::string_view text) {
    if (text.size() < 9 || text[8] != '=') return std::nullopt;
    PropValue v;
    if (std::from_chars(text.data(), text.data() + 8, v.id, 16).ec != std::errc()) return std::nullopt;
    const std::string_view value = text.substr(9);
    auto number = [&](auto& out) { return std::from_chars(value.data(), value.data() + value.size(), out).ec == std::errc(); };
    switch (propType(v.id)) {
    case kTypeText: v.text = utf8ToUtf16(value); return v;
    case kTypeU32:
    case kTypeBool: return number(v.u32) ? std::optional(v) : std::nullopt;
    case kTypeFileTime: return number(v.fileTime) ? std::optional(v) : std::nullopt;
    case kTypeStream: v.bytes = base64Decode(value); return v;
    default: return std::nullopt;
    }
}

icalcomponent* innerComponent(icalcomponent* c) {
    const auto kind = icalcomponent_isa(c);
    if (kind == ICAL_VEVENT_COMPONENT || kind == ICAL_VTODO_COMPONENT) return c;
    if (kind != ICAL_VCALENDAR_COMPONENT) return nullptr;
    if (icalcomponent* e = icalcomponent_get_first_component(c, ICAL_VEVENT_COMPONENT)) return e;
    return icalcomponent_get_first_component(c, ICAL_VTODO_COMPONENT);
}

}  // namespace

std::string toCalendarComponent(const ItemContent& item, std::string_view uid) {
    Component c = standardComponent(item, uid);
    // What the standard properties give back, compared with the item: the rest is kept beside them.
    const ZoneReader noZones({});
    const ItemContent back = standardContent(c.get(), noZones);
    for (const auto& v : item.props) {
        if (v.flags == kFlagNotFound || v.id == kIsRecurringProp) continue;
        const PropValue* b = find(back, v.id);
        if (b != nullptr && sameValue(*b, v)) continue;
        icalproperty* x = icalproperty_new_x(heldText(v).c_str());
        icalproperty_set_x_name(x, kHeldName);
        icalcomponent_add_property(c.get(), x);
    }
    return textOf(c.get());
}

std::string deviceTimezoneComponent() {
    icaltimezone* zone = deviceZone();
    icalcomponent* c = zone != nullptr ? icaltimezone_get_component(zone) : nullptr;
    return c != nullptr ? textOf(c) : std::string();
}

std::optional<ItemContent> fromCalendarComponent(std::string_view component, std::string* why,
                                                 std::string_view timezones) {
    auto refuse = [&](const char* reason) -> std::optional<ItemContent> {
        if (why != nullptr) *why = reason;
        return std::nullopt;
    };
    if (component.size() > kMaxComponentBytes) return refuse("the component is too large");
    Component parsed(icalcomponent_new_from_string(std::string(component).c_str()));
    if (!parsed) return refuse("the text is no iCalendar component");
    icalcomponent* c = innerComponent(parsed.get());
    if (c == nullptr) return refuse("the text holds no VEVENT or VTODO");
    const bool ownZones = timezones.empty() && icalcomponent_isa(parsed.get()) == ICAL_VCALENDAR_COMPONENT;
    const ZoneReader zones(ownZones ? component : timezones);
    ItemContent item = standardContent(c, zones);

    const std::string standard = textOf(standardComponent(item, {}).get());
    for (icalproperty* x = icalcomponent_get_first_property(c, ICAL_X_PROPERTY); x != nullptr;
         x = icalcomponent_get_next_property(c, ICAL_X_PROPERTY)) {
        const char* name = icalproperty_get_x_name(x);
        const char* text = icalproperty_get_x(x);
        if (name == nullptr || text == nullptr || std::strcmp(name, kHeldName) != 0) continue;
        const auto held = heldValue(text);
        if (!held || held->id == kIsRecurringProp) continue;
        // A kept value refines what the standard properties say, never contradicts them: one that
        // would write them differently is from before an edit made elsewhere, and is dropped.
        ItemContent candidate = item;
        put(candidate, *held);
        if (find(item, held->id) == nullptr || textOf(standardComponent(candidate, {}).get()) == standard)
            item = std::move(candidate);
    }
    readRecurrence(c, zones, item);
    return item;
}

}  // namespace orvale::platform::pim::eds

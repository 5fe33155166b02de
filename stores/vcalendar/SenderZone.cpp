#include "stores/vcalendar/SenderZone.h"

#include "stores/DateTimeText.h"
#include "stores/ZoneOffset.h"
#include "stores/versit/VersitDocument.h"
#include "stores/versit/VersitText.h"

namespace orvale::vcalendar {

namespace {

// More periods than any calendar sends for the years it covers; the rest are ignored.
constexpr std::size_t kMaxPeriods = 200;

// A period bound: in UTC with a Z, else wall-clock time of the zone at `offset`.
std::optional<std::int64_t> boundOf(std::string_view text, std::int32_t offset) {
    const auto seconds = datetime::parseUtc(text);
    if (!seconds) return std::nullopt;
    return text.find('Z') != std::string_view::npos ? *seconds : *seconds - offset;
}

void addPeriod(const VersitProperty& p, SenderZone& zone) {
    const auto& v = p.values();
    if (v.size() < 4 || !versit_text::equalsIgnoringCaseAscii(v[0], "TRUE") || zone.daylight.size() >= kMaxPeriods) return;
    const std::int32_t offset = datetime::parseZoneOffset(v[1]);
    // The period starts on the standard clock and ends on the daylight one.
    const auto from = boundOf(v[2], zone.standard);
    const auto to = boundOf(v[3], offset);
    if (from && to && *from < *to) zone.daylight.push_back({*from, *to, offset});
}

void addPeriods(const VersitComponent* component, SenderZone& zone) {
    if (component == nullptr) return;
    const VersitProperty* first = component->property("DAYLIGHT");
    if (first == nullptr) return;
    addPeriod(*first, zone);
    for (const auto& repeat : first->repeats()) addPeriod(repeat, zone);
}

}  // namespace

std::int32_t SenderZone::offsetAt(std::string_view wallClock) const {
    if (daylight.empty()) return standard;
    const auto clock = datetime::parseUtc(wallClock);
    if (!clock) return standard;
    for (const auto& period : daylight) {
        const std::int64_t instant = *clock - period.offset;
        if (instant >= period.from && instant < period.to) return period.offset;
    }
    return standard;
}

SenderZone senderZoneOf(const VersitDocument& doc) {
    SenderZone zone;
    if (const auto tz = doc.getValue("TZ")) zone.standard = datetime::parseZoneOffset(*tz);
    const VersitComponent* item = doc.lookupComponent();
    addPeriods(item, zone);
    if (item != nullptr) addPeriods(item->parent(), zone);
    return zone;
}

}  // namespace orvale::vcalendar

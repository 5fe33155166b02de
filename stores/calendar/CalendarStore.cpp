#include "stores/calendar/CalendarStore.h"

#include "stores/ChangeTrackerList.h"
#include "stores/FolderKind.h"
#include "stores/calendar/CalendarDateWindow.h"
#include "stores/calendar/CalendarItem.h"
#include "stores/calendar/CalendarTracking.h"
#include "stores/calendar/EventDevice.h"

namespace orvale::calendar {

CalendarStore::CalendarStore(DataStoreKind* kind) : FolderStore(kind, *kindInfoByCode(kKindCalendar)) {}

StoreItem* CalendarStore::newItem() { return new CalendarItem(); }

StoreItem* CalendarStore::readItem(const std::string& key) { return new CalendarItem(key); }

StoreItem* CalendarStore::itemFromDevice(const std::string& key, const platform::pim::Item* device) {
    return new CalendarItem(key, device);
}

std::optional<std::string> CalendarStore::contentOfText(const std::string& text) {
    const auto event = importEvent(text);
    if (!event) return std::nullopt;
    // As stored: times normalised. An event with a rule the device refuses is not stored at all.
    bool held = true;
    auto content = contentOfNewItem(platform::pim::kAppointment,
                                    [&](platform::pim::Item& item) { held = fillEvent(*event, item, true); });
    if (!held) return std::nullopt;
    return content;
}

std::string CalendarStore::contentOfItem(const platform::pim::Item& item) const {
    const DeviceEvent event = eventOfItem(item);
    std::string content;
    for (std::size_t r = 0; r < kEventFieldCount; ++r) appendContentValue(content, event.fields.row(r));
    appendContentValue(content, event.rule);
    appendContentValue(content, event.exceptionDates);
    for (const auto& attendee : event.attendees) appendContentValue(content, attendee);
    return content;
}

std::vector<uint32_t> CalendarStore::contentProperties() const { return eventPropertyIds(); }

std::vector<uint32_t> CalendarStore::exportProperties() const { return eventPropertyIds(); }

std::string CalendarStore::exportText(const platform::pim::Item& item) const {
    const DeviceEvent event = eventOfItem(item);
    return exportEvent(&event, keyForOid(item.oid()));
}

TrackerProfile CalendarStore::trackerProfile() const {
    TrackerProfile profile = calendarTrackerProfile();
    if (const auto window = calendarDateWindow()) {
        // The tracker may outlive the store; it holds the view, not the store.
        window_->fromTracker = true;
        profile.observe = [view = window_, window = *window, today = todayAsVariantDate()](const platform::pim::Item& item) {
            view->inside[item.oid()] = insideDateWindow(item, window, today);
        };
    }
    return profile;
}

bool CalendarStore::narrows() const { return calendarDateWindow().has_value(); }

std::vector<uint32_t> CalendarStore::narrowed(std::vector<uint32_t> ids) {
    const auto window = calendarDateWindow();
    if (!window || ids.empty()) return ids;
    if (!windowRead_ && !window_->fromTracker) window_->inside = appointmentsByWindow(*window, todayAsVariantDate());
    windowRead_ = true;
    std::vector<uint32_t> kept, outside;
    for (uint32_t oid : ids) {
        // An identifier the read did not find is in neither list.
        const auto it = window_->inside.find(oid);
        if (it != window_->inside.end()) (it->second ? kept : outside).push_back(oid);
    }
    if (!trackersDiscarded()) tracker().preserve(outside);
    return kept;
}

DataStoreKind* makeCalendarKind() {
    return new FolderKind(*kindInfoByCode(kKindCalendar),
                          [](DataStoreKind* kind) -> DataStore* { return new CalendarStore(kind); });
}

void registerCalendarKind() { registerDefaultKind(kKindCalendar, makeCalendarKind); }

}  // namespace orvale::calendar

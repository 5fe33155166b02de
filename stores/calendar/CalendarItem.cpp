#include "stores/calendar/CalendarItem.h"

#include <utility>

#include "stores/calendar/EventDevice.h"

namespace orvale::calendar {

CalendarItem::CalendarItem(const std::string& key) : TextItem(key) {
    const auto event = readEvent(key_);
    data_ = exportEvent(event ? &*event : nullptr, key_);
}

CalendarItem::CalendarItem(const std::string& key, const platform::pim::Item* device) : TextItem(key) {
    if (device != nullptr && device->type() == platform::pim::kAppointment) {
        const DeviceEvent event = eventOfItem(*device);
        data_ = exportEvent(&event, key_);
    } else {
        data_ = exportEvent(nullptr, key_);
    }
}

ContentType CalendarItem::contentType() const { return ContentType("text/x-vcalendar", "2.1"); }

bool CalendarItem::setData(const std::string& text) {
    const auto event = importEvent(text);
    if (!event) return false;
    std::string key = key_;
    if (!writeEvent(*event, key)) return false;
    key_ = std::move(key);
    return true;
}

}  // namespace orvale::calendar

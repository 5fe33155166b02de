#pragma once
// One appointment as the engine sees it: its key and its vCalendar 1.0 text holding one VEVENT.
#include <string>

#include "platform/pim/PimSession.h"
#include "stores/TextItem.h"

namespace orvale::calendar {

class CalendarItem final : public TextItem {
public:
    // An appointment that is not on the device yet: no key, no text until setData stores it.
    CalendarItem() = default;
    // Reads the appointment from the device at once. A key that names none gives a VCALENDAR with
    // an empty VEVENT.
    explicit CalendarItem(const std::string& key);
    // The same from the device item read for the key already (null: the device has none).
    CalendarItem(const std::string& key, const platform::pim::Item* device);

    ContentType contentType() const override;
    // Parses the vCalendar and writes the event to the device; a new appointment receives its key
    // here. False when the text holds no readable VEVENT or the device did not take the write: the
    // server must not be told an event is stored that is not.
    bool setData(const std::string& text) override;
};

}  // namespace orvale::calendar

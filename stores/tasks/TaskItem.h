#pragma once
// One task as the engine sees it: its key and its vCalendar 1.0 text holding one VTODO.
#include <string>

#include "platform/pim/PimSession.h"
#include "stores/TextItem.h"

namespace orvale::tasks {

class TaskItem final : public TextItem {
public:
    // A task that is not on the device yet: no key, no text until setData stores it.
    TaskItem() = default;
    // Reads the task from the device at once. A key that names none gives a VCALENDAR with an empty
    // VTODO.
    explicit TaskItem(const std::string& key);
    // The same from the device item read for the key already (null: the device has none).
    TaskItem(const std::string& key, const platform::pim::Item* device);

    ContentType contentType() const override;
    // Parses the vCalendar and writes the task to the device; a new task receives its key here.
    // False when the text holds no VTODO or the device did not take the write: the server must not
    // be told a task is stored that is not.
    bool setData(const std::string& text) override;
};

}  // namespace orvale::tasks

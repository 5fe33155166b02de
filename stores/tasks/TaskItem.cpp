#include "stores/tasks/TaskItem.h"

#include <utility>

#include "stores/tasks/TaskDevice.h"

namespace orvale::tasks {

TaskItem::TaskItem(const std::string& key) : TextItem(key) {
    const auto task = readTask(key_);
    data_ = exportTask(task ? &*task : nullptr, key_);
}

TaskItem::TaskItem(const std::string& key, const platform::pim::Item* device) : TextItem(key) {
    const bool task = device != nullptr && device->type() == platform::pim::kTask;
    const DeviceTask read = task ? taskOfItem(*device) : DeviceTask{};
    data_ = exportTask(task ? &read : nullptr, key_);
}

ContentType TaskItem::contentType() const { return ContentType("text/x-vcalendar", "2.1"); }

bool TaskItem::setData(const std::string& text) {
    const auto task = importTask(text);
    if (!task) return false;
    std::string key = key_;
    if (!writeTask(*task, key)) return false;
    key_ = std::move(key);
    return true;
}

}  // namespace orvale::tasks

#include "stores/tasks/TasksStore.h"

#include "platform/pim/PimSession.h"
#include "stores/FolderKind.h"
#include "stores/ItemList.h"
#include "stores/tasks/TaskDevice.h"
#include "stores/tasks/TaskItem.h"
#include "stores/tasks/TaskTracking.h"

namespace orvale::tasks {

TasksStore::TasksStore(DataStoreKind* kind) : FolderStore(kind, *kindInfoByCode(kKindTasks)) {}

StoreItem* TasksStore::newItem() { return new TaskItem(); }

StoreItem* TasksStore::readItem(const std::string& key) { return new TaskItem(key); }

TrackerProfile TasksStore::trackerProfile() const { return taskTrackerProfile(); }

StoreItem* TasksStore::itemFromDevice(const std::string& key, const platform::pim::Item* device) {
    return new TaskItem(key, device);
}

std::optional<std::string> TasksStore::contentOfText(const std::string& text) {
    const auto task = importTask(text);
    if (!task) return std::nullopt;
    bool held = true;
    auto content = contentOfNewItem(platform::pim::kTask, [&](platform::pim::Item& item) { held = fillTask(*task, item); });
    if (!held) return std::nullopt;
    return content;
}

std::string TasksStore::contentOfItem(const platform::pim::Item& item) const {
    // As exported: what the server is sent of a task is what two tasks must share to be one.
    const DeviceTask task = taskOfItem(item);
    std::string content;
    for (std::size_t r = 0; r < kTaskFieldCount; ++r) appendContentValue(content, task.fields.row(r));
    appendContentValue(content, task.rule);
    return content;
}

std::vector<uint32_t> TasksStore::contentProperties() const { return taskPropertyIds(); }

std::vector<uint32_t> TasksStore::exportProperties() const { return taskPropertyIds(); }

std::string TasksStore::exportText(const platform::pim::Item& item) const {
    const DeviceTask task = taskOfItem(item);
    return exportTask(&task, keyForOid(item.oid()));
}

DataStoreKind* makeTasksKind() {
    return new FolderKind(*kindInfoByCode(kKindTasks),
                          [](DataStoreKind* kind) -> DataStore* { return new TasksStore(kind); });
}

void registerTasksKind() { registerDefaultKind(kKindTasks, makeTasksKind); }

}  // namespace orvale::tasks

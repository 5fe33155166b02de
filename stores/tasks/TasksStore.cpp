#include "stores/tasks/TasksStore.h"

#include "platform/pim/PimSession.h"
#include "stores/FolderKind.h"
#include "stores/ItemList.h"
#include "stores/tasks/TaskDevice.h"
#include "stores/tasks/TaskItem.h"
#include "stores/tasks/TaskTracking.h"

namespace orvale::tasks {

TasksStore::TasksStore(DataStoreKind* kind) : FolderStore(kind, *kindInfoByCode(kTasksKindCode)) {}

StoreItem* TasksStore::newItem() { return new TaskItem(); }

StoreItem* TasksStore::readItem(const std::string& key) { return new TaskItem(key); }

TrackerProfile TasksStore::trackerProfile() const { return taskTrackerProfile(); }

StoreItem* TasksStore::itemFromDevice(const std::string& key, const platform::pim::Item* device) {
    return new TaskItem(key, device);
}

std::optional<std::string> TasksStore::contentOfText(const std::string& text) {
    const auto task = importTask(text);
    platform::pim::Session* session = platform::pim::Session::current();
    if (!task || session == nullptr) return std::nullopt;
    // Through the device's own values, so a text and the task it would become give one content.
    const auto item = session->createItem(platform::pim::kTask);
    if (!item) return std::nullopt;
    fillTask(*task, *item);
    return contentOfItem(*item);
}

std::string TasksStore::contentOfItem(const platform::pim::Item& item) const {
    // As exported: what the server is sent of a task is what two tasks must share to be one.
    const DeviceTask task = taskOfItem(item);
    std::string content = task.fields.countedText();
    appendCountedText(content, task.rule);
    return content;
}

std::vector<uint32_t> TasksStore::contentProperties() const { return taskPropertyIds(); }

std::vector<uint32_t> TasksStore::exportProperties() const { return taskPropertyIds(); }

std::string TasksStore::exportText(const platform::pim::Item& item) const {
    const DeviceTask task = taskOfItem(item);
    return exportTask(&task, keyForOid(item.oid()));
}

DataStoreKind* makeTasksKind() {
    return new FolderKind(*kindInfoByCode(kTasksKindCode),
                          [](DataStoreKind* kind) -> DataStore* { return new TasksStore(kind); });
}

void registerTasksKind() { registerDefaultKind(kTasksKindCode, makeTasksKind); }

}  // namespace orvale::tasks

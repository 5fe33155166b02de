#include "stores/tasks/TasksStore.h"

#include "stores/FolderKind.h"
#include "stores/tasks/TaskItem.h"
#include "stores/tasks/TaskTracking.h"

namespace orvale::tasks {

TasksStore::TasksStore(DataStoreKind* kind) : FolderStore(kind, *kindInfoByCode(kTasksKindCode)) {}

StoreItem* TasksStore::newItem() { return new TaskItem(); }

StoreItem* TasksStore::readItem(const std::string& key) { return new TaskItem(key); }

TrackerProfile TasksStore::trackerProfile() const { return taskTrackerProfile(); }

DataStoreKind* makeTasksKind() {
    return new FolderKind(*kindInfoByCode(kTasksKindCode),
                          [](DataStoreKind* kind) -> DataStore* { return new TasksStore(kind); });
}

void registerTasksKind() { registerDefaultKind(kTasksKindCode, makeTasksKind); }

}  // namespace orvale::tasks

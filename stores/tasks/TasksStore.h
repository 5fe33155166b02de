#pragma once
// The device's tasks folder as the store of kind WinMobileTasks.
#include "stores/FolderStore.h"

namespace orvale::tasks {

inline constexpr int kTasksKindCode = 4;

class TasksStore final : public FolderStore {
public:
    explicit TasksStore(DataStoreKind* kind);
    StoreItem* newItem() override;

protected:
    StoreItem* readItem(const std::string& key) override;
    TrackerProfile trackerProfile() const override;
};

// A new tasks kind, as the kind registry makes it.
DataStoreKind* makeTasksKind();
// Puts the tasks kind into the kind registry unless one is there already.
void registerTasksKind();

}  // namespace orvale::tasks

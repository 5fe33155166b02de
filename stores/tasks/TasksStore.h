#pragma once
// The device's tasks folder as the store of kind WinMobileTasks.
#include "stores/FolderStore.h"
#include "stores/KindCode.h"

namespace orvale::tasks {

class TasksStore final : public FolderStore {
public:
    explicit TasksStore(DataStoreKind* kind);
    StoreItem* newItem() override;

protected:
    StoreItem* readItem(const std::string& key) override;
    TrackerProfile trackerProfile() const override;
    // Lists and exports read the folder in bulk; a server's text is compared with the tasks by
    // what it would store, so a slow sync does not store a task the device already holds.
    bool buildsFromDevice() const override { return true; }
    StoreItem* itemFromDevice(const std::string& key, const platform::pim::Item* device) override;
    std::optional<std::string> contentOfText(const std::string& text) override;
    std::string contentOfItem(const platform::pim::Item& item) const override;
    std::vector<uint32_t> contentProperties() const override;
    std::vector<uint32_t> exportProperties() const override;
    std::string exportText(const platform::pim::Item& item) const override;
};

// A new tasks kind, as the kind registry makes it.
DataStoreKind* makeTasksKind();
// Puts the tasks kind into the kind registry unless one is there already.
void registerTasksKind();

}  // namespace orvale::tasks

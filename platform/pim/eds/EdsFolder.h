#pragma once
// One Evolution Data Server source (an address book, a calendar or a task list) as the EDS backend
// uses it: UIDs and item contents, read and written many at a time, so a folder of thousands of
// items costs a few D-Bus round trips rather than one per item.
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/pim/StoreChoice.h"
#include "platform/pim/eds/ItemContent.h"

namespace orvale::platform::pim::eds {

class Folder {
public:
    // Items per call of the batch reads and writes: a D-Bus message stays a few megabytes even
    // when every contact carries its picture.
    static constexpr size_t kBatchItems = 100;

    virtual ~Folder() = default;
    // Every item's UID, in no particular order.
    virtual std::optional<std::vector<std::string>> uids(std::string* why) = 0;
    // The contents of those of `uids` (at most kBatchItems) the source holds, with their UIDs.
    virtual std::optional<std::vector<std::pair<std::string, ItemContent>>> read(const std::vector<std::string>& uids,
                                                                               std::string* why) = 0;
    // Which of `uids` (at most kBatchItems) the source holds.
    virtual std::optional<std::vector<std::string>> present(const std::vector<std::string>& uids, std::string* why) = 0;
    // At most kBatchItems items each, in one call; false when the call failed (some may be done).
    virtual bool add(const std::vector<std::pair<std::string, const ItemContent*>>& items, std::string* why) = 0;
    virtual bool modify(const std::vector<std::pair<std::string, const ItemContent*>>& items, std::string* why) = 0;
    virtual bool remove(const std::vector<std::string>& uids, std::string* why) = 0;
};

// The chosen address book (the system's own when `sourceUid` is empty).
std::unique_ptr<Folder> openContactsFolder(const std::string& sourceUid, std::string* why);
// The chosen calendar (folder 9) or task list (folder 13).
std::unique_ptr<Folder> openCalendarFolder(int folder, const std::string& sourceUid, std::string* why);

}  // namespace orvale::platform::pim::eds

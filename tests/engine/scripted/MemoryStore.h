#pragma once
// Folders held in memory for scripted sessions: what the engine finds at the start (items, change
// lists, stored anchor) and what it leaves behind (items, saved anchors, acknowledgements, calls).
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "stores/DataStoreFactory.h"
#include "stores/SyncAnchor.h"

namespace orvale::test {

struct MemoryFolder {
    std::string name;         // "Contacts", "Calendar", "Tasks"
    std::string contentType;  // "text/x-vcard" or "text/x-vcalendar"
    std::map<std::string, std::string> items;  // key -> text
    std::vector<std::uint32_t> updated, added, deleted;
    std::optional<SyncAnchor> storedAnchor;
    std::vector<SyncAnchor> savedAnchors;
    std::vector<std::string> acknowledged;
    // Keys recorded as deleted from the device (server items the device never held).
    std::vector<std::string> deletedFromDevice;
    // Store operations in the order the engine called them ("allItems", "slot14", "newItem", ...).
    std::vector<std::string> calls;
    // setData refuses a text that contains this (when not empty).
    std::string refuseText;
    std::uint32_t nextKey = 5000;
    bool opens = true;
};

// Hands out kinds of the folders it holds; a code it does not hold gives no kind.
class MemoryFactory : public DataStoreFactory {
public:
    MemoryFolder& folder(int kindCode);
    const MemoryFolder* find(int kindCode) const;
    MemoryFolder* findByName(const std::string& name);

    DataStoreKind* createKindById(int code) override;
    DataStoreKind* createKindByName(const std::string& text) override;
    std::vector<DataStoreKind*> allKinds() override;

private:
    std::map<int, MemoryFolder> folders_;
};

}  // namespace orvale::test

#pragma once
// What the tool does with a folder of the device store, in terms of keys and item texts. Everything
// goes through the generic store interface, so a folder works here as soon as its store exists.
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvale::pim_tool {

class StoreAccess {
public:
    // None when no store of that kind is registered. `kindName` is a folder name the registry knows
    // ("Contacts", "Calendar", "Tasks").
    static std::unique_ptr<StoreAccess> open(const std::string& kindName);
    virtual ~StoreAccess() = default;

    // The versit component the store's items are made of, and the one it holds when it is a
    // calendar ("VCARD", "VCALENDAR/VEVENT", "VCALENDAR/VTODO").
    virtual std::string itemComponent() const = 0;
    // In the store's own order.
    virtual std::vector<std::string> keys() = 0;
    virtual bool exists(const std::string& key) = 0;
    // The item as the store exports it.
    virtual std::string text(const std::string& key) = 0;
    // The new item's key, or none when the store refused the text.
    virtual std::optional<std::string> add(const std::string& text) = 0;
    virtual bool replace(const std::string& key, const std::string& text) = 0;
    virtual bool remove(const std::string& key) = 0;
};

}  // namespace orvale::pim_tool

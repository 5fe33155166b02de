#pragma once
// The address books, calendars and task lists Evolution Data Server offers, from its source
// registry on the session bus.
#include <optional>
#include <string>
#include <vector>

namespace orvale::platform::pim::eds {

struct EdsSource {
    enum class Kind { AddressBook, Calendar, TaskList };
    Kind kind = Kind::AddressBook;
    std::string uid;
    std::string displayName;
    bool isDefault = false;  // the system's own address book, calendar or task list
};

// Enabled sources, address books first, then calendars, then task lists, each sorted by name;
// nullopt, with `why`, when the registry cannot be reached (no session bus, EDS not installed).
std::optional<std::vector<EdsSource>> listEdsSources(std::string* why = nullptr);

}  // namespace orvale::platform::pim::eds

#pragma once
// store=own|eds and contacts-eds-source=UID, calendar-, tasks-: where the device's personal
// information lives. Kept beside Conf.dat, not in it. A change that puts a folder on other data
// (another store, another EDS source) makes that folder's next sync a slow one.
#include <string>
#include <string_view>

#include "platform/pim/StoreChoice.h"

namespace orvale::config_tool {

bool isStoreKey(std::string_view key);

// Empty when understood; else what is wrong with the value.
std::string applyStoreKey(platform::pim::StoreChoice& choice, std::string_view key, std::string_view value);

// Saves `wanted` over `before`, forgetting the anchors of the folders whose data changes; the lines
// to print say what happens next. False when a file could not be written (`lines` says which).
bool storeStoreChoice(const platform::pim::StoreChoice& before, const platform::pim::StoreChoice& wanted,
                      std::string& lines);

std::string storeLines(const platform::pim::StoreChoice& choice);
std::string storeHelp();

// orvale-config eds-sources: the address books, calendars and task lists EDS offers.
int listEdsSources();

}  // namespace orvale::config_tool

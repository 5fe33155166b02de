#pragma once
// next-sync=MODE (every chosen folder) and contacts-next-sync=MODE, tasks-, calendar-: what the
// next sync of a folder does. Kept beside Conf.dat, not in it.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/SettingsSave.h"
#include "stores/SyncMode.h"

namespace orvale::config_tool {

bool isNextSyncKey(std::string_view key);

// The folders (kind codes) a key names with the mode asked; `chosen` says which folders are on.
// Empty `problem` when understood.
std::vector<std::pair<int, SyncMode>> nextSyncRequest(std::string_view key, std::string_view value,
                                                      const SettingsInput& chosen, std::string& problem);

// Why the requests cannot be stored as they stand (a refresh from an empty device folder would
// empty the server's folder: it needs `force`); empty when they can.
std::string nextSyncRefusal(const std::vector<std::pair<int, SyncMode>>& requests, bool force);

// Stores the requests: slow forgets the folder's anchor, the other modes go into the choice file.
// False when a file could not be written.
bool storeNextSync(const std::vector<std::pair<int, SyncMode>>& requests);

// The next sync of each folder as KEY=VALUE lines, and the keys for the help text.
std::string nextSyncLines();
std::string nextSyncHelp();

}  // namespace orvale::config_tool

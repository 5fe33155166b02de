#pragma once
// The commands of orvale-pim over one folder. Each returns the program's exit code; results go to
// `out`, messages to `err`.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tools/pim/StoreAccess.h"

namespace orvale::pim_tool {

int listItems(StoreAccess& store, std::ostream& out, std::ostream& err);
int showItem(StoreAccess& store, const std::string& key, std::ostream& out, std::ostream& err);
// Every file is read and every item checked before the first one is stored.
int importFiles(StoreAccess& store, const std::vector<std::string>& files, std::ostream& out, std::ostream& err);
int exportItems(StoreAccess& store, const std::optional<std::string>& file, std::ostream& out, std::ostream& err);
int editItem(StoreAccess& store, const std::string& key, const std::string& file, std::ostream& err);
int deleteItem(StoreAccess& store, const std::string& key, std::ostream& err);

}  // namespace orvale::pim_tool

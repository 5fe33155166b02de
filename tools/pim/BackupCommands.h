#pragma once
// orvale-pim's backup commands over one folder: list the backups, take one, put one back. Each
// returns the program's exit code; results go to `out`, messages to `err`.
#include <ostream>
#include <string>

#include "tools/pim/StoreAccess.h"

namespace orvale::pim_tool {

// `folderName` as the backups are filed ("Contacts").
int listBackups(const std::string& folderName, std::ostream& out);
int takeBackup(StoreAccess& store, std::ostream& out, std::ostream& err);
// A backup that is not whole and unaltered is refused before anything is changed.
int restoreBackup(StoreAccess& store, const std::string& folderName, const std::string& name, std::ostream& out,
                  std::ostream& err);

}  // namespace orvale::pim_tool

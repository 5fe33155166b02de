// orvale-pim: the device's contacts, events and tasks for people on Linux, through the stores' own
// vCard and vCalendar mappings. It may run while a sync works on the same device root.
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "stores/KindRegistry.h"
#include "stores/NextSync.h"
#include "tools/pim/BackupCommands.h"
#include "tools/pim/ExitCodes.h"
#include "tools/pim/PimCommands.h"
#include "tools/pim/StoreAccess.h"

namespace {

using namespace orvale::pim_tool;

constexpr const char* kHelp =
    "usage: orvale-pim FOLDER COMMAND [ARGS]\n"
    "       orvale-pim --help | --version\n"
    "\n"
    "FOLDER is contacts, calendar or tasks of the device store in $ORVALE_DEVICE_ROOT\n"
    "(default $XDG_DATA_HOME/orvale, else ~/.local/share/orvale).\n"
    "\n"
    "commands:\n"
    "  list              one line per item: its key, a tab, its name or summary\n"
    "  show KEY          the item's text exactly as the store exports it\n"
    "  import FILE...    stores every item of the files as a new item, all or none; prints each\n"
    "                    new key\n"
    "  export [FILE]     every item, one after the other, into FILE or to standard output\n"
    "  edit KEY FILE     replaces the item by the single item in FILE\n"
    "  delete KEY        deletes the item\n"
    "  backups           the folder's backups, newest first: name, local time, items, why taken\n"
    "  backup            takes a backup of the folder now; prints its name\n"
    "  restore BACKUP    puts the folder back as the backup holds it: items not in it are deleted,\n"
    "                    the others get its texts (one deleted since comes back with a new key);\n"
    "                    all or nothing, and the next sync sends the changes to the server\n"
    "  next-sync         what the folder's next sync will be: two-way, slow, refresh-from-server,\n"
    "                    refresh-from-device, one-way-from-server or one-way-from-device\n"
    "                    (orvale-config set FOLDER-next-sync=MODE chooses it)\n"
    "\n"
    "A sync keeps the last five backups of a folder in Backups/FOLDER of the device root, taking one\n"
    "before each slow sync (the first sync of a folder is one).\n"
    "\n"
    "Files hold vCards (contacts) or vCalendars (calendar, tasks), one after the other, with CR LF or\n"
    "LF line ends. Nothing is imported unless every file can be read and every item parsed.\n"
    "list, show and export only read: they create and change nothing of the device store.\n"
    "\n"
    "exit codes: 0 done, 1 the store refused a write or delete, 2 wrong arguments,\n"
    "3 a file cannot be read or written, 4 an item cannot be parsed or is of the wrong kind,\n"
    "5 unknown key or backup, 6 the folder's store does not exist yet, 7 the device folder or its\n"
    "database cannot be used, 8 the backup is damaged (nothing was changed)\n";

struct Folder {
    const char* kindName;  // as the store registry knows it
    const char* storeKind;
};
const std::map<std::string, Folder> kFolders = {
    {"contacts", {"Contacts", "WinMobileContacts"}},
    {"calendar", {"Calendar", "WinMobileCalendars"}},
    {"tasks", {"Tasks", "WinMobileTasks"}},
};

// Arguments after the command: fewest and most (-1: any number).
struct Command {
    int fewest;
    int most;
};
const std::map<std::string, Command> kCommands = {
    {"list", {0, 0}}, {"show", {1, 1}}, {"import", {1, -1}},
    {"export", {0, 1}}, {"edit", {2, 2}}, {"delete", {1, 1}}, {"backups", {0, 0}},
    {"backup", {0, 0}}, {"restore", {1, 1}}, {"next-sync", {0, 0}},
};

int usageError(const std::string& problem) {
    std::cerr << "orvale-pim: " << problem << "\n" << kHelp;
    return kUsage;
}

int run(StoreAccess& store, const std::string& folderName, const std::string& command,
        const std::vector<std::string>& args) {
    if (command == "backups") return listBackups(folderName, std::cout);
    if (command == "backup") return takeBackup(store, std::cout, std::cerr);
    if (command == "restore") return restoreBackup(store, folderName, args[0], std::cout, std::cerr);
    if (command == "list") return listItems(store, std::cout, std::cerr);
    if (command == "show") return showItem(store, args[0], std::cout, std::cerr);
    if (command == "import") return importFiles(store, args, std::cout, std::cerr);
    if (command == "export") {
        return exportItems(store, args.empty() ? std::nullopt : std::optional(args[0]), std::cout, std::cerr);
    }
    if (command == "edit") return editItem(store, args[0], args[1], std::cerr);
    return deleteItem(store, args[0], std::cerr);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> all(argv + 1, argv + argc);
    if (all.size() == 1 && (all[0] == "--help" || all[0] == "-h")) {
        std::cout << kHelp;
        return kOk;
    }
    if (all.size() == 1 && all[0] == "--version") {
        std::cout << "orvale-pim " ORVALE_VERSION "\n";
        return kOk;
    }
    if (all.size() < 2) return usageError("a folder and a command are needed");
    const auto folder = kFolders.find(all[0]);
    if (folder == kFolders.end()) return usageError("unknown folder '" + all[0] + "'");
    const auto command = kCommands.find(all[1]);
    if (command == kCommands.end()) return usageError("unknown command '" + all[1] + "'");
    const std::vector<std::string> args(all.begin() + 2, all.end());
    const int count = static_cast<int>(args.size());
    if (count < command->second.fewest || (command->second.most >= 0 && count > command->second.most)) {
        return usageError("wrong number of arguments for '" + all[1] + "'");
    }
    if (all[1] == "next-sync") {
        // Read from the anchor and the choice file alone: no store is opened.
        std::cout << orvale::syncModeName(orvale::effectiveNextSync(orvale::kindInfoByFolderName(folder->second.kindName)->code))
                  << "\n";
        return kOk;
    }
    std::string problem;
    // Looking changes nothing: not even a device database that is not there yet.
    const bool readOnly = all[1] == "list" || all[1] == "export" || all[1] == "show";
    const auto store = StoreAccess::open(folder->second.kindName, problem, readOnly);
    if (!problem.empty()) {
        std::cerr << "orvale-pim: " << problem << "\n";
        return kNoDevice;
    }
    if (!store) {
        std::cerr << "orvale-pim: the " << all[0] << " store (" << folder->second.storeKind
                  << ") does not exist yet\n";
        return kNoStore;
    }
    return run(*store, folder->second.kindName, all[1], args);
}

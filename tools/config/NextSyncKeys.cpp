#include "tools/config/NextSyncKeys.h"

#include "stores/KindCode.h"
#include "stores/NextSync.h"

namespace orvale::config_tool {

namespace {

struct FolderKey {
    std::string_view prefix;
    int kind;
    std::string_view label;
};
constexpr FolderKey kFolders[] = {
    {"contacts-", kKindContacts, "contacts"},
    {"tasks-", kKindTasks, "tasks"},
    {"calendar-", kKindCalendar, "calendar"},
};
constexpr std::string_view kKey = "next-sync";

bool chosenFolder(const SettingsInput& chosen, int kind) {
    return kind == kKindContacts ? chosen.contacts : kind == kKindTasks ? chosen.tasks : chosen.calendar;
}

}  // namespace

bool isNextSyncKey(std::string_view key) {
    if (key == kKey) return true;
    for (const FolderKey& f : kFolders)
        if (key.size() == f.prefix.size() + kKey.size() && key.substr(0, f.prefix.size()) == f.prefix &&
            key.substr(f.prefix.size()) == kKey)
            return true;
    return false;
}

std::vector<std::pair<int, SyncMode>> nextSyncRequest(std::string_view key, std::string_view value,
                                                      const SettingsInput& chosen, std::string& problem) {
    const auto mode = syncModeFromName(value);
    if (!mode) {
        problem = std::string(key) +
                  " must be two-way, slow, refresh-from-server, refresh-from-device, one-way-from-server or "
                  "one-way-from-device";
        return {};
    }
    std::vector<std::pair<int, SyncMode>> out;
    for (const FolderKey& f : kFolders) {
        const bool named = key.substr(0, f.prefix.size()) == f.prefix;
        if (named || (key == kKey && chosenFolder(chosen, f.kind))) out.emplace_back(f.kind, *mode);
    }
    if (out.empty()) problem = "next-sync: no folder is chosen (contacts=1, tasks=1 or calendar=1)";
    return out;
}

std::string nextSyncRefusal(const std::vector<std::pair<int, SyncMode>>& requests, bool force) {
    if (force) return {};
    for (const auto& [kind, mode] : requests) {
        if (mode != SyncMode::RefreshFromDevice) continue;
        const auto count = deviceFolderItemCount(kind);
        if (count && *count > 0) continue;
        for (const FolderKey& f : kFolders) {
            if (f.kind != kind) continue;
            return "the device's " + std::string(f.label) +
                   (count ? " folder is empty" : " folder cannot be read") +
                   ": a refresh from the device would empty the server's folder; add --force to do so";
        }
    }
    return {};
}

bool storeNextSync(const std::vector<std::pair<int, SyncMode>>& requests) {
    NextSyncChoice choice = NextSyncChoice::load();
    bool ok = true;
    for (const auto& [kind, mode] : requests) {
        if (mode == SyncMode::Slow) ok = forgetFolderAnchor(kind) && ok;
        choice.set(kind, mode);
    }
    return choice.save() && ok;
}

std::string nextSyncLines() {
    std::string out;
    for (const FolderKey& f : kFolders) {
        out += std::string(f.prefix) + std::string(kKey) + "=" + std::string(syncModeName(effectiveNextSync(f.kind))) + "\n";
    }
    return out;
}

std::string nextSyncHelp() {
    return "  next-sync=MODE            the next sync of every chosen folder; contacts-next-sync=MODE,\n"
           "                            tasks-next-sync=MODE, calendar-next-sync=MODE for one folder.\n"
           "                            MODE: two-way, slow, refresh-from-server (the device gets the\n"
           "                            server's data; a backup is taken first), refresh-from-device (the\n"
           "                            server gets the device's data; an empty device folder needs\n"
           "                            --force), one-way-from-server, one-way-from-device. It holds until\n"
           "                            that folder's sync has completed; show lists it.\n";
}

}  // namespace orvale::config_tool

#include "tools/config/StoreKeys.h"

#include <iostream>

#include "platform/DevicePaths.h"
#include "platform/pim/eds/EdsSources.h"
#include "stores/KindCode.h"
#include "stores/NextSync.h"

namespace orvale::config_tool {

namespace pim = platform::pim;

namespace {

struct SourceKey {
    std::string_view key;
    std::string pim::StoreChoice::*field;
    int kind;
    std::string_view label;
};
const SourceKey kSources[] = {
    {"contacts-eds-source", &pim::StoreChoice::contactsSource, kKindContacts, "contacts"},
    {"calendar-eds-source", &pim::StoreChoice::calendarSource, kKindCalendar, "calendar"},
    {"tasks-eds-source", &pim::StoreChoice::tasksSource, kKindTasks, "tasks"},
};
constexpr std::string_view kStoreKey = "store";
// EDS source UIDs are short; the store choice refuses longer ones when read.
constexpr std::size_t kMostSourceBytes = 256;

std::string_view storeName(pim::StoreChoice::Kind kind) {
    return kind == pim::StoreChoice::Kind::Eds ? "Evolution Data Server" : "Orvale's own database";
}

}  // namespace

bool isStoreKey(std::string_view key) {
    if (key == kStoreKey) return true;
    for (const SourceKey& s : kSources)
        if (key == s.key) return true;
    return false;
}

std::string applyStoreKey(pim::StoreChoice& choice, std::string_view key, std::string_view value) {
    if (key == kStoreKey) {
        if (value == "own") choice.kind = pim::StoreChoice::Kind::Own;
        else if (value == "eds") choice.kind = pim::StoreChoice::Kind::Eds;
        else return "store must be own (Orvale's own database) or eds (Evolution Data Server)";
        return {};
    }
    for (const SourceKey& s : kSources) {
        if (key != s.key) continue;
        if (value.size() > kMostSourceBytes || value.find_first_of(" \t\r\n") != std::string_view::npos)
            return std::string(key) + " takes the UID of an EDS source (orvale-config eds-sources lists them), "
                                      "or nothing for the system's own";
        choice.*s.field = value;
        return {};
    }
    return "unknown key \"" + std::string(key) + "\"";
}

bool storeStoreChoice(const pim::StoreChoice& before, const pim::StoreChoice& wanted, std::string& lines) {
    // The folders whose items change with this choice: all of them with the store, one with its
    // source while EDS is the store.
    std::vector<const SourceKey*> moved;
    for (const SourceKey& s : kSources) {
        const bool storeChanges = before.kind != wanted.kind;
        const bool sourceChanges = wanted.kind == pim::StoreChoice::Kind::Eds && before.*s.field != wanted.*s.field;
        if (storeChanges || sourceChanges) moved.push_back(&s);
    }
    // The anchors go first: a crash between the two writes then costs a slow sync and nothing more,
    // where the other order could sync the new store's folder as if it were the old one.
    bool ok = true;
    for (const SourceKey* s : moved) ok = forgetFolderAnchor(s->kind) && ok;
    if (!ok) {
        lines = "cannot forget a folder's sync anchor (in " + platform::hostPath("").string() +
                "); the store is not changed\n";
        return false;
    }
    if (!wanted.save()) {
        lines = "cannot write " + platform::hostPath(pim::kStoreChoicePath).string() + "\n";
        return false;
    }
    if (before.kind != wanted.kind)
        lines += "store: " + std::string(storeName(wanted.kind)) + " (was " + std::string(storeName(before.kind)) +
                 "; its data is kept as it is)\n";
    if (!moved.empty()) {
        std::string names;
        for (const SourceKey* s : moved) names += (names.empty() ? "" : ", ") + std::string(s->label);
        lines += "the next sync of " + names +
                 " is a slow sync: each of these folders is backed up first, then compared item by item with "
                 "the server's\n";
    }
    return true;
}

std::string storeLines(const pim::StoreChoice& choice) {
    std::string out = "store=" + std::string(choice.kind == pim::StoreChoice::Kind::Eds ? "eds" : "own") + "\n";
    for (const SourceKey& s : kSources) out += std::string(s.key) + "=" + choice.*s.field + "\n";
    return out;
}

std::string storeHelp() {
    return "  store         where contacts, events and tasks live: own (Orvale's own database, the default)\n"
           "                or eds (Evolution Data Server, which the desktop's address book, calendar and\n"
           "                task programs show). Changing it makes the next sync of every folder a slow\n"
           "                sync, each folder backed up first; kept beside Conf.dat, not in it\n"
           "  contacts-eds-source, calendar-eds-source, tasks-eds-source\n"
           "                the UID of the EDS address book, calendar or task list to use (orvale-config\n"
           "                eds-sources lists them); empty (the default) is the system's own. A change\n"
           "                while store=eds makes that folder's next sync a slow sync\n";
}

int listEdsSources() {
    std::string why;
    const auto sources = platform::pim::eds::listEdsSources(&why);
    if (!sources) {
        std::cerr << "orvale-config: " << why << "\n";
        return 7;
    }
    using Kind = platform::pim::eds::EdsSource::Kind;
    for (const auto& s : *sources) {
        const char* kind = s.kind == Kind::AddressBook ? "contacts" : s.kind == Kind::Calendar ? "calendar" : "tasks";
        std::cout << kind << '\t' << s.uid << '\t' << s.displayName << (s.isDefault ? "\t(default)" : "") << '\n';
    }
    return 0;
}

}  // namespace orvale::config_tool

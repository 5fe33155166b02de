#include "stores/KindRegistry.h"

#include <map>

namespace orvale {

const std::vector<KindInfo>& knownKinds() {
    static const std::vector<KindInfo> kinds = {
        {"WinMobileContacts", kKindContacts, "Contacts", "text/x-vcard", "2.1", 10, "Anchor_Contacts", "Contacts.hdb"},
        {"WinMobileTasks", kKindTasks, "Tasks", "text/x-vcalendar", "1.0", 13, "Anchor_Tasks", "Tasks.hdb"},
        {"WinMobileCalendars", kKindCalendar, "Calendar", "text/x-vcalendar", "1.0", 9, "Anchor_Calendar", "Calendar.hdb"},
    };
    return kinds;
}

const KindInfo* kindInfoByCode(int code) {
    for (const auto& k : knownKinds())
        if (k.code == code) return &k;
    return nullptr;
}

const KindInfo* kindInfoByFolderName(const std::string& text) {
    // Search order decides ties: a name holding both "Contacts" and "Tasks" is contacts.
    for (int code : {kKindContacts, kKindCalendar, kKindTasks}) {
        const KindInfo* k = kindInfoByCode(code);
        if (k && text.find(k->folderName) != std::string::npos) return k;
    }
    return nullptr;
}

namespace {
std::map<int, KindMaker>& makers() {
    static std::map<int, KindMaker> m;
    return m;
}
}  // namespace

void registerKind(int code, KindMaker maker) { makers()[code] = std::move(maker); }

void registerDefaultKind(int code, KindMaker maker) { makers().try_emplace(code, std::move(maker)); }

DataStoreKind* makeKind(int code) {
    auto it = makers().find(code);
    return it != makers().end() && it->second ? it->second() : nullptr;
}

}  // namespace orvale

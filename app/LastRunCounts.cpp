#include "app/LastRunCounts.h"

#include <sstream>

#include "platform/DevicePaths.h"
#include "platform/FileAccess.h"
#include "stores/KindCode.h"

namespace orvale {

namespace {
constexpr std::size_t kMostFileBytes = 256;
constexpr int kCodes[] = {kKindContacts, kKindCalendar, kKindTasks};
}  // namespace

FolderCounts LastRunCounts::of(int kindCode) const {
    switch (kindCode) {
        case kKindContacts: return contacts;
        case kKindCalendar: return calendar;
        case kKindTasks: return tasks;
        default: return {};
    }
}

bool saveLastRunCounts(const RunStatistics& statistics) {
    std::string text;
    for (const int code : kCodes) {
        const FolderCounts c = statistics.counts(code);
        text += std::to_string(code) + ' ' + std::to_string(c.received) + ' ' + std::to_string(c.sent) + '\n';
    }
    return platform::writeWholeFile(platform::hostPath(kLastRunCountsPath), text, 0600);
}

std::optional<LastRunCounts> loadLastRunCounts() {
    const auto bytes = platform::readFilePrefix(platform::hostPath(kLastRunCountsPath), kMostFileBytes);
    if (!bytes) return std::nullopt;
    std::istringstream in(*bytes);
    LastRunCounts out;
    for (const int code : kCodes) {
        int readCode = 0;
        FolderCounts c;
        if (!(in >> readCode >> c.received >> c.sent) || readCode != code || c.received < 0 || c.sent < 0)
            return std::nullopt;
        (code == kKindContacts ? out.contacts : code == kKindCalendar ? out.calendar : out.tasks) = c;
    }
    return out;
}

}  // namespace orvale

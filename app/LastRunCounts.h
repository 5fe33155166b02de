#pragma once
// What the last completed run sent and received per folder, kept beside Conf.dat (whose byte form
// has no room for it) so that the main screen shows it again after a restart. The time of that run
// is the record's last-sync text, written by the same completed run.
#include <optional>
#include <string_view>

#include "app/RunStatistics.h"

namespace orvale {

inline constexpr std::string_view kLastRunCountsPath = "\\Application Data\\Orvale\\LastRunCounts";

// Per kind code 1 contacts, 2 calendar, 4 tasks.
struct LastRunCounts {
    FolderCounts contacts, calendar, tasks;
    FolderCounts of(int kindCode) const;
};

// One line per folder: kind code, received, sent. False when the file cannot be written.
bool saveLastRunCounts(const RunStatistics& statistics);
// None when there is no file or it is not one this program wrote (nothing half-read).
std::optional<LastRunCounts> loadLastRunCounts();

}  // namespace orvale

#pragma once
// "Logs.dat", the summary of the last run that the log viewer shows: UTF-16LE without a byte-order
// mark, lines ended by CR LF. Whoever watched the run's progress fills the folder sections.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvale {

inline constexpr std::string_view kRunLogPath = "Logs.dat";

struct RunLogFolder {
    std::u16string displayName;
    int received = 0;
    int sent = 0;
};

// A folder that did not take part in the run stays empty. The sections are always written in the
// order Contacts, Calendar, Tasks.
struct RunLogSummary {
    std::u16string lastSyncText;
    std::optional<RunLogFolder> contacts;
    std::optional<RunLogFolder> calendar;
    std::optional<RunLogFolder> tasks;
    // What the run could not do, one line each after the sections ("Cant set content. CmdId: 5"
    // for an item the device refused).
    std::vector<std::string> notices;
    // The run's changes could not be recorded (RunReport::changesUnrecorded): a last line says so.
    bool changesUnrecorded = false;
};

std::u16string formatRunLog(const RunLogSummary& summary);
// Replaces the file; false when it cannot be written (the log is then skipped).
bool writeRunLog(const RunLogSummary& summary, std::string_view devicePath = kRunLogPath);

// What the log viewer shows: the first 1024 characters of the file at most, up to the first NUL;
// empty when the file cannot be read.
inline constexpr std::size_t kRunLogViewerChars = 1024;
std::u16string readRunLog(std::string_view devicePath = kRunLogPath);

}  // namespace orvale

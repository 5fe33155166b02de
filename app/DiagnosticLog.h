#pragma once
// The run's diagnostic log: plain UTF-8 text, one file per run in "Application Data/Orvale/Logs",
// the last N runs kept. It is written for every run whatever the logging switch of Conf.dat says;
// "Logs.dat" stays the summary the log viewer has always shown. Lines are buffered and the file
// is flushed once, at the end of the run.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace orvale {

inline constexpr std::string_view kLogFolderPath = "\\Application Data\\Orvale\\Logs";
// Beside Conf.dat, whose byte form stays as it is: "log-runs=N" and "log-names=on|off" lines.
inline constexpr std::string_view kLogSettingsPath = "\\Application Data\\Orvale\\LogSettings";

struct LogSettings {
    static constexpr int kDefaultRuns = 10;
    static constexpr int kMaxRuns = 1000;
    int runs = kDefaultRuns;  // 1..kMaxRuns
    bool names = true;        // contact names and event summaries in the log
};

// Unknown lines and values out of range are ignored (the default holds).
LogSettings readLogSettings();
bool writeLogSettings(const LogSettings& settings);
// Takes "log-runs=N" or "log-names=on|off"; false for another key or a value it refuses.
bool applyLogSetting(LogSettings& settings, std::string_view key, std::string_view value);

class DiagnosticLog {
  public:
    // A new file named after the local time; older files beyond the setting are removed. Null when
    // the folder or the file cannot be made (the run goes on without its log).
    static std::unique_ptr<DiagnosticLog> start(const LogSettings& settings);
    ~DiagnosticLog();
    DiagnosticLog(const DiagnosticLog&) = delete;
    DiagnosticLog& operator=(const DiagnosticLog&) = delete;

    // One line, after the seconds since the log started ("  12.345 ").
    void line(std::string_view text);
    bool names() const { return names_; }
    // Flushes and closes; an empty text when all was written, else why not (a full disk).
    std::string finish();
    const std::filesystem::path& path() const { return path_; }

  private:
    DiagnosticLog(std::FILE* file, std::filesystem::path path, bool names);
    std::FILE* file_;
    std::filesystem::path path_;
    bool names_;
    std::int64_t startMs_;
    int error_ = 0;
    std::unique_ptr<char[]> buffer_;
};

// The newest run log; nullopt when no run has written one.
std::optional<std::filesystem::path> lastRunLogPath();
// Its text, at most `maxBytes` from its start; nullopt when there is none.
std::optional<std::string> readLastRunLog(std::size_t maxBytes = 4u << 20);

}  // namespace orvale

#include "app/DiagnosticLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "platform/DevicePaths.h"
#include "platform/FileAccess.h"
#include "platform/TextLines.h"

namespace orvale {

namespace {
constexpr std::size_t kBufferBytes = 64 * 1024;
constexpr std::string_view kPrefix = "run-";
constexpr std::string_view kSuffix = ".log";

std::int64_t monotonicMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool isRunLog(const std::filesystem::path& p) {
    const std::string name = p.filename().string();
    return name.size() > kPrefix.size() + kSuffix.size() && name.starts_with(kPrefix) && name.ends_with(kSuffix);
}

// Names sort by time: run-YYYYMMDD-HHMMSS-N.log, N counting runs started in the same second.
std::vector<std::filesystem::path> runLogs() {
    std::vector<std::filesystem::path> logs;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(platform::hostPath(kLogFolderPath), ec)) {
        if (entry.is_regular_file(ec) && isRunLog(entry.path())) logs.push_back(entry.path());
    }
    std::sort(logs.begin(), logs.end(), [](const auto& a, const auto& b) {
        const std::string x = a.filename().string(), y = b.filename().string();
        return x.size() != y.size() ? x.size() < y.size() : x < y;
    });
    return logs;
}

std::string trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return std::string(s);
}
}  // namespace

bool applyLogSetting(LogSettings& settings, std::string_view key, std::string_view value) {
    if (key == "log-runs") {
        if (value.empty() || value.size() > 4) return false;
        int n = 0;
        for (const char c : value) {
            if (c < '0' || c > '9') return false;
            n = n * 10 + (c - '0');
        }
        if (n < 1 || n > LogSettings::kMaxRuns) return false;
        settings.runs = n;
        return true;
    }
    if (key == "log-names") {
        if (value != "on" && value != "off") return false;
        settings.names = value == "on";
        return true;
    }
    return false;
}

LogSettings readLogSettings() {
    LogSettings settings;
    const auto text = platform::readFilePrefix(platform::hostPath(kLogSettingsPath), 4096);
    if (!text) return settings;
    std::string_view rest = *text;
    while (const auto line = platform::takeLine(rest)) {
        const std::size_t eq = line->find('=');
        if (eq == std::string_view::npos) continue;
        applyLogSetting(settings, trim(line->substr(0, eq)), trim(line->substr(eq + 1)));
    }
    return settings;
}

bool writeLogSettings(const LogSettings& settings) {
    const std::string text =
        "log-runs=" + std::to_string(settings.runs) + "\nlog-names=" + (settings.names ? "on" : "off") + "\n";
    return platform::writeWholeFile(platform::hostPath(kLogSettingsPath), text, 0600);
}

DiagnosticLog::DiagnosticLog(std::FILE* file, std::filesystem::path path, bool names)
    : file_(file), path_(std::move(path)), names_(names), startMs_(monotonicMs()),
      buffer_(std::make_unique<char[]>(kBufferBytes)) {
    std::setvbuf(file_, buffer_.get(), _IOFBF, kBufferBytes);
}

DiagnosticLog::~DiagnosticLog() {
    if (file_ != nullptr) std::fclose(file_);
}

std::unique_ptr<DiagnosticLog> DiagnosticLog::start(const LogSettings& settings) {
    const std::filesystem::path folder = platform::hostPath(kLogFolderPath);
    if (!platform::createPrivateFolders(folder)) return nullptr;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    // The oldest go first, so that with this one there are `runs`. A run of the same second gets
    // the next number, never a number an older log of that second had: it must sort last.
    std::vector<std::filesystem::path> logs = runLogs();
    const auto keep = static_cast<std::size_t>(std::max(settings.runs, 1));
    std::error_code ec;
    for (std::size_t i = 0; i + keep <= logs.size(); ++i) std::filesystem::remove(logs[i], ec);
    const std::string sameSecond = std::string(kPrefix) + stamp + "-";
    int n = 0;
    for (const auto& log : logs) {
        const std::string name = log.filename().string();
        if (!name.starts_with(sameSecond)) continue;
        n = std::max(n, std::atoi(name.c_str() + sameSecond.size()) + 1);
    }
    std::FILE* file = nullptr;
    std::filesystem::path path;
    for (int tries = 0; tries < 100 && file == nullptr; ++tries, ++n) {
        path = folder / (sameSecond + std::to_string(n) + std::string(kSuffix));
        // Never one run's log over another's; readable by its owner only, as it names the user, the
        // server and the user's contacts.
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno != EEXIST) return nullptr;
            continue;
        }
        file = ::fdopen(fd, "w");
        if (file == nullptr) {
            ::close(fd);
            return nullptr;
        }
    }
    if (file == nullptr) return nullptr;
    return std::unique_ptr<DiagnosticLog>(new DiagnosticLog(file, path, settings.names));
}

void DiagnosticLog::line(std::string_view text) {
    if (file_ == nullptr) return;
    const std::int64_t ms = monotonicMs() - startMs_;
    char stamp[32];
    const int n = std::snprintf(stamp, sizeof stamp, "%4lld.%03lld ", static_cast<long long>(ms / 1000),
                                static_cast<long long>(ms % 1000));
    bool ok = std::fwrite(stamp, 1, static_cast<std::size_t>(n), file_) == static_cast<std::size_t>(n);
    ok = ok && std::fwrite(text.data(), 1, text.size(), file_) == text.size();
    ok = ok && std::fputc('\n', file_) != EOF;
    if (!ok && error_ == 0) error_ = errno != 0 ? errno : EIO;
}

std::string DiagnosticLog::finish() {
    if (file_ == nullptr) return {};
    errno = 0;
    if (std::fflush(file_) != 0 && error_ == 0) error_ = errno != 0 ? errno : EIO;
    if (std::fclose(file_) != 0 && error_ == 0) error_ = errno != 0 ? errno : EIO;
    file_ = nullptr;
    return error_ == 0 ? std::string() : std::string(std::strerror(error_));
}

std::optional<std::filesystem::path> lastRunLogPath() {
    const auto logs = runLogs();
    if (logs.empty()) return std::nullopt;
    return logs.back();
}

std::optional<std::string> readLastRunLog(std::size_t maxBytes) {
    const auto path = lastRunLogPath();
    if (!path) return std::nullopt;
    return platform::readFilePrefix(*path, maxBytes);
}

}  // namespace orvale

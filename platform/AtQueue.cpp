#include "platform/AtQueue.h"

#include <pwd.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string_view>

#include "platform/DecimalText.h"
#include "platform/Process.h"
#include "platform/ProgramRun.h"

namespace orvale::platform::atqueue {

namespace {

// atq prints its dates in the C locale's form ("Thu Dec 10 03:10:00 2026") only when asked to.
ProgramRunOptions plainLocale() {
    ProgramRunOptions options;
    options.environment = {{"LC_ALL", "C"}};
    return options;
}

std::string currentUser() {
    const passwd* pw = ::getpwuid(::geteuid());
    return pw != nullptr && pw->pw_name != nullptr ? pw->pw_name : "";
}

bool fail(std::string* error, const std::string& what, const std::optional<ProgramOutput>& run) {
    if (error != nullptr) {
        *error = what;
        if (!run) {
            *error += ": cannot be started (is the at package installed?)";
        } else if (!run->err.empty()) {
            *error += ": " + run->err.substr(0, run->err.find('\n'));
        } else {
            *error += ": exit code " + std::to_string(run->exitCode);
        }
    }
    return false;
}

bool isDigits(const std::string& s) {
    if (s.empty() || s.size() > 10) return false;
    for (const char c : s) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

std::optional<platform::SystemTime> parseQueueDate(std::istringstream& fields) {
    static constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::string weekday, month, day, clock, year;
    if (!(fields >> weekday >> month >> day >> clock >> year)) return std::nullopt;
    platform::SystemTime t;
    for (std::size_t i = 0; i < kMonths.size(); ++i) {
        if (month == kMonths[i]) t.month = static_cast<std::uint16_t>(i + 1);
    }
    unsigned h = 0, m = 0, s = 0;
    if (t.month == 0 || !isDigits(day) || !isDigits(year) || clock.size() != 8 ||
        std::sscanf(clock.c_str(), "%2u:%2u:%2u", &h, &m, &s) != 3) {
        return std::nullopt;
    }
    t.day = static_cast<std::uint16_t>(leadingDecimal(day));
    t.year = static_cast<std::uint16_t>(leadingDecimal(year));
    t.hour = static_cast<std::uint16_t>(h);
    t.minute = static_cast<std::uint16_t>(m);
    t.second = static_cast<std::uint16_t>(s);
    std::uint64_t ticks = 0;
    if (!systemTimeToFileTime(t, ticks)) return std::nullopt;
    return t;
}

}  // namespace

bool installed() {
    // Looked up as starting it would: PATH, or the C library's default when it is not set.
    const char* path = std::getenv("PATH");
    std::string_view dirs = path != nullptr ? path : "/bin:/usr/bin";
    while (true) {
        const auto colon = dirs.find(':');
        const std::string_view dir = dirs.substr(0, colon);
        if (isExecutableFile(std::filesystem::path(dir.empty() ? "." : std::string(dir)) / "atq"))
            return true;
        if (colon == std::string_view::npos) return false;
        dirs.remove_prefix(colon + 1);
    }
}

// A line of atq: "<id>\t<date> <queue> <user>". Queue "=" holds the jobs atd is running.
std::optional<std::vector<QueuedJob>> pendingJobs(std::string* error) {
    const auto run = runProgramAndWait("atq", {}, plainLocale());
    if (!run || run->exitCode != 0) {
        fail(error, "atq", run);
        return std::nullopt;
    }
    const std::string me = currentUser();
    std::vector<QueuedJob> jobs;
    std::istringstream lines(run->out);
    for (std::string line; std::getline(lines, line);) {
        const auto tab = line.find('\t');
        if (tab == std::string::npos) continue;
        QueuedJob job{line.substr(0, tab), {}};
        std::istringstream fields(line.substr(tab + 1));
        const auto time = parseQueueDate(fields);
        std::string queue, user;
        if (!isDigits(job.id) || !time || !(fields >> queue >> user) || queue == "=" ||
            (!me.empty() && user != me)) {
            continue;
        }
        job.time = *time;
        jobs.push_back(job);
    }
    return jobs;
}

std::optional<std::string> jobScript(const std::string& id) {
    const auto run = runProgramAndWait("at", {"-c", id}, plainLocale());
    if (!run || run->exitCode != 0) return std::nullopt;
    return run->out;
}

bool submit(const std::string& script, const platform::SystemTime& at, std::string* error) {
    char when[32];
    std::snprintf(when, sizeof when, "%04u%02u%02u%02u%02u", at.year, at.month, at.day, at.hour, at.minute);
    // The job takes this process's environment, as at always does; the locale is left as it is, so
    // that the programs it starts read texts as the user's own would.
    ProgramRunOptions options;
    options.input = script;
    const auto run = runProgramAndWait("at", {"-t", when}, options);
    return run && run->exitCode == 0 ? true : fail(error, "at", run);
}

bool remove(const std::vector<std::string>& ids, std::string* error) {
    if (ids.empty()) return true;
    const auto run = runProgramAndWait("atrm", ids, plainLocale());
    return run && run->exitCode == 0 ? true : fail(error, "atrm", run);
}

}  // namespace orvale::platform::atqueue

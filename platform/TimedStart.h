#pragma once
// Timed start of a program (the device's run-at-time service), on the host's `at` queue. The
// program is started with the single argument "AppRunAtTime" in the device root that armed it.
// Each device root and program path has at most one pending start: arming again replaces it, and
// nothing else in the queue is touched.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/SystemTime.h"

namespace orvale::platform {

inline constexpr std::string_view kTimedStartArgument = "AppRunAtTime";

// Arms `program` (a device path such as "\Application Data\Orvale\Launcher.exe", or an absolute
// host path) for the local date-time `at`, to the minute; a null `at` removes its arming, which
// succeeds at once when the at package is not installed. False, with the reason in `error`, when
// the queue refused.
bool runAppAtTime(std::u16string_view program, const SystemTime* at, std::string* error = nullptr);

struct TimedStart {
    std::string jobId;
    SystemTime at;  // local time, to the minute
    std::filesystem::path program;
};

// The pending starts armed from this device root, as the queue lists them.
std::vector<TimedStart> pendingTimedStarts();

// What the job of one start runs; exposed so that tests can check its quoting.
std::string timedStartScript(const std::filesystem::path& root, const std::filesystem::path& program);

}  // namespace orvale::platform

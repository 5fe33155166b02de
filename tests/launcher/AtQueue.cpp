#include "AtQueue.h"

#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "platform/AtQueue.h"
#include "platform/TimedStart.h"

namespace orvale::test {

std::string atQueueProblem() {
    std::string error;
    if (!platform::atqueue::pendingJobs(&error)) return "the at queue cannot be used here (" + error + ")";
    std::ifstream pidFile("/run/atd.pid");
    int pid = 0;
    if (!(pidFile >> pid) || pid <= 0 || ::kill(pid, 0) != 0)
        return "atd is not running (scripts/start-atd.sh starts it)";
    return {};
}

UsingRoot::UsingRoot(const std::filesystem::path& root) {
    if (const char* old = std::getenv("ORVALE_DEVICE_ROOT")) previous_ = old;
    setenv("ORVALE_DEVICE_ROOT", root.c_str(), 1);
}

UsingRoot::~UsingRoot() {
    setenv("ORVALE_DEVICE_ROOT", previous_.c_str(), 1);
}

void RootJobsGuard::removeAll() {
    UsingRoot using_(root_);
    std::vector<std::string> ids;
    for (const auto& start : platform::pendingTimedStarts()) ids.push_back(start.jobId);
    platform::atqueue::remove(ids, nullptr);
}

platform::SystemTime minuteAfter(const platform::SystemTime& from, std::int64_t seconds) {
    std::uint64_t ticks = 0;
    platform::systemTimeToFileTime(from, ticks);
    platform::SystemTime t;
    platform::fileTimeToSystemTime(ticks + static_cast<std::uint64_t>(seconds) * platform::kTicksPerSecond,
                                   t);
    t.second = 0;
    t.milliseconds = 0;
    t.dayOfWeek = 0;
    return t;
}

std::string minuteText(const platform::SystemTime& t) {
    char text[64];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u", t.year, t.month, t.day, t.hour, t.minute);
    return text;
}

}  // namespace orvale::test

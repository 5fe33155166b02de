#include "platform/TimedStart.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <sstream>

#include "platform/AtQueue.h"
#include "platform/DevicePaths.h"
#include "platform/PlatformState.h"
#include "platform/TextConversion.h"

namespace orvale::platform {

namespace {

// Our jobs carry this line, so they can be told from everything else in the user's queue, and
// from the jobs of other device roots.
constexpr std::string_view kMarker = "# orvale-timed-start ";

// Absolute and without "." and ".." or a trailing separator, so that the same file armed by the
// main program and by the Launcher itself is the same key.
std::filesystem::path normalPath(const std::filesystem::path& p) {
    std::error_code ec;
    std::filesystem::path n = std::filesystem::absolute(p, ec).lexically_normal();
    if (ec) n = p.lexically_normal();
    const std::string s = n.string();
    if (s.size() > 1 && s.back() == '/') n = s.substr(0, s.size() - 1);
    return n;
}

std::filesystem::path programPath(std::u16string_view program) {
    if (!program.empty() && program.front() == u'\\') return normalPath(hostPath(program));
    return normalPath(utf16ToUtf8(program));
}

// One word of the marker line: bytes outside printable ASCII, and '%', as %XX.
std::string encoded(const std::string& s) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c > 0x20 && c < 0x7F && c != '%') {
            out.push_back(ch);
        } else {
            out += {'%', kHex[c >> 4], kHex[c & 15]};
        }
    }
    return out;
}

std::optional<std::string> decoded(std::string_view s) {
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%') {
            out.push_back(s[i]);
            continue;
        }
        if (i + 2 >= s.size()) return std::nullopt;
        const int hi = hex(s[i + 1]), lo = hex(s[i + 2]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out.push_back(static_cast<char>(hi * 16 + lo));
        i += 2;
    }
    return out;
}

std::string markerLine(const std::filesystem::path& root, const std::filesystem::path& program) {
    return std::string(kMarker) + "root=" + encoded(root.string()) + " program=" + encoded(program.string());
}

struct Marked {
    std::filesystem::path root;
    std::filesystem::path program;
};

std::optional<Marked> markOf(const std::string& script) {
    std::istringstream lines(script);
    for (std::string line; std::getline(lines, line);) {
        if (line.compare(0, kMarker.size(), kMarker) != 0) continue;
        std::istringstream words(line.substr(kMarker.size()));
        std::string root, program;
        if (!(words >> root >> program) || root.compare(0, 5, "root=") != 0 ||
            program.compare(0, 8, "program=") != 0) {
            return std::nullopt;
        }
        const auto r = decoded(std::string_view(root).substr(5));
        const auto p = decoded(std::string_view(program).substr(8));
        if (!r || !p) return std::nullopt;
        return Marked{*r, *p};
    }
    return std::nullopt;
}

std::string shellQuoted(const std::string& s) {
    std::string q = "'";
    for (const char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Held while the queue is read and changed, so that two processes of one root (the Launcher
// re-arming while the settings are saved) cannot both leave a job behind.
class QueueLock {
  public:
    QueueLock() {
        const std::filesystem::path dir = platformStateDir("timed-start");
        if (dir.empty()) return;
        do {
            fd_ = ::open((dir / "queue.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        } while (fd_ < 0 && errno == EINTR);
        while (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~QueueLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    QueueLock(const QueueLock&) = delete;
    QueueLock& operator=(const QueueLock&) = delete;

  private:
    int fd_ = -1;
};

std::optional<std::vector<TimedStart>> startsOfRoot(const std::filesystem::path& root, std::string* error) {
    const auto jobs = atqueue::pendingJobs(error);
    if (!jobs) return std::nullopt;
    std::vector<TimedStart> starts;
    for (const auto& job : *jobs) {
        const auto script = atqueue::jobScript(job.id);
        const auto mark = script ? markOf(*script) : std::nullopt;
        if (mark && mark->root == root) starts.push_back({job.id, job.time, mark->program});
    }
    return starts;
}

}  // namespace

std::string timedStartScript(const std::filesystem::path& root, const std::filesystem::path& program) {
    return markerLine(root, program) + "\nORVALE_DEVICE_ROOT=" + shellQuoted(root.string()) +
           "; export ORVALE_DEVICE_ROOT\nexec " + shellQuoted(program.string()) + " " +
           std::string(kTimedStartArgument) + " </dev/null >/dev/null 2>&1\n";
}

// The new job is queued before the old ones go: a crash in between leaves one start too many for
// a while (the next arming removes it), never a chain without any start.
bool runAppAtTime(std::u16string_view program, const SystemTime* at, std::string* error) {
    const std::filesystem::path root = normalPath(deviceRoot());
    const std::filesystem::path path = programPath(program);
    // Without the at package there is no queue that could hold a start of ours, so there is
    // nothing to remove; arming still fails below and says why.
    if (at == nullptr && !atqueue::installed()) return true;
    QueueLock lock;
    const auto existing = startsOfRoot(root, error);
    if (!existing) return false;
    if (at != nullptr && !atqueue::submit(timedStartScript(root, path), *at, error)) return false;
    std::vector<std::string> old;
    for (const auto& start : *existing) {
        if (start.program == path) old.push_back(start.jobId);
    }
    return atqueue::remove(old, error);
}

std::vector<TimedStart> pendingTimedStarts() {
    auto starts = startsOfRoot(normalPath(deviceRoot()), nullptr);
    return starts ? std::move(*starts) : std::vector<TimedStart>{};
}

}  // namespace orvale::platform

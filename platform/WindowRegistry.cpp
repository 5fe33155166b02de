#include "platform/WindowRegistry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>

#include "platform/PlatformState.h"
#include "platform/TextConversion.h"

namespace orvale::platform {

namespace {

// Layout of the registry folder: "w-<pid>-<seq>" is a window (its content the caption in UTF-8;
// the owner holds an exclusive lock on it for the window's life), "r-<pid>-<seq>.<kind>.<tag>" a
// request for that window. Files appear by rename only, so a reader never sees one half-written.
constexpr std::size_t kMaxCaptionBytes = 4096;
constexpr auto kRequestTimeout = std::chrono::seconds(5);

std::atomic<unsigned long> nextSequence{0};

struct ProcessWindows {
    std::mutex lock;
    std::map<std::string, WindowHandler*> handlers;  // by window id
    int notifyFd = -1;
    std::string watchedDir;
};

ProcessWindows& processWindows() {
    static ProcessWindows state;
    return state;
}

std::filesystem::path registryDir() {
    return platformStateDir("windows");
}

bool writeFileByRename(const std::filesystem::path& dir, const std::string& name, const std::string& content,
                       int* keepLockedFd) {
    const std::filesystem::path tmp = dir / (".t-" + name);
    const std::filesystem::path final = dir / name;
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    bool ok = keepLockedFd == nullptr || ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    std::size_t done = 0;
    while (ok && done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<std::size_t>(n);
    }
    ok = ok && ::rename(tmp.c_str(), final.c_str()) == 0;
    if (!ok) {
        ::unlink(tmp.c_str());
        ::close(fd);
        return false;
    }
    if (keepLockedFd != nullptr) {
        *keepLockedFd = fd;
    } else {
        ::close(fd);
    }
    return true;
}

// "w-<pid>-<seq>" -> pid; 0 when the name is not a window entry.
int pidOfEntry(std::string_view name) {
    if (name.size() < 5 || name.substr(0, 2) != "w-") return 0;
    const std::size_t dash = name.find('-', 2);
    if (dash == std::string_view::npos) return 0;
    int pid = 0;
    const auto res = std::from_chars(name.data() + 2, name.data() + dash, pid);
    if (res.ec != std::errc() || res.ptr != name.data() + dash || pid <= 0) return 0;
    return pid;
}

unsigned long seqOfEntry(std::string_view name) {
    const std::size_t dash = name.find('-', 2);
    unsigned long seq = 0;
    std::from_chars(name.data() + dash + 1, name.data() + name.size(), seq);
    return seq;
}

// Reads a window entry; nullopt when its owner is gone (the entry is then removed) or it vanished.
std::optional<WindowEntry> readEntry(const std::filesystem::path& p, int pid) {
    const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    if (::flock(fd, LOCK_SH | LOCK_NB) == 0) {
        // Nobody holds the entry: its process died without unregistering.
        ::unlink(p.c_str());
        ::close(fd);
        return std::nullopt;
    }
    std::string caption(kMaxCaptionBytes, '\0');
    std::size_t got = 0;
    while (got < caption.size()) {
        const ssize_t n = ::read(fd, caption.data() + got, caption.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    caption.resize(got);
    return WindowEntry{p.filename().string(), pid, utf8ToUtf16(caption)};
}

bool entryIsLive(const std::filesystem::path& dir, const WindowEntry& w) {
    return readEntry(dir / w.id, w.pid).has_value();
}

void ensureNotifier(const std::filesystem::path& dir) {
    ProcessWindows& pw = processWindows();
    if (pw.notifyFd >= 0 && pw.watchedDir == dir.string()) return;
    if (pw.notifyFd < 0) pw.notifyFd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (pw.notifyFd < 0) return;
    if (::inotify_add_watch(pw.notifyFd, dir.c_str(), IN_MOVED_TO | IN_CREATE) >= 0)
        pw.watchedDir = dir.string();
}

WindowHandler* handlerFor(const std::string& id) {
    ProcessWindows& pw = processWindows();
    std::lock_guard<std::mutex> guard(pw.lock);
    auto it = pw.handlers.find(id);
    return it == pw.handlers.end() ? nullptr : it->second;
}

void deliver(WindowHandler& handler, std::string_view kind) {
    if (kind == "destroy") {
        handler.destroyRequested();
    } else if (kind == "close") {
        handler.closeRequested();
    }
}

bool postRequest(const WindowEntry& window, const char* kind) {
    if (window.pid == static_cast<int>(::getpid())) {
        WindowHandler* handler = handlerFor(window.id);
        if (handler == nullptr) return false;
        deliver(*handler, kind);
        return true;
    }
    const std::filesystem::path dir = registryDir();
    if (dir.empty() || pidOfEntry(window.id) == 0) return false;
    const std::string name = "r-" + window.id.substr(2) + "." + kind + "." + std::to_string(::getpid()) +
                             "-" + std::to_string(++nextSequence);
    if (!writeFileByRename(dir, name, {}, nullptr)) return false;
    const std::filesystem::path req = dir / name;
    const auto deadline = std::chrono::steady_clock::now() + kRequestTimeout;
    std::error_code ec;
    while (std::chrono::steady_clock::now() < deadline) {
        if (!std::filesystem::exists(req, ec)) return true;
        if (!entryIsLive(dir, window)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // Not taken: the owner is gone or hung. Withdraw, unless it was taken at the last moment.
    return ::unlink(req.c_str()) != 0;
}

}  // namespace

WindowRegistration::WindowRegistration(std::u16string_view caption, WindowHandler& handler) {
    const std::filesystem::path dir = registryDir();
    if (dir.empty()) return;
    id_ = "w-" + std::to_string(::getpid()) + "-" + std::to_string(++nextSequence);
    ProcessWindows& pw = processWindows();
    {
        std::lock_guard<std::mutex> guard(pw.lock);
        pw.handlers[id_] = &handler;
        ensureNotifier(dir);
    }
    if (!writeFileByRename(dir, id_, utf16ToUtf8(caption), &fd_)) {
        std::lock_guard<std::mutex> guard(pw.lock);
        pw.handlers.erase(id_);
        fd_ = -1;
        return;
    }
    entryPath_ = (dir / id_).string();
}

WindowRegistration::~WindowRegistration() {
    unregister();
}

void WindowRegistration::unregister() {
    if (fd_ < 0) return;
    ::unlink(entryPath_.c_str());
    ::close(fd_);
    fd_ = -1;
    ProcessWindows& pw = processWindows();
    std::lock_guard<std::mutex> guard(pw.lock);
    pw.handlers.erase(id_);
}

std::vector<WindowEntry> topLevelWindows() {
    std::vector<WindowEntry> out;
    const std::filesystem::path dir = registryDir();
    if (dir.empty()) return out;
    std::error_code ec;
    for (const auto& de : std::filesystem::directory_iterator(dir, ec)) {
        const std::string name = de.path().filename().string();
        const int pid = pidOfEntry(name);
        if (pid == 0) continue;
        if (auto entry = readEntry(de.path(), pid)) out.push_back(std::move(*entry));
    }
    std::sort(out.begin(), out.end(), [](const WindowEntry& a, const WindowEntry& b) {
        const unsigned long sa = seqOfEntry(a.id);
        const unsigned long sb = seqOfEntry(b.id);
        return a.pid != b.pid ? a.pid < b.pid : sa < sb;
    });
    return out;
}

std::optional<WindowEntry> findWindow(std::u16string_view caption) {
    for (auto& w : topLevelWindows()) {
        if (w.caption == caption) return std::move(w);
    }
    return std::nullopt;
}

bool destroyWindow(const WindowEntry& window) {
    return postRequest(window, "destroy");
}

bool sendCloseMessage(const WindowEntry& window) {
    return postRequest(window, "close");
}

int windowRequestFd() {
    ProcessWindows& pw = processWindows();
    std::lock_guard<std::mutex> guard(pw.lock);
    return pw.notifyFd;
}

void dispatchWindowRequests() {
    const int fd = windowRequestFd();
    if (fd >= 0) {
        char buf[4096];
        while (::read(fd, buf, sizeof buf) > 0) {
        }
    }
    const std::filesystem::path dir = registryDir();
    if (dir.empty()) return;
    const std::string prefix = "r-" + std::to_string(::getpid()) + "-";
    std::vector<std::string> requests;
    std::error_code ec;
    for (const auto& de : std::filesystem::directory_iterator(dir, ec)) {
        std::string name = de.path().filename().string();
        if (name.rfind(prefix, 0) == 0) requests.push_back(std::move(name));
    }
    std::sort(requests.begin(), requests.end());
    for (const std::string& name : requests) {
        // r-<pid>-<seq>.<kind>.<tag>
        const std::size_t dot = name.find('.');
        const std::size_t dot2 = dot == std::string::npos ? std::string::npos : name.find('.', dot + 1);
        if (dot2 == std::string::npos) continue;
        // Taking the request before acting keeps a nested event loop from acting on it twice.
        if (::unlink((dir / name).c_str()) != 0) continue;
        WindowHandler* handler = handlerFor("w-" + name.substr(2, dot - 2));
        if (handler != nullptr) deliver(*handler, std::string_view(name).substr(dot + 1, dot2 - dot - 1));
    }
}

}  // namespace orvale::platform

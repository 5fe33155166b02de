#include "platform/NamedMutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/PlatformState.h"

namespace orvale::platform {

namespace {

int openLockFile(const std::filesystem::path& p) {
    int fd = -1;
    do {
        fd = ::open(p.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

int lockRetrying(int fd, int op) {
    int rc = 0;
    do {
        rc = ::flock(fd, op);
    } while (rc != 0 && errno == EINTR);
    return rc;
}

}  // namespace

// Every holder keeps a shared lock on <name>.lock. Whether anybody else holds it is asked with an
// exclusive try-lock, under a short exclusive lock on <name>.guard so that two processes starting
// together cannot both see an empty mutex. The kernel drops the locks of a dead process, so a crash
// never leaves the mutex behind.
std::unique_ptr<NamedMutex> NamedMutex::create(std::string_view name, bool initialOwner, int& lastError) {
    lastError = 0;
    const std::filesystem::path dir = platformStateDir("mutex");
    if (dir.empty()) return nullptr;
    const std::string base = fileNameFor(name);
    const int guard = openLockFile(dir / (base + ".guard"));
    if (guard < 0) return nullptr;
    const int fd = openLockFile(dir / (base + ".lock"));
    if (fd < 0 || lockRetrying(guard, LOCK_EX) != 0) {
        if (fd >= 0) ::close(fd);
        ::close(guard);
        return nullptr;
    }
    bool existed = false;
    if (lockRetrying(fd, LOCK_EX | LOCK_NB) != 0) {
        existed = true;
    }
    // Converting to shared cannot block here: only guard holders ever take the lock exclusively.
    const bool held = lockRetrying(fd, LOCK_SH) == 0;
    lockRetrying(guard, LOCK_UN);
    ::close(guard);
    if (!held) {
        ::close(fd);
        return nullptr;
    }
    if (existed) lastError = kErrorAlreadyExists;
    return std::unique_ptr<NamedMutex>(new NamedMutex(fd, initialOwner && !existed));
}

NamedMutex::~NamedMutex() {
    ::close(fd_);
}

}  // namespace orvale::platform

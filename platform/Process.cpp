#include "platform/Process.h"

#include <fcntl.h>
#include <sys/auxv.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace orvale::platform {

std::filesystem::path modulePath() {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : p;
}

// The kernel keeps the file name given to exec; the folder it was relative to is still the current
// folder this early, as nothing in the program changes it.
std::filesystem::path startedPath() {
    const auto* name = reinterpret_cast<const char*>(::getauxval(AT_EXECFN));
    if (name == nullptr || *name == '\0') return modulePath();
    std::error_code ec;
    const std::filesystem::path p = std::filesystem::absolute(name, ec);
    return ec ? modulePath() : p.lexically_normal();
}

bool isExecutableFile(const std::filesystem::path& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec) && ::access(path.c_str(), X_OK) == 0;
}

// Double fork: the intermediate child starts a new session and exits at once, so the program is
// adopted by init and never becomes a zombie of ours. A close-on-exec pipe carries exec's errno
// back, so a program that cannot be started is reported as such.
bool startProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments) {
    std::string path = program.string();
    if (path.empty()) return false;
    std::vector<std::string> args;
    args.reserve(arguments.size() + 1);
    args.push_back(path);
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return false;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return false;
    }
    if (child == 0) {
        // Only async-signal-safe calls from here on.
        ::close(pipeFds[0]);
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild == 0) {
            const int devNull = ::open("/dev/null", O_RDONLY);
            if (devNull >= 0) {
                ::dup2(devNull, 0);
                ::close(devNull);
            }
            ::execv(path.c_str(), argv.data());
            const int err = errno;
            ssize_t ignored = ::write(pipeFds[1], &err, sizeof err);
            (void)ignored;
            ::_exit(127);
        }
        if (grandchild < 0) {
            const int err = errno;
            ssize_t ignored = ::write(pipeFds[1], &err, sizeof err);
            (void)ignored;
        }
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int err = 0;
    ssize_t n = 0;
    do {
        n = ::read(pipeFds[0], &err, sizeof err);
    } while (n < 0 && errno == EINTR);
    ::close(pipeFds[0]);
    return n == 0;
}

}  // namespace orvale::platform

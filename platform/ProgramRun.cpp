#include "platform/ProgramRun.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

extern char** environ;

namespace orvale::platform {

namespace {

struct Pipe {
    int fd[2] = {-1, -1};
    bool open() { return ::pipe2(fd, O_CLOEXEC) == 0; }
    void close() {
        for (int& f : fd) {
            if (f >= 0) ::close(f);
            f = -1;
        }
    }
};

std::vector<std::string> environmentWith(const std::vector<std::pair<std::string, std::string>>& overrides) {
    std::vector<std::string> env;
    for (char** e = environ; e != nullptr && *e != nullptr; ++e) {
        const std::string_view entry(*e);
        bool replaced = false;
        for (const auto& [name, value] : overrides) {
            replaced = replaced || (entry.size() > name.size() && entry.substr(0, name.size()) == name &&
                                    entry[name.size()] == '=');
        }
        if (!replaced) env.emplace_back(entry);
    }
    for (const auto& [name, value] : overrides) env.push_back(name + "=" + value);
    return env;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
    std::vector<char*> p;
    p.reserve(texts.size() + 1);
    for (auto& t : texts) p.push_back(t.data());
    p.push_back(nullptr);
    return p;
}

// Feeds the input and drains both outputs together, so that neither side can block the other.
// Closes the three descriptors. False when the time bound ran out first.
bool pump(int inFd, int outFd, int errFd, const ProgramRunOptions& options, ProgramOutput& result) {
    const auto deadline = std::chrono::steady_clock::now() + options.timeLimit;
    std::size_t written = 0;
    int fds[3] = {inFd, outFd, errFd};
    std::string* sinks[3] = {nullptr, &result.out, &result.err};
    auto closeSlot = [&fds](int i) {
        ::close(fds[i]);
        fds[i] = -1;
    };
    if (options.input.empty()) closeSlot(0);
    char buffer[4096];
    bool inTime = true;
    while (inTime && (fds[0] >= 0 || fds[1] >= 0 || fds[2] >= 0)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p[3];
        for (int i = 0; i < 3; ++i) p[i] = {fds[i], static_cast<short>(i == 0 ? POLLOUT : POLLIN), 0};
        const int n = left.count() > 0 ? ::poll(p, 3, static_cast<int>(left.count())) : 0;
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            inTime = false;
            break;
        }
        if (fds[0] >= 0 && p[0].revents != 0) {
            const ssize_t w = (p[0].revents & POLLOUT) != 0 ? ::write(fds[0], options.input.data() + written,
                                                                      options.input.size() - written)
                                                            : -1;
            if (w > 0) written += static_cast<std::size_t>(w);
            if ((w < 0 && errno != EINTR) || written == options.input.size()) closeSlot(0);
        }
        for (int i = 1; i < 3; ++i) {
            if (fds[i] < 0 || p[i].revents == 0) continue;
            const ssize_t r = ::read(fds[i], buffer, sizeof buffer);
            if (r < 0 && errno == EINTR) continue;
            if (r <= 0) {
                closeSlot(i);
                continue;
            }
            std::string& sink = *sinks[i];
            const std::size_t room = options.maxOutput > sink.size() ? options.maxOutput - sink.size() : 0;
            sink.append(buffer, std::min(room, static_cast<std::size_t>(r)));
        }
    }
    for (int i = 0; i < 3; ++i) {
        if (fds[i] >= 0) closeSlot(i);
    }
    return inTime;
}

// A helper that stops reading its input must not end this process: SIGPIPE is held back for this
// thread while the input is fed, and a pending one is taken before it is let through again.
class HeldPipeSignal {
  public:
    HeldPipeSignal() {
        sigemptyset(&pipeOnly_);
        sigaddset(&pipeOnly_, SIGPIPE);
        ::pthread_sigmask(SIG_BLOCK, &pipeOnly_, &previous_);
    }
    ~HeldPipeSignal() {
        const timespec none{0, 0};
        while (::sigtimedwait(&pipeOnly_, nullptr, &none) == SIGPIPE) {
        }
        ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
    HeldPipeSignal(const HeldPipeSignal&) = delete;
    HeldPipeSignal& operator=(const HeldPipeSignal&) = delete;

  private:
    sigset_t pipeOnly_{};
    sigset_t previous_{};
};

}  // namespace

std::optional<ProgramOutput> runProgramAndWait(const std::string& program,
                                               const std::vector<std::string>& arguments,
                                               const ProgramRunOptions& options) {
    std::vector<std::string> args;
    args.push_back(program);
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<std::string> env = environmentWith(options.environment);
    std::vector<char*> argv = pointersTo(args);
    std::vector<char*> envp = pointersTo(env);

    Pipe in, out, err;
    if (!in.open() || !out.open() || !err.open()) {
        in.close();
        out.close();
        err.close();
        return std::nullopt;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in.fd[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out.fd[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err.fd[1], 2);
    posix_spawn_file_actions_addchdir_np(&actions, "/");
    pid_t pid = -1;
    const int rc = ::posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(in.fd[0]);
    ::close(out.fd[1]);
    ::close(err.fd[1]);
    if (rc != 0) {
        ::close(in.fd[1]);
        ::close(out.fd[0]);
        ::close(err.fd[0]);
        return std::nullopt;
    }
    ProgramOutput result;
    bool finished = false;
    {
        HeldPipeSignal held;
        finished = pump(in.fd[1], out.fd[0], err.fd[0], options, result);
    }
    if (!finished) ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitCode = finished && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace orvale::platform

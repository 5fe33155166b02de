// Real `orvale` processes on one device root: what a second start does to the first.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

#include "app/ConfigRecord.h"
#include "platform/TextConversion.h"
#include "platform/WindowRegistry.h"
#include "support/StalledServer.h"
#include "support/TempDeviceRoot.h"

extern char** environ;

namespace orvale {
namespace {

constexpr auto kPatience = std::chrono::seconds(20);

bool waitFor(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return condition();
}

class Orvale {
  public:
    Orvale(const std::filesystem::path& stderrFile, std::vector<std::string> args) {
        std::string program = ORVALE_BINARY_DIR "/app/orvale";
        std::vector<char*> argv{program.data()};
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_addopen(&fa, 2, stderrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (posix_spawn(&pid_, program.c_str(), &fa, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&fa);
    }
    ~Orvale() {
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    pid_t pid() const { return pid_; }
    // The exit status, once the process has ended within the patience.
    std::optional<int> exitStatus() {
        if (exited_) return status_;
        int status = 0;
        if (!waitFor([&] { return waitpid(pid_, &status, WNOHANG) == pid_; })) return std::nullopt;
        exited_ = true;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return status_;
    }

  private:
    pid_t pid_ = -1;
    bool exited_ = false;
    std::optional<int> status_;
};

std::optional<platform::WindowEntry> windowOf(pid_t pid, std::u16string_view caption) {
    for (auto& w : platform::topLevelWindows()) {
        if (w.pid == pid && w.caption == caption) return w;
    }
    return std::nullopt;
}

class TwoProcesses : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    std::filesystem::path err(const char* name) { return root.path() / name; }
    test::TempDeviceRoot root;
};

TEST_F(TwoProcesses, SecondInteractiveStartReplacesTheFirstWindow) {
    Orvale first(err("a.err"), {});
    ASSERT_TRUE(waitFor([&] { return windowOf(first.pid(), u"Orvale").has_value(); }));
    Orvale second(err("b.err"), {});
    EXPECT_EQ(first.exitStatus(), 0);
    ASSERT_TRUE(waitFor([&] { return windowOf(second.pid(), u"Orvale").has_value(); }));
    ASSERT_TRUE(platform::sendCloseMessage(*windowOf(second.pid(), u"Orvale")));
    EXPECT_EQ(second.exitStatus(), 0);
    EXPECT_TRUE(platform::topLevelWindows().empty());
}

TEST_F(TwoProcesses, StartsDuringABackgroundRunAreRefused) {
    // A background run against a server that never answers lasts until the test ends it.
    test::StalledServer server;
    ASSERT_NE(server.port(), 0);
    ConfigRecord conf;
    conf.setText(ConfigText::ServerUrl, platform::utf8ToUtf16(server.url()));
    conf.setText(ConfigText::UserName, u"orvale");
    conf.setFlag(ConfigFlag::ContactsEnabled, true);
    conf.setText(ConfigText::ContactsUri, u"contacts");
    ASSERT_TRUE(conf.save());
    Orvale background(err("bg.err"), {"autosync"});
    // The background run takes the mutex before anything else: once it has reached the server, it
    // holds it.
    ASSERT_TRUE(waitFor([&] { return server.connections() > 0; }));
    // "Autosync" is no background start, and no screens either: a usage error, nothing shown.
    Orvale wrong(err("wrong.err"), {"Autosync"});
    EXPECT_EQ(wrong.exitStatus(), 2);
    EXPECT_NE(test::readFileBytes(err("wrong.err")).find("usage: orvale"), std::string::npos);
    Orvale user(err("user.err"), {});  // a user start gets the notice
    ASSERT_TRUE(waitFor([&] { return windowOf(user.pid(), u"Autosync").has_value(); }));
    EXPECT_NE(test::readFileBytes(err("user.err")).find("Orvale is syncing now in background"),
              std::string::npos);

    // A further user start replaces the earlier notice with its own.
    Orvale again(err("again.err"), {});
    EXPECT_EQ(user.exitStatus(), 0);
    ASSERT_TRUE(waitFor([&] { return windowOf(again.pid(), u"Autosync").has_value(); }));

    Orvale scheduled(err("sched.err"), {"autosync"});
    EXPECT_EQ(scheduled.exitStatus(), 0);
    EXPECT_EQ(test::readFileBytes(err("sched.err")).find("Autosync"), std::string::npos);
    EXPECT_FALSE(windowOf(scheduled.pid(), u"Autosync"));

    ASSERT_TRUE(platform::destroyWindow(*windowOf(again.pid(), u"Autosync")));
    EXPECT_EQ(again.exitStatus(), 0);
}

}  // namespace
}  // namespace orvale

// The Launcher's steps against a scripted device: what it arms, what it starts, and in which order.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "app/ConfigRecord.h"
#include "app/SettingsSave.h"
#include "launcher/LauncherRun.h"
#include "platform/DevicePaths.h"
#include "support/PinnedZone.h"
#include "support/RecordingScheduler.h"
#include "support/TempDeviceRoot.h"

namespace orvale::launcher {
namespace {

using platform::SystemTime;

std::string timeText(const SystemTime& at) {
    char when[64];
    std::snprintf(when, sizeof when, "%04u-%02u-%02u %02u:%02u:%02u", at.year, at.month, at.day, at.hour,
                  at.minute, at.second);
    return when;
}

class ScriptedDevice : public LauncherServices, public TimedStartScheduler {
  public:
    void powerOn() override { calls.push_back("power"); }
    SystemTime localNow() override { return now; }
    std::u16string ownPath() override { return u"/dev-root/Application Data/Orvale/Launcher.exe"; }
    std::string ownPathText() { return "/dev-root/Application Data/Orvale/Launcher.exe"; }
    TimedStartScheduler& scheduler() override { return *this; }
    bool windowExists(std::u16string_view title) override { return window && title == u"Orvale"; }
    void sleepMs(int ms) override { calls.push_back("sleep " + std::to_string(ms)); }
    void startProgram(std::u16string_view path, std::string_view argument) override {
        calls.push_back("start " + std::string(path.begin(), path.end()) + " " + std::string(argument));
    }
    void runAt(std::u16string_view program, const SystemTime& at) override {
        calls.push_back("arm " + std::string(program.begin(), program.end()) + " " + timeText(at));
    }
    void cancel(std::u16string_view) override { calls.push_back("cancel"); }

    SystemTime now{2026, 6, 0, 15, 10, 0, 30, 0};
    bool window = false;
    std::vector<std::string> calls;
};

struct Conf {
    bool autosync = true;
    std::int32_t interval = 2;
    std::int32_t unit = 1;
    enum Program { Executable, Empty, NotExecutable } program = Executable;
};

struct Case {
    const char* name;
    std::vector<std::string> args;
    std::optional<Conf> conf;  // none: no Conf.dat
    bool window;
    std::vector<std::string> calls;  // after "power"
};

TEST(LauncherRun, StepsForEachStartAndRecord) {
    test::PinnedZone zone("UTC");
    const std::string arm = "arm /dev-root/Application Data/Orvale/Launcher.exe ";
    const std::vector<Case> cases = {
        {"no argument", {}, Conf{}, false, {}},
        {"other case", {"appruntime"}, Conf{}, false, {}},
        {"help", {"--help"}, Conf{}, false, {}},
        {"no Conf.dat", {"AppRunAtTime"}, std::nullopt, false, {}},
        {"every 2 hours",
         {"AppRunAtTime"},
         Conf{},
         false,
         {arm + "2026-06-15 12:00:30", "sleep 3000", "start PROGRAM autosync"}},
        {"extra argument",
         {"AppRunAtTime", "x"},
         Conf{},
         false,
         {arm + "2026-06-15 12:00:30", "sleep 3000", "start PROGRAM autosync"}},
        {"window open", {"AppRunAtTime"}, Conf{}, true, {arm + "2026-06-15 12:00:30"}},
        {"switched off", {"AppRunAtTime"}, Conf{false}, false, {"sleep 3000", "start PROGRAM autosync"}},
        {"every 45 minutes", {"AppRunAtTime"}, Conf{true, 45, 2}, true, {arm + "2026-06-15 10:45:30"}},
        {"every 10000 days", {"AppRunAtTime"}, Conf{true, 10000, 0}, true, {arm + "2053-10-31 10:00:30"}},
        {"N = 0", {"AppRunAtTime"}, Conf{true, 0, 1}, false, {"sleep 3000", "start PROGRAM autosync"}},
        {"negative N", {"AppRunAtTime"}, Conf{true, -3, 1}, false, {"sleep 3000", "start PROGRAM autosync"}},
        {"N above 10000",
         {"AppRunAtTime"},
         Conf{true, 10001, 2},
         false,
         {"sleep 3000", "start PROGRAM autosync"}},
        {"unit 3", {"AppRunAtTime"}, Conf{true, 2, 3}, false, {"sleep 3000", "start PROGRAM autosync"}},
        {"empty program path", {"AppRunAtTime"}, Conf{true, 2, 1, Conf::Empty}, false, {}},
        {"program not executable", {"AppRunAtTime"}, Conf{true, 2, 1, Conf::NotExecutable}, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDeviceRoot root;
        const auto program = root.path() / "orvale";
        test::writeFileBytes(program, "#!/bin/sh\n");
        ::chmod(program.c_str(), 0755);
        test::writeFileBytes(root.path() / "plain", "");
        if (c.conf) {
            ConfigRecord r;
            r.setFlag(ConfigFlag::AutosyncEnabled, c.conf->autosync);
            r.setNumber(ConfigNumber::AutosyncInterval, c.conf->interval);
            r.setNumber(ConfigNumber::AutosyncUnit, c.conf->unit);
            const auto path = c.conf->program == Conf::Executable      ? program
                              : c.conf->program == Conf::NotExecutable ? root.path() / "plain"
                                                                       : std::filesystem::path();
            r.setText(ConfigText::ProgramPath, std::u16string(path.u16string()));
            ASSERT_TRUE(r.save());
        }
        ScriptedDevice device;
        device.window = c.window;
        EXPECT_EQ(runLauncher(c.args, device), 0);
        std::vector<std::string> expected = {"power"};
        for (std::string call : c.calls) {
            if (const auto at = call.find("PROGRAM"); at != std::string::npos)
                call.replace(at, 7, program.string());
            expected.push_back(call);
        }
        EXPECT_EQ(device.calls, expected);
    }
}

// The settings arm the first start and the Launcher each next one by the same rule: in real time,
// so that across a daylight-saving change a day later is an hour later or earlier on the clock.
TEST(LauncherRun, SettingsAndLauncherArmTheSameMinute) {
    test::PinnedZone zone("Europe/Berlin");
    const struct {
        const char* name;
        SystemTime now;
        const char* every;
        int unit;
        const char* at;
    } rows[] = {
        {"a day over the spring change", {2026, 3, 0, 28, 12, 0, 0, 0}, "1", 0, "2026-03-29 13:00:00"},
        {"a day over the autumn change", {2026, 10, 0, 24, 12, 0, 0, 0}, "1", 0, "2026-10-25 11:00:00"},
        {"an hour over the missing hour", {2026, 3, 0, 29, 1, 30, 0, 0}, "1", 1, "2026-03-29 03:30:00"},
        {"minutes on an ordinary day", {2026, 6, 0, 15, 10, 0, 30, 0}, "45", 2, "2026-06-15 10:45:30"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::TempDeviceRoot root;
        for (const char* name : {"orvale", "orvale-launcher"}) {
            test::writeFileBytes(root.path() / name, "#!/bin/sh\n");
            ::chmod((root.path() / name).c_str(), 0755);
        }
        test::RecordingScheduler settings;
        SettingsInput in;
        in.autosync = true;
        in.intervalText = std::u16string(row.every, row.every + std::strlen(row.every));
        in.unitIndex = row.unit;
        ConfigRecord record;
        ASSERT_TRUE(saveSettings(record, in, {row.now, (root.path() / "orvale").u16string(), &settings}));
        ASSERT_EQ(settings.arms, 1);
        EXPECT_EQ(timeText(settings.at_), row.at);

        ScriptedDevice device;
        device.now = row.now;
        device.window = true;
        runLauncher({"AppRunAtTime"}, device);
        EXPECT_EQ(device.calls,
                  (std::vector<std::string>{"power", "arm " + device.ownPathText() + " " + row.at}));
    }
}

}  // namespace
}  // namespace orvale::launcher

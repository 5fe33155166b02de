// Background sync on the real at queue: the settings' save and the Launcher's own runs.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "AtQueue.h"
#include "app/ConfigRecord.h"
#include "app/SettingsSave.h"
#include "platform/AtQueue.h"
#include "platform/Clock.h"
#include "platform/DevicePaths.h"
#include "platform/ProgramRun.h"
#include "platform/TimedStart.h"
#include "platform/WindowRegistry.h"
#include "support/PinnedZone.h"
#include "support/TempDeviceRoot.h"

namespace orvale {
namespace {

const std::filesystem::path kMainProgram = ORVALE_BINARY_DIR "/app/orvale";

std::vector<std::string> startTimes() {
    std::vector<std::string> out;
    for (const auto& s : platform::pendingTimedStarts()) {
        EXPECT_EQ(s.program, platform::hostPath(kLauncherDevicePath));
        out.push_back(test::minuteText(s.at));
    }
    return out;
}

bool saveWith(const char* interval, int unit, bool autosync = true) {
    ConfigRecord r;
    SettingsInput in;
    in.autosync = autosync;
    in.intervalText = std::u16string(interval, interval + std::strlen(interval));
    in.unitIndex = unit;
    SettingsEnvironment env = standardSettingsEnvironment(kMainProgram);
    env.localNow = platform::SystemTime{2026, 12, 0, 31, 23, 30, 15, 0};
    return saveSettings(r, in, env);
}

std::vector<std::string> queuedIds() {
    std::vector<std::string> ids;
    for (const auto& job :
         platform::atqueue::pendingJobs(nullptr).value_or(std::vector<platform::atqueue::QueuedJob>{}))
        ids.push_back(job.id);
    return ids;
}

TEST(TimedStartQueue, SavingArmsReplacesAndRemovesOnlyItsOwnJob) {
    ORVALE_REQUIRE_AT_QUEUE();
    test::PinnedZone zone("UTC");
    test::TempDeviceRoot base;
    // A root whose name needs quoting wherever it goes: the job script, the marker, the queue.
    const auto root = base.path() / "o'dd $(touch x) root";
    const auto other = base.path() / "other";
    test::RootJobsGuard guard(root), otherGuard(other);

    // Someone else's job, queued far ahead; told from the jobs of tests running alongside by its text.
    const std::string foreignScript = "# not ours: " + root.string() + "\ntrue\n";
    ASSERT_TRUE(platform::atqueue::submit(foreignScript, {2040, 1, 0, 1, 0, 0, 0, 0}, nullptr));
    std::string foreign;
    for (const auto& id : queuedIds()) {
        const auto script = platform::atqueue::jobScript(id);
        if (script && script->find(foreignScript) != std::string::npos) foreign = id;
    }
    ASSERT_FALSE(foreign.empty());
    struct Removed {
        std::string id;
        ~Removed() { platform::atqueue::remove({id}, nullptr); }
    } removeForeign{foreign};

    {
        test::UsingRoot in(other);
        ASSERT_TRUE(saveWith("1", 0));
    }
    test::UsingRoot in(root);
    ASSERT_TRUE(saveWith("3", 1));
    EXPECT_EQ(startTimes(), std::vector<std::string>{"2027-01-01 02:30"});
    EXPECT_EQ(std::filesystem::read_symlink(platform::hostPath(kLauncherDevicePath)),
              kMainProgram.parent_path() / "orvale-launcher");
    const std::string firstJob = platform::pendingTimedStarts().at(0).jobId;

    ASSERT_TRUE(saveWith("45", 2));
    EXPECT_EQ(startTimes(), std::vector<std::string>{"2027-01-01 00:15"});
    EXPECT_NE(platform::pendingTimedStarts().at(0).jobId, firstJob);

    ASSERT_TRUE(saveWith("0", 1));  // a zero interval arms nothing, and the earlier job goes
    EXPECT_TRUE(startTimes().empty());
    ASSERT_TRUE(saveWith("2", 1));
    ASSERT_TRUE(saveWith("2", 1, false));
    EXPECT_TRUE(startTimes().empty());

    const auto ids = queuedIds();
    EXPECT_NE(std::find(ids.begin(), ids.end(), foreign), ids.end());
    EXPECT_NE(platform::atqueue::jobScript(foreign).value_or("").find(foreignScript), std::string::npos);
    test::UsingRoot back(other);
    EXPECT_EQ(startTimes(), std::vector<std::string>{"2027-01-01 23:30"});
}

// The job's script run by hand: the program gets exactly its argument and its device root, however
// odd the names.
TEST(TimedStartQueue, JobScriptQuotesRootAndProgram) {
    test::TempDeviceRoot base;
    const auto root = base.path() / "it's \"$HOME\"\nroot";
    const auto program = base.path() / "a `b` 'c'" / "probe";
    test::writeFileBytes(program,
                         "#!/bin/sh\nprintf '%s|%s|%s' \"$#\" \"$1\" \"$ORVALE_DEVICE_ROOT\" > \"$0.out\"\n");
    ::chmod(program.c_str(), 0755);
    platform::ProgramRunOptions options;
    const std::string script = platform::timedStartScript(root, program);
    options.input = script;
    const auto run = platform::runProgramAndWait("/bin/sh", {}, options);
    ASSERT_TRUE(run);
    EXPECT_EQ(run->exitCode, 0);
    EXPECT_EQ(test::readFileBytes(program.string() + ".out"), "1|AppRunAtTime|" + root.string());
}

class NoHandling : public platform::WindowHandler {
    void destroyRequested() override {}
    void closeRequested() override {}
};

int runLauncher(const std::vector<std::string>& args) {
    const auto run = platform::runProgramAndWait(platform::hostPath(kLauncherDevicePath).string(), args, {});
    return run ? run->exitCode : -1;
}

TEST(LauncherProcess, MissingConfNoArgumentsAndOpenWindow) {
    ORVALE_REQUIRE_AT_QUEUE();
    test::PinnedZone zone("UTC");
    test::TempDeviceRoot root;
    test::RootJobsGuard guard(root.path());
    ASSERT_TRUE(keepLauncherLink(kMainProgram));
    const auto started = root.path() / "started";
    const auto probe = root.path() / "probe";
    test::writeFileBytes(probe, "#!/bin/sh\necho \"$@\" >> '" + started.string() + "'\n");
    ::chmod(probe.c_str(), 0755);

    EXPECT_EQ(runLauncher({"AppRunAtTime"}), 0);  // no Conf.dat
    EXPECT_TRUE(platform::pendingTimedStarts().empty());
    // A device folder others may write: nothing in it is started, with the code orvale gives.
    ::chmod(root.path().c_str(), 0777);
    EXPECT_EQ(runLauncher({"AppRunAtTime"}), 6);
    ::chmod(root.path().c_str(), 0700);
    EXPECT_TRUE(platform::pendingTimedStarts().empty());

    ConfigRecord r;
    r.setFlag(ConfigFlag::AutosyncEnabled, true);
    r.setNumber(ConfigNumber::AutosyncInterval, 2);
    r.setNumber(ConfigNumber::AutosyncUnit, 1);
    r.setText(ConfigText::ProgramPath, probe.u16string());
    ASSERT_TRUE(r.save());
    const std::string conf = test::readFileBytes(platform::hostPath(kConfigPath));
    EXPECT_EQ(runLauncher({}), 0);
    EXPECT_EQ(runLauncher({"--help"}), 0);
    EXPECT_TRUE(platform::pendingTimedStarts().empty());

    NoHandling handler;
    platform::WindowRegistration window(u"Orvale", handler);
    ASSERT_TRUE(window.registered());
    const auto from = platform::localTimeNow();
    EXPECT_EQ(runLauncher({"AppRunAtTime"}), 0);
    const auto to = platform::localTimeNow();
    const auto starts = platform::pendingTimedStarts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].program, platform::hostPath(kLauncherDevicePath));
    const std::string at = test::minuteText(starts[0].at);
    EXPECT_TRUE(at == test::minuteText(test::minuteAfter(from, 7200)) ||
                at == test::minuteText(test::minuteAfter(to, 7200)))
        << at;

    // No wait needed: runLauncher returns once every holder of the launcher's output has closed it,
    // and a program the launcher starts inherits that output, so a started probe has already run to
    // its end.
    EXPECT_FALSE(std::filesystem::exists(started));
    EXPECT_EQ(test::readFileBytes(platform::hostPath(kConfigPath)), conf);
}

}  // namespace
}  // namespace orvale

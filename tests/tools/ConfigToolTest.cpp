// orvale-config as a script runs it: every key, values it must refuse, the password from stdin.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "PimRun.h"
#include "app/ClientApp.h"
#include "app/ConfigRecord.h"
#include "platform/DevicePaths.h"
#include "platform/NamedMutex.h"
#include "platform/pim/StoreChoice.h"
#include "stores/AnchorFile.h"
#include "support/TempDeviceRoot.h"

namespace orvale::test {
namespace {

class ConfigToolTest : public ::testing::Test {
  protected:
    ConfigToolTest() : scratch(root.path() / "scratch") { std::filesystem::create_directories(scratch); }

    PimRun config(std::vector<std::string> args, const std::string& input = {}) {
        return runProgram(ORVALE_CONFIG, args, scratch, input);
    }
    std::string conf() const { return readFileBytes(platform::hostPath(kConfigPath)); }
    std::u16string storedPassword() const {
        ConfigRecord r;
        r.load();
        return r.text(ConfigText::Password);
    }

    TempDeviceRoot root;
    std::filesystem::path scratch;
};

TEST_F(ConfigToolTest, EveryKeyIsSetAndShown) {
    PimRun run = config({"set", "url=https://sync.example/rpc", "user=karin", "password=pw", "contacts=1",
                         "contacts-uri=card", "tasks=1", "tasks-uri=todo", "calendar=1", "calendar-uri=cal",
                         "range=1", "days-back=-30", "days-forward=90", "autosync=0", "interval=15",
                         "unit=minute", "logging=1", "setup=1", "log-runs=3", "log-names=off"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string all =
        "url=https://sync.example/rpc\nuser=karin\npassword=(set)\ncontacts=1\ncontacts-uri=card\n"
        "tasks=1\ntasks-uri=todo\ncalendar=1\ncalendar-uri=cal\nrange=1\ndays-back=-30\ndays-forward=90\n"
        "autosync=0\ninterval=15\nunit=minute\nlogging=1\nsetup=1\nlastsync=\nprogram=\n"
        "contacts-next-sync=slow\ntasks-next-sync=slow\ncalendar-next-sync=slow\nlog-runs=3\nlog-names=off\n"
        "store=own\ncontacts-eds-source=\ncalendar-eds-source=\ntasks-eds-source=\n";
    EXPECT_EQ(config({"show"}).out, all);
    EXPECT_EQ(storedPassword(), u"pw");
    struct stat st {};
    ASSERT_EQ(::stat(platform::hostPath(kConfigPath).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    // A set changes what it names and nothing else.
    run = config({"set", "contacts=0", "unit=1"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::string expected = all;
    expected.replace(expected.find("contacts=1"), 10, "contacts=0");
    expected.replace(expected.find("unit=minute"), 11, "unit=hour");
    EXPECT_EQ(config({"show"}).out, expected);

    // next-sync names the folders chosen with it; it goes beside Conf.dat, which it leaves alone.
    const std::string record = conf();
    run = config({"set", "next-sync=one-way-from-server"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(conf(), record);
    expected.replace(expected.find("tasks-next-sync=slow\ncalendar-next-sync=slow"), 44,
                     "tasks-next-sync=one-way-from-server\ncalendar-next-sync=one-way-from-server");
    EXPECT_EQ(config({"show"}).out, expected);
}

// Another store, or another EDS source of a folder, holds other items: the folders it moves are
// synced slowly next (after a backup), and the command says so; Conf.dat is not touched.
TEST_F(ConfigToolTest, ChangingTheStoreMakesTheMovedFoldersSyncSlowly) {
    ASSERT_EQ(config({"set", "user=karin", "contacts=1", "tasks=1", "calendar=1"}).exitCode, 0);
    const std::string record = conf();
    auto anchorAll = [] {
        for (const char* file : {"Anchor_Contacts", "Anchor_Tasks", "Anchor_Calendar"})
            writeAnchorFile(file, "20250101T000000Z", "server-1", 1735689600);
    };
    auto nextSyncs = [&] {
        const std::string out = config({"show"}).out;
        return out.substr(out.find("contacts-next-sync="), out.find("log-runs=") - out.find("contacts-next-sync="));
    };
    anchorAll();
    ASSERT_EQ(nextSyncs(), "contacts-next-sync=two-way\ntasks-next-sync=two-way\ncalendar-next-sync=two-way\n");

    PimRun run = config({"set", "store=eds", "tasks-eds-source=work-tasks"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("store: Evolution Data Server (was Orvale's own database; its data is kept as it is)"),
              std::string::npos) << run.out;
    EXPECT_NE(run.out.find("the next sync of contacts, calendar, tasks is a slow sync: each of these folders is "
                           "backed up first"),
              std::string::npos) << run.out;
    EXPECT_EQ(nextSyncs(), "contacts-next-sync=slow\ntasks-next-sync=slow\ncalendar-next-sync=slow\n");
    const std::string show = config({"show"}).out;
    EXPECT_NE(show.find("store=eds\ncontacts-eds-source=\ncalendar-eds-source=\ntasks-eds-source=work-tasks\n"),
              std::string::npos) << show;
    EXPECT_EQ(conf(), record);

    // Only the folder whose source changes; the same value again changes nothing.
    anchorAll();
    run = config({"set", "calendar-eds-source=team", "tasks-eds-source=work-tasks"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("the next sync of calendar is a slow sync"), std::string::npos) << run.out;
    EXPECT_EQ(nextSyncs(), "contacts-next-sync=two-way\ntasks-next-sync=two-way\ncalendar-next-sync=slow\n");
    anchorAll();
    run = config({"set", "store=eds"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(nextSyncs(), "contacts-next-sync=two-way\ntasks-next-sync=two-way\ncalendar-next-sync=two-way\n");

    // A store choice nobody can read is shown as such and replaced only by a store= given.
    writeFileBytes(platform::hostPath(platform::pim::kStoreChoicePath), "store tape\n");
    run = config({"show"});
    EXPECT_EQ(run.exitCode, 5);
    EXPECT_NE(run.err.find("unknown store"), std::string::npos) << run.err;
    EXPECT_EQ(config({"set", "contacts-eds-source=x"}).exitCode, 5);
    EXPECT_EQ(config({"set", "store=own"}).exitCode, 0);
}

TEST_F(ConfigToolTest, RefusedArgumentsChangeNothing) {
    ASSERT_EQ(config({"set", "user=karin", "password=pw"}).exitCode, 0);
    const std::string before = conf();
    const std::string secret(41, 's');
    const struct {
        std::vector<std::string> args;
        int exitCode;
        const char* says;
    } cases[] = {
        {{}, 2, "no command"},
        {{"frobnicate"}, 2, "unknown command"},
        {{"set"}, 2, "at least one"},
        {{"set", "user"}, 2, "KEY=VALUE"},
        {{"set", "colour=red"}, 2, "unknown key \"colour\""},
        {{"set", "user=x", "contacts=yes"}, 2, "contacts: \"yes\" (0 or 1)"},
        {{"set", "days-back=12x"}, 2, "a whole number"},
        {{"set", "interval=99999999999"}, 2, "a whole number"},
        {{"set", "unit=week"}, 2, "day, hour or minute"},
        {{"set", "store=sqlite"}, 2, "own (Orvale's own database) or eds"},
        {{"set", "store=eds", "tasks-eds-source=a b"}, 2, "the UID of an EDS source"},
        {{"set", "user=" + std::string(41, 'u')}, 2, "longer than 40"},
        {{"set", "url=" + std::string(181, 'h')}, 2, "longer than 180"},
        {{"set", "url=caf\xe9"}, 2, "not UTF-8"},
        {{"set", "lastsync=today"}, 2, "cannot be set"},
        {{"set", "password=" + secret}, 2, "password (longer than 40"},
        {{"set", "password=x", "--password-stdin"}, 2, "given twice"},
        {{"set", "url=http://bob:" + secret + "@host/"}, 2, "user name or password"},
        // What the screens refuse too (an out-of-range interval was once stored as 0).
        {{"set", "url=ftp://x/"}, 2, "must begin with http:// or https://"},
        {{"set", "url=sync.example.com"}, 2, "must begin with http:// or https://"},
        {{"set", "url="}, 2, "enter the server URL"},
        {{"set", "user="}, 2, "enter the user name"},
        {{"set", "interval=20000"}, 2, "from 0 to 10000"},
        {{"set", "interval=-1"}, 2, "from 0 to 10000"},
        {{"set", "contacts-next-sync=sideways"}, 2, "two-way, slow, refresh-from-server"},
        {{"set", "next-sync=two-way"}, 2, "no folder is chosen"},
        // The device's tasks are empty: the server's would be emptied.
        {{"set", "user=x", "tasks-next-sync=refresh-from-device"}, 2, "add --force"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        const PimRun run = config(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find(secret), std::string::npos);
        EXPECT_EQ(conf(), before);
    }

    // While Orvale runs on the root, its own save at the end would undo a change.
    int lastError = 0;
    const auto running = platform::NamedMutex::create(kInstanceMutexName, true, lastError);
    ASSERT_TRUE(running);
    const PimRun run = config({"set", "user=other"});
    EXPECT_EQ(run.exitCode, 4);
    EXPECT_EQ(conf(), before);
}

TEST_F(ConfigToolTest, DamagedSettingsAreNeitherShownNorOverwrittenUnlessTold) {
    ASSERT_EQ(config({"set", "user=karin", "password=pw"}).exitCode, 0);
    const std::string cut = conf().substr(0, 500);
    writeFileBytes(platform::hostPath(kConfigPath), cut);
    for (const std::vector<std::string>& args : {std::vector<std::string>{"show"}, {"set", "user=other"}}) {
        const PimRun run = config(args);
        EXPECT_EQ(run.exitCode, 5);
        EXPECT_NE(run.err.find("the settings file is damaged; run setup again"), std::string::npos) << run.err;
        EXPECT_EQ(conf(), cut);
    }
    EXPECT_EQ(config({"set", "--replace-damaged", "user=other"}).exitCode, 0);
    EXPECT_NE(config({"show"}).out.find("user=other\npassword=(empty)\n"), std::string::npos);

    // A device folder others may write is refused before anything in it is read.
    ::chmod(root.path().c_str(), 0777);
    const PimRun run = config({"show"});
    ::chmod(root.path().c_str(), 0700);
    EXPECT_EQ(run.exitCode, 6);
    EXPECT_NE(run.err.find("chmod go-w"), std::string::npos) << run.err;
}

// An installation that lacks a part of background sync: the at package (a PATH without it) or the
// orvale-launcher beside orvale. Switching it off has nothing to remove and succeeds; switching it
// on is saved but ends with 3 and the cause.
TEST_F(ConfigToolTest, BackgroundSyncWithoutAtOrLauncher) {
    const auto install = root.path() / "install";
    std::filesystem::create_directories(install);
    std::filesystem::copy_file(ORVALE_CONFIG, install / "orvale-config");
    auto program = [&install](const char* name) {
        writeFileBytes(install / name, "#!/bin/sh\n");
        ::chmod((install / name).c_str(), 0755);
    };
    program("orvale");
    const std::string path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "/usr/bin:/bin";
    const struct {
        const char* name;
        bool launcher, at;
        const char* autosync;
        int exitCode;
        const char* says;
    } cases[] = {
        {"no orvale-launcher", false, true, "1", 3, "no orvale-launcher beside the main program"},
        {"no at, switched off", true, false, "0", 0, ""},
        {"no at, switched on", true, false, "1", 3, "is the at package installed?"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.launcher) program("orvale-launcher");
        ::setenv("PATH", c.at ? path.c_str() : scratch.c_str(), 1);
        const PimRun run =
            runProgram((install / "orvale-config").string(),
                       {"set", "interval=2", "unit=hour", std::string("autosync=") + c.autosync}, scratch);
        ::setenv("PATH", path.c_str(), 1);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        ConfigRecord saved;
        ASSERT_TRUE(saved.load());
        EXPECT_EQ(saved.flag(ConfigFlag::AutosyncEnabled), c.autosync[0] == '1');
    }
}

TEST_F(ConfigToolTest, PasswordFromStandardInput) {
    PimRun run = config({"set", "--password-stdin", "user=karin"}, "pa ss w\xc3\xb6rd\r\nsecond line\n");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(storedPassword(), u"pa ss w\u00f6rd");
    run = config({"show"});
    EXPECT_NE(run.out.find("password=(set)\n"), std::string::npos);
    EXPECT_EQ(run.out.find("pa ss"), std::string::npos);

    const std::string tooLong(41, 'p');
    run = config({"set", "--password-stdin"}, tooLong + "\n");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err.find(tooLong), std::string::npos);
    EXPECT_EQ(storedPassword(), u"pa ss w\u00f6rd");

    ASSERT_EQ(config({"set", "--password-stdin"}, "").exitCode, 0);  // an empty input is an empty password
    EXPECT_EQ(storedPassword(), u"");
    EXPECT_NE(config({"show"}).out.find("password=(empty)\n"), std::string::npos);
}

}  // namespace
}  // namespace orvale::test

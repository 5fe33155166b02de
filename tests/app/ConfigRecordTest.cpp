#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/ConfigRecord.h"
#include "app/DerivedSettings.h"
#include "app/RunLog.h"
#include "app/SettingsSave.h"
#include "platform/DevicePaths.h"
#include "support/RecordingScheduler.h"
#include "support/TempDeviceRoot.h"

namespace orvale {
namespace {

ConfigRecord fullRecord() {
    ConfigRecord r;
    r.setText(ConfigText::ServerUrl, u"https://sync.example.org/sync");
    r.setText(ConfigText::UserName, u"alice");
    r.setText(ConfigText::Password, u"s3cr\u00e9t");
    r.setText(ConfigText::ContactsUri, u"card");
    r.setText(ConfigText::TasksUri, u"task");
    r.setText(ConfigText::CalendarUri, u"cal");
    r.setText(ConfigText::LastSyncText, u"08/12/26 07:15 PM");
    r.setText(ConfigText::ProgramPath, u"/opt/orvale/bin/orvale");
    for (ConfigFlag f : {ConfigFlag::ContactsEnabled, ConfigFlag::CalendarEnabled, ConfigFlag::TasksEnabled,
                         ConfigFlag::CalendarRangeEnabled, ConfigFlag::AutosyncEnabled, ConfigFlag::SetupDone,
                         ConfigFlag::LoggingEnabled}) {
        r.setFlag(f, true);
    }
    r.setNumber(ConfigNumber::DaysBack, 30);
    r.setNumber(ConfigNumber::DaysForward, 90);
    r.setNumber(ConfigNumber::AutosyncInterval, 10000);
    r.setNumber(ConfigNumber::AutosyncUnit, 2);
    for (std::size_t i = 0; i < ConfigRecord::kReservedSize; ++i) {
        r.bytes()[ConfigRecord::kReservedOffset + i] = static_cast<std::uint8_t>(0xA0 + i % 16);
    }
    return r;
}

TEST(ConfigRecord, SavesTheGoldenImageAndLoadsItBack) {
    test::TempDeviceRoot root;
    const ConfigRecord r = fullRecord();
    ASSERT_TRUE(r.save());
    const auto file = platform::hostPath(kConfigPath);
    const std::string saved = test::readFileBytes(file);
    EXPECT_EQ(saved, test::readFileBytes(ORVALE_TEST_DATA "/app/Conf-all-fields.dat"));
    ASSERT_EQ(saved.size(), 1528u);
    struct stat st {};
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    // Spot checks against the table, independent of the golden file.
    EXPECT_EQ(saved.substr(362, 4), std::string("a\0l\0", 4));
    EXPECT_EQ(saved[526], 1);
    EXPECT_EQ(saved[529], 0);
    EXPECT_EQ(saved.substr(780, 4), std::string("\x1e\0\0\0", 4));
    EXPECT_EQ(saved.substr(792, 4), std::string("\x10\x27\0\0", 4));
    EXPECT_EQ(saved[801], 1);
    EXPECT_EQ(saved.substr(1008, 2), std::string("/\0", 2));

    ConfigRecord loaded;
    ASSERT_TRUE(loaded.load());
    EXPECT_EQ(loaded.bytes(), r.bytes());
    EXPECT_EQ(loaded.text(ConfigText::Password), u"s3cr\u00e9t");
}

TEST(ConfigRecord, ShortOrMissingFileAndOverlongText) {
    test::TempDeviceRoot root;
    ConfigRecord missing;
    EXPECT_FALSE(missing.load());
    EXPECT_EQ(missing.bytes(), ConfigRecord().bytes());

    // Anything but one whole record is damaged and nothing of it is taken.
    ConfigRecord whole;
    whole.setText(ConfigText::UserName, u"karin");
    const std::string image(reinterpret_cast<const char*>(whole.bytes().data()), ConfigRecord::kSize);
    std::string random(ConfigRecord::kSize, '\0');
    for (std::size_t i = 0; i < random.size(); ++i) random[i] = static_cast<char>((i * 131 + 7) % 251);
    std::string textRunsOn = image;
    textRunsOn[362 + 80] = 'x';  // the user name's terminator
    std::string flagTwo = image;
    flagTwo[526] = 2;
    for (const auto& [bytes, state] : {std::pair{std::string("h\0t\0", 4), ConfigLoad::Damaged},
                                       {image.substr(0, ConfigRecord::kSize - 1), ConfigLoad::Damaged},
                                       {image + '\0', ConfigLoad::Damaged},
                                       {random, ConfigLoad::Damaged},
                                       {textRunsOn, ConfigLoad::Damaged},
                                       {flagTwo, ConfigLoad::Damaged},
                                       {image, ConfigLoad::Loaded}}) {
        test::writeFileBytes(platform::hostPath(kConfigPath), bytes);
        ConfigRecord r;
        r.setText(ConfigText::Password, u"kept?");
        EXPECT_EQ(r.read(), state) << bytes.size();
        EXPECT_EQ(r.text(ConfigText::UserName), state == ConfigLoad::Loaded ? u"karin" : u"");
        EXPECT_EQ(r.text(ConfigText::Password), u"");
    }

    // Cut to the 40 units the field keeps, never between the halves of a pair.
    const std::u16string x39(39, u'x'), pair = u"\U0001F600";
    for (const auto& [given, kept] : {std::pair{std::u16string(100, u'x'), std::u16string(40, u'x')},
                                      {x39 + pair, x39},
                                      {x39.substr(1) + pair + u"y", x39.substr(1) + pair}}) {
        ConfigRecord r;
        r.setText(ConfigText::UserName, given);
        EXPECT_EQ(r.text(ConfigText::UserName), kept);
        EXPECT_EQ(r.bytes()[444], 0);  // the password field after it is untouched
    }
}

TEST(DerivedSettings, CalendarUriCarriesTheRangeOnlyWhenEnabled) {
    ConfigRecord r;
    r.setText(ConfigText::CalendarUri, u"cal");
    r.setNumber(ConfigNumber::DaysBack, 30);
    r.setNumber(ConfigNumber::DaysForward, 90);
    EXPECT_EQ(calendarUriForServer(r), u"cal");
    r.setFlag(ConfigFlag::CalendarRangeEnabled, true);
    EXPECT_EQ(calendarUriForServer(r), u"cal?/dr(-30,90)");
    EXPECT_EQ(narrowField(r, ConfigText::CalendarUri), "cal");
}

using test::RecordingScheduler;

TEST(SettingsSave, IntervalRangeNextStartAndArming) {
    test::TempDeviceRoot root;
    for (const auto& [text, stored] :
         {std::pair{u"10001", 0}, {u"-1", 0}, {u"10000", 10000}, {u"15 min", 15}}) {
        EXPECT_EQ(storedInterval(text), stored);
    }
    // A main program without its Launcher beside it arms nothing (the start could never run) and
    // says why; the record is saved all the same.
    const auto install = root.path() / "install";
    test::writeFileBytes(install / "orvale", "");
    ::chmod((install / "orvale").c_str(), 0755);
    RecordingScheduler scheduler;
    SettingsEnvironment env{{2026, 12, 0, 31, 23, 30, 0, 0}, (install / "orvale").u16string(), &scheduler};
    SettingsInput in;
    in.autosync = true;
    in.intervalText = u"45";
    in.unitIndex = 2;
    in.daysBackText = u"7";
    ConfigRecord r;
    std::string problem;
    ASSERT_TRUE(saveSettings(r, in, env, &problem));
    EXPECT_EQ(scheduler.arms, 0);
    EXPECT_NE(problem.find("no orvale-launcher beside the main program"), std::string::npos) << problem;
    EXPECT_TRUE(std::filesystem::exists(platform::hostPath(kConfigPath)));

    test::writeFileBytes(install / "orvale-launcher", "");
    ::chmod((install / "orvale-launcher").c_str(), 0755);
    ASSERT_TRUE(saveSettings(r, in, env, &problem));
    EXPECT_EQ(problem, "");
    EXPECT_EQ(scheduler.arms, 1);
    EXPECT_EQ(scheduler.program_, kLauncherDevicePath);
    EXPECT_EQ(scheduler.at_.year, 2027);
    EXPECT_EQ(scheduler.at_.day, 1);
    EXPECT_EQ(scheduler.at_.hour, 0);
    EXPECT_EQ(scheduler.at_.minute, 15);
    EXPECT_EQ(r.text(ConfigText::ProgramPath), (install / "orvale").u16string());
    EXPECT_EQ(r.number(ConfigNumber::DaysBack), 7);

    in.autosync = false;
    in.intervalText = u"10001";
    in.unitIndex = -1;
    ASSERT_TRUE(saveSettings(r, in, env));
    EXPECT_EQ(scheduler.cancels, 1);
    ConfigRecord loaded;
    ASSERT_TRUE(loaded.load());
    EXPECT_EQ(loaded.number(ConfigNumber::AutosyncInterval), 0);
    EXPECT_EQ(loaded.number(ConfigNumber::AutosyncUnit), 0);
    EXPECT_FALSE(nextStartTime(env.localNow, 1, 3));
    EXPECT_EQ(nextStartTime(env.localNow, 1, 0)->month, 1);
}

TEST(RunLog, ExactBytes) {
    test::TempDeviceRoot root;
    RunLogSummary s;
    s.lastSyncText = u"08/12/26 07:15 PM";
    s.tasks = RunLogFolder{u"Tasks", 0, 2};
    s.contacts = RunLogFolder{u"Contacts", 3, 1};
    ASSERT_TRUE(writeRunLog(s));
    EXPECT_EQ(test::readFileBytes(platform::hostPath("Logs.dat")),
              test::readFileBytes(ORVALE_TEST_DATA "/app/Logs-contacts-tasks.dat"));
    EXPECT_EQ(formatRunLog(RunLogSummary{u"x", {}, {}, {}, {}}), u"Starting sync\r\nx\r\n");
    // What the run could not do follows the sections, a line each.
    EXPECT_EQ(formatRunLog(RunLogSummary{u"x", {}, {}, {}, {"Cant set content. CmdId: 5", "caf\xc3\xa9"}}),
              u"Starting sync\r\nx\r\nCant set content. CmdId: 5\r\ncaf??\r\n");
}

}  // namespace
}  // namespace orvale

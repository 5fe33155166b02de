// The settings page: what Done stores and arms, what Back leaves, the actions, focus scrolling;
// and the log viewer's bound.
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <cstdlib>
#include <map>

#include "ScreenFixture.h"
#include "app/RunLog.h"
#include "platform/DevicePaths.h"
#include "stores/NextSync.h"
#include "ui/LogViewer.h"
#include "ui/MainScreen.h"
#include "ui/SettingsScreen.h"
#include "ui/SoftKeyBar.h"
#include "ui/controls/CComboList.h"
#include "ui/controls/CStaticEx.h"
#include "ui/controls/FocusButton.h"
#include "ui/controls/UnitPicker.h"

namespace orvale {
namespace {

using namespace test;

class SettingsScreenTest : public ScreenFixture {};

TEST_F(SettingsScreenTest, DoneStoresEveryFieldAndArmsOrCancels) {
    ConfigRecord record;
    const struct {
        const char* name;
        bool contacts, tasks, calendar, range, autosync, logging;
        const char *daysBack, *daysForward, *every;
        int unit;
        QString text;  // typed into every text field; none: they are left as they open
        int storedEvery;
    } cases[] = {
        {"all on", true, true, true, true, true, true, "7", "30", "9999", 1, "http://sync.example/x", 9999},
        {"background sync only, longest N, overlong texts", false, false, false, false, true, false, "0", "0",
         "10000", 2, "https://h/" + QString(200, 'x'), 10000},
        {"background sync off, nothing to schedule, texts as they open", false, true, false, true, false, false,
         "365", "1", "0", 0, {}, 0},
    };
    const std::pair<const char*, ConfigText> texts[] = {
        {"url", ConfigText::ServerUrl},      {"username", ConfigText::UserName},
        {"password", ConfigText::Password},  {"uri.contacts", ConfigText::ContactsUri},
        {"uri.tasks", ConfigText::TasksUri}, {"uri.calendar", ConfigText::CalendarUri},
    };
    int arms = 0, cancels = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ui::SettingsScreen settings(record, context);
        settings.show();
        for (const auto& [name, want] : {std::pair{"contacts", c.contacts}, {"tasks", c.tasks},
                                         {"calendar", c.calendar}, {"range", c.range},
                                         {"autosync", c.autosync}, {"logging", c.logging}}) {
            auto* box = settings.findChild<QCheckBox*>(name);
            if (box->isChecked() != want) click(box);
        }
        for (const auto& [name, field] : texts) {
            if (!c.text.isEmpty()) typeInto(&settings, name, c.text);
        }
        typeInto(&settings, "daysBack", c.daysBack);
        typeInto(&settings, "daysForward", c.daysForward);
        typeInto(&settings, "every", c.every);
        settings.unit()->setCurrentRow(c.unit);
        // What a field shows is what gets stored: it takes no more than its place in the record.
        std::map<ConfigText, QString> shown;
        for (const auto& [name, field] : texts) shown[field] = textOf(&settings, name);
        click(settings.softKeys()->right());
        EXPECT_EQ(settings.result(), QDialog::Accepted);

        ConfigRecord saved;
        ASSERT_TRUE(saved.load());
        EXPECT_EQ(saved.bytes(), record.bytes());
        for (const auto& [name, field] : texts) {
            if (!c.text.isEmpty()) {
                EXPECT_EQ(shown[field], c.text.left(int(ConfigRecord::maxTextLength(field)))) << name;
            }
            EXPECT_EQ(QString::fromStdU16String(saved.text(field)), shown[field]) << name;
        }
        EXPECT_EQ(saved.flag(ConfigFlag::ContactsEnabled), c.contacts);
        EXPECT_EQ(saved.flag(ConfigFlag::TasksEnabled), c.tasks);
        EXPECT_EQ(saved.flag(ConfigFlag::CalendarEnabled), c.calendar);
        EXPECT_EQ(saved.flag(ConfigFlag::CalendarRangeEnabled), c.range);
        EXPECT_EQ(saved.flag(ConfigFlag::AutosyncEnabled), c.autosync);
        EXPECT_EQ(saved.flag(ConfigFlag::LoggingEnabled), c.logging);
        EXPECT_EQ(saved.number(ConfigNumber::DaysBack), std::atoi(c.daysBack));
        EXPECT_EQ(saved.number(ConfigNumber::DaysForward), std::atoi(c.daysForward));
        EXPECT_EQ(saved.number(ConfigNumber::AutosyncInterval), c.storedEvery);
        EXPECT_EQ(saved.number(ConfigNumber::AutosyncUnit), c.unit);
        // With nothing to schedule (N stored as 0) background sync is not armed either.
        (c.autosync && c.storedEvery > 0 ? arms : cancels)++;
        EXPECT_EQ(scheduler.arms, arms);
        EXPECT_EQ(scheduler.cancels, cancels);
    }

    // The back key leaves the record as it was.
    const auto before = record.bytes();
    ui::SettingsScreen settings(record, context);
    settings.show();
    typeInto(&settings, "url", "http://elsewhere");
    click(settings.softKeys()->left());
    EXPECT_EQ(settings.result(), QDialog::Rejected);
    EXPECT_EQ(record.bytes(), before);
}

// What no server could use, and what used to be stored as something else (an interval past 10000
// as 0), is refused with a word: the screen stays open and the record as it was.
TEST_F(SettingsScreenTest, DoneRefusesWhatCannotBeStored) {
    ConfigRecord empty;
    ui::SettingsScreen fresh(empty, context);
    EXPECT_EQ(textOf(&fresh, "url"), "http://");  // an empty URL opens as the field's stand-in
    ConfigRecord record = readyRecord();
    const auto before = record.bytes();
    const struct {
        const char* field;
        const char* typed;
        const char* says;
    } cases[] = {
        {"url", "http://", "Please enter the server URL"},
        {"url", "", "Please enter the server URL"},
        {"url", "sync.example.com/sync", "The URL must begin with http:// or https:// and name the server"},
        {"url", "ftp://sync.example.com/", "The URL must begin with http:// or https:// and name the server"},
        {"url", "http://bob:pw@sync.example.com/", "The URL must not hold a user name or password: enter them in their own fields"},
        {"username", "", "Please enter the user name"},
        {"every", "20000", "The interval must be a number from 0 to 10000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        ui::SettingsScreen settings(record, context);
        settings.show();
        typeInto(&settings, c.field, c.typed);
        ModalScript told;
        told.thenMessage().start();
        click(settings.softKeys()->right());
        EXPECT_TRUE(told.done());
        EXPECT_EQ(told.messages(), QStringList{c.says});
        EXPECT_TRUE(settings.isVisible());
        EXPECT_EQ(record.bytes(), before);
        EXPECT_FALSE(std::filesystem::exists(platform::hostPath(kConfigPath)));
    }
}

// Steps for the choice screen: `mode` picked, then each confirmation answered ("yes" or "no"); a
// refused confirmation leaves the choice screen open, and Back closes it.
void chooseNextSync(ModalScript& script, const QString& mode, const QStringList& answers) {
    script.then("nextSync", [mode](QWidget* screen) {
        click(child(screen, mode));
        click(static_cast<ui::ScreenDialog*>(screen)->softKeys()->right());
    });
    for (const QString& answer : answers) script.then("confirm", [answer](QWidget* box) { clickChild(box, answer); });
    if (answers.contains("no")) {
        script.then("nextSync", [](QWidget* screen) { click(static_cast<ui::ScreenDialog*>(screen)->softKeys()->left()); });
    }
}

TEST_F(SettingsScreenTest, NextSyncIsAskedAndTakesEffectAtDoneOnly) {
    const char* anchors[] = {"Anchor_Contacts", "Anchor_Calendar", "Anchor_Tasks"};
    const struct {
        const char* mode;
        QStringList answers;
        bool done;             // Done, else Back
        bool anchorsForgotten;
        const char* stored;    // the choice file afterwards ("" none)
    } cases[] = {
        {"mode.slow", {"yes"}, true, true, ""},
        {"mode.slow", {"yes"}, false, false, ""},
        {"mode.refresh-from-server", {"yes"}, true, false, "Contacts refresh-from-server\n"},
        {"mode.refresh-from-server", {"no"}, true, false, ""},
        // The device's contacts are empty: asked twice.
        {"mode.refresh-from-device", {"yes", "yes"}, true, false, "Contacts refresh-from-device\n"},
        {"mode.refresh-from-device", {"yes", "no"}, true, false, ""},
        {"mode.one-way-from-server", {}, true, false, "Contacts one-way-from-server\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + " " + c.answers.join(",").toStdString() + (c.done ? " Done" : " Back"));
        std::filesystem::remove(platform::hostPath(kNextSyncPath));
        for (const char* anchor : anchors) writeFileBytes(platform::hostPath(anchor), "1700000000:srv-1:1700000000");
        ConfigRecord record = readyRecord();
        ui::SettingsScreen settings(record, context);
        settings.show();
        ModalScript choice;
        chooseNextSync(choice, c.mode, c.answers);
        choice.start();
        clickChild(&settings, "nextSync");
        EXPECT_TRUE(choice.done());
        // Nothing happens before Done.
        for (const char* anchor : anchors) EXPECT_TRUE(std::filesystem::exists(platform::hostPath(anchor))) << anchor;
        EXPECT_FALSE(std::filesystem::exists(platform::hostPath(kNextSyncPath)));

        ModalScript told;
        if (c.done && c.anchorsForgotten) told.thenMessage();
        told.start();
        click(c.done ? settings.softKeys()->right() : settings.softKeys()->left());
        EXPECT_TRUE(told.done());
        if (c.anchorsForgotten) {
            EXPECT_EQ(told.messages(), QStringList{"Next sync will be slow sync"});
        }
        for (const char* anchor : anchors)
            EXPECT_EQ(std::filesystem::exists(platform::hostPath(anchor)), !c.anchorsForgotten) << anchor;
        EXPECT_EQ(readFileBytes(platform::hostPath(kNextSyncPath)), c.stored);
    }
}

TEST_F(SettingsScreenTest, TestServerFillsTheFolders) {
    ConfigRecord record = readyRecord();
    ui::SettingsScreen settings(record, context);
    settings.show();
    const auto before = record.bytes();
    // The test tries what is typed, not yet saved; what it finds shows in the fields, so that Done
    // keeps it, and nothing reaches the record before Done.
    typeInto(&settings, "url", "https://typed.example/sync");
    typeInto(&settings, "password", "typed");
    RemoteDataStore card;
    card.sourceRef = "card";
    card.rxPref = ContentType("text/x-vcard");
    script.deviceInfo.dataStores = {card};
    ModalScript test;
    test.then("servertest",
              [](QWidget* s) {
                  EXPECT_TRUE(waitFor([s] { return textOf(s, "line3") == "Done!"; }));
                  click(static_cast<ui::ScreenDialog*>(s)->softKeys()->right());
              })
        .start();
    clickChild(&settings, "testServer");
    EXPECT_EQ(script.testedWith, (std::vector<std::string>{"https://typed.example/sync", "orvale", "typed"}));
    EXPECT_EQ(textOf(&settings, "uri.contacts"), "card");
    EXPECT_EQ(textOf(&settings, "uri.tasks"), "");
    EXPECT_EQ(record.bytes(), before);
}

// Conf.dat that cannot be replaced (a folder in its place; as root, permissions would not stop the
// write) and an anchor that cannot be removed: each failure is told, and nothing claims success.
TEST_F(SettingsScreenTest, FailedSavesAreToldAndSettingsStayOpen) {
    std::filesystem::create_directories(platform::hostPath(kConfigPath));
    ModalScript told;
    told.thenMessage().thenMessage();
    chooseNextSync(told, "mode.slow", {"yes"});
    told.thenMessage().thenMessage().start();

    ui::MainScreen main(context);
    main.record() = readyRecord();
    ASSERT_TRUE(main.openScreen());

    ConfigRecord record = readyRecord();
    const auto before = record.bytes();
    ui::SettingsScreen settings(record, context);
    settings.show();
    typeInto(&settings, "username", "eve");
    click(settings.softKeys()->right());
    EXPECT_TRUE(settings.isVisible());
    EXPECT_EQ(record.bytes(), before);

    // The settings are saved, the slow sync cannot be prepared: told, and the screen stays open.
    std::filesystem::remove(platform::hostPath(kConfigPath));
    writeFileBytes(platform::hostPath("Anchor_Contacts") / "x", "");
    clickChild(&settings, "nextSync");
    click(settings.softKeys()->right());
    EXPECT_TRUE(settings.isVisible());

    // Once the anchor can go, Done does the rest.
    std::filesystem::remove_all(platform::hostPath("Anchor_Contacts"));
    click(settings.softKeys()->right());
    EXPECT_TRUE(told.done());
    EXPECT_EQ(told.messages(),
              (QStringList{"Could not save the settings", "Could not save the settings",
                           "Could not prepare a slow sync: the last sync could not be forgotten",
                           "Next sync will be slow sync"}));
    EXPECT_EQ(settings.result(), QDialog::Accepted);
    ConfigRecord saved;
    ASSERT_TRUE(saved.load());
    EXPECT_EQ(saved.text(ConfigText::UserName), u"eve");
}

TEST_F(SettingsScreenTest, AFocusedFieldIsScrolledIntoView) {
    ConfigRecord record = readyRecord();
    for (bool smartPhone : {false, true}) {
        context.smartPhone = smartPhone;
        ui::SettingsScreen settings(record, context);
        settings.show();
        QScrollBar* bar = settings.scrollArea()->verticalScrollBar();
        ASSERT_GT(bar->maximum(), 0);  // taller than the screen
        EXPECT_EQ(bar->value(), 0);
        if (!smartPhone) keepPicture(&settings, "settings-top");
        QWidget* every = child(&settings, "every");
        every->setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();
        const QRect shown = settings.scrollArea()->viewport()->rect();
        const QRect at(every->mapTo(settings.scrollArea()->viewport(), QPoint(0, 0)), every->size());
        EXPECT_EQ(shown.contains(at), !smartPhone);
        if (!smartPhone) {
            bar->setValue(bar->maximum());
            keepPicture(&settings, "settings-bottom");
        }
    }
}

TEST_F(SettingsScreenTest, LogViewerShowsTheFirst1024Characters) {
    auto logOf = [](const std::u16string& text) {
        std::string bytes;
        for (char16_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
        writeFileBytes(platform::hostPath(kRunLogPath), bytes);
    };
    std::u16string longLog;
    while (longLog.size() < 1500) longLog += u"Contacts:\r\n1 Received, 2 Sent \u00e9\r\n";
    struct Case {
        std::u16string file;
        std::u16string shown;
    };
    for (const Case& c : {Case{longLog, longLog.substr(0, 1024)},
                          Case{std::u16string(u"Starting sync\r\n\0rest", 20), u"Starting sync\r\n"},
                          Case{u"", u""}}) {
        if (c.file.empty()) {
            std::filesystem::remove(platform::hostPath(kRunLogPath));
        } else {
            logOf(c.file);
        }
        ui::LogViewer viewer;
        // The viewer shows line ends as the text control does.
        EXPECT_EQ(viewer.text()->toPlainText(),
                  QString::fromStdU16String(c.shown).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    }
}

}  // namespace
}  // namespace orvale

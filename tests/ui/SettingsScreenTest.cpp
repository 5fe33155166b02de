// The settings page: what Done stores and arms, what Back leaves, the actions, focus scrolling;
// and the log viewer's bound.
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>

#include "ScreenFixture.h"
#include "app/RunLog.h"
#include "platform/DevicePaths.h"
#include "ui/LogViewer.h"
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
    struct Case {
        const char* every;
        bool autosync;
        int stored;
    };
    int arms = 0, cancels = 0;
    for (const Case& c : {Case{"20000", true, 0}, Case{"10000", true, 10000}, Case{"", false, 0}}) {
        ui::SettingsScreen settings(record, context);
        settings.show();
        if (record.text(ConfigText::ServerUrl).empty()) {
            EXPECT_EQ(textOf(&settings, "url"), "http://");
        }
        typeInto(&settings, "username", "bob");
        typeInto(&settings, "uri.tasks", "./Tasks");
        typeInto(&settings, "daysBack", "7");
        typeInto(&settings, "every", c.every);
        auto* autosync = settings.findChild<QCheckBox*>("autosync");
        if (autosync->isChecked() != c.autosync) click(autosync);
        click(settings.findChild<QCheckBox*>("tasks"));
        settings.unit()->setCurrentRow(1);
        click(settings.softKeys()->right());
        EXPECT_EQ(settings.result(), QDialog::Accepted);

        ConfigRecord saved;
        ASSERT_TRUE(saved.load());
        EXPECT_EQ(saved.number(ConfigNumber::AutosyncInterval), c.stored) << c.every;
        EXPECT_EQ(saved.number(ConfigNumber::AutosyncUnit), 1);
        EXPECT_EQ(saved.number(ConfigNumber::DaysBack), 7);
        EXPECT_EQ(saved.text(ConfigText::ServerUrl), u"http://");  // saved as shown
        EXPECT_EQ(saved.text(ConfigText::UserName), u"bob");
        EXPECT_EQ(saved.text(ConfigText::TasksUri), u"./Tasks");
        EXPECT_EQ(saved.flag(ConfigFlag::AutosyncEnabled), c.autosync);
        // With nothing to schedule (N stored as 0) background sync is not armed either.
        (c.autosync && c.stored > 0 ? arms : cancels)++;
        EXPECT_EQ(scheduler.arms, arms);
        EXPECT_EQ(scheduler.cancels, cancels);
    }
    // Each save switched the tasks box over.
    EXPECT_TRUE(record.flag(ConfigFlag::TasksEnabled));

    // The back key leaves the record as it was.
    const auto before = record.bytes();
    ui::SettingsScreen settings(record, context);
    settings.show();
    typeInto(&settings, "url", "http://elsewhere");
    click(settings.softKeys()->left());
    EXPECT_EQ(settings.result(), QDialog::Rejected);
    EXPECT_EQ(record.bytes(), before);
}

TEST_F(SettingsScreenTest, SlowSyncForgetsTheAnchorsAndTestServerFillsTheFolders) {
    ConfigRecord record = readyRecord();
    for (const char* anchor : {"Anchor_Contacts", "Anchor_Calendar", "Anchor_Tasks"})
        writeFileBytes(platform::hostPath(anchor), "20260101T000000Z 1\n");
    ui::SettingsScreen settings(record, context);
    settings.show();
    ModalScript acks;
    acks.then("message", [&](QWidget* box) {
            keepPicture(&settings, "settings-slow-sync", box);
            static_cast<QDialog*>(box)->accept();
        })
        .start();
    const auto before = record.bytes();
    clickChild(&settings, "slowSync");
    EXPECT_EQ(acks.visited(), QStringList{"message"});
    for (const char* anchor : {"Anchor_Contacts", "Anchor_Calendar", "Anchor_Tasks"})
        EXPECT_FALSE(std::filesystem::exists(platform::hostPath(anchor))) << anchor;
    EXPECT_EQ(record.bytes(), before);

    // What the test finds shows in the fields, so that Done keeps it.
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
    EXPECT_EQ(textOf(&settings, "uri.contacts"), "card");
    EXPECT_EQ(textOf(&settings, "uri.tasks"), "");
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

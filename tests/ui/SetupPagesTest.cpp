// The setup pages: what each one refuses, what it stores, and the walk through them with its
// back and cancel paths.
#include <QCheckBox>
#include <QListWidget>
#include <QTest>

#include "ScreenFixture.h"
#include "platform/DevicePaths.h"
#include "ui/MainScreen.h"
#include "ui/SetupPages.h"
#include "ui/SoftKeyBar.h"
#include "ui/controls/CComboList.h"
#include "ui/controls/CStaticEx.h"
#include "ui/controls/EditEx.h"
#include "ui/controls/FocusButton.h"
#include "ui/controls/UnitPicker.h"

namespace orvale {
namespace {

using namespace test;

// Presses the page's right key; returns the texts of the message boxes it raised.
QStringList pressRight(ui::ScreenDialog& page) {
    ModalScript acks;
    acks.thenMessage().start();
    click(page.softKeys()->right());
    return acks.messages();
}

const QString kEnterCredentials = QStringLiteral("Please enter URL, Username and Password");

class SetupPagesTest : public ScreenFixture {};

TEST_F(SetupPagesTest, CredentialsRefuseMissingFieldsAndStoreWhatWasEntered) {
    ConfigRecord record;
    ui::CredentialsPage page(record);
    page.show();
    EXPECT_EQ(page.url()->text(), "http://");
    EXPECT_EQ(page.every()->text(), "1");
    EXPECT_EQ(page.unit()->face()->text(), "Day");
    keepPicture(&page, "setup-credentials");

    struct Case {
        const char *url, *user, *password;
    };
    for (const Case& c : {Case{"http://", "", ""}, Case{"", "u", "p"}, Case{"http://h", "u", ""}}) {
        page.url()->setText(c.url);
        page.user()->setText(c.user);
        page.password()->setText(c.password);
        EXPECT_EQ(pressRight(page), QStringList{kEnterCredentials}) << c.url << c.user << c.password;
        EXPECT_TRUE(page.isVisible());
        EXPECT_EQ(record.text(ConfigText::ServerUrl), u"");
    }
    // A URL no server could answer, or one that would carry the password, is refused as well.
    for (const auto& [url, says] :
         {std::pair{"http://", "Please enter the server URL"},
          {"sync.example.org/rpc", "The URL must begin with http:// or https:// and name the server"},
          {"http://alice:pw@sync.example.org/", "The URL must not hold a user name or password: enter them in their own fields"}}) {
        page.url()->setText(url);
        page.user()->setText("u");
        page.password()->setText("p");
        EXPECT_EQ(pressRight(page), QStringList{says}) << url;
        EXPECT_EQ(record.text(ConfigText::ServerUrl), u"");
    }

    page.url()->setText("https://sync.example.org/rpc");
    page.user()->setText("alice");
    page.password()->setText("pw");
    page.autosync()->setChecked(true);
    typeInto(&page, "every", "15x");  // digits only, four at most
    EXPECT_EQ(page.every()->text(), "15");
    click(page.unit()->face());
    QListWidget* list = page.unit()->list();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(2)).center());
    EXPECT_EQ(page.unit()->face()->text(), "Minute");
    EXPECT_TRUE(pressRight(page).isEmpty());
    EXPECT_EQ(page.result(), QDialog::Accepted);
    EXPECT_EQ(record.text(ConfigText::ServerUrl), u"https://sync.example.org/rpc");
    EXPECT_EQ(record.text(ConfigText::UserName), u"alice");
    EXPECT_EQ(record.text(ConfigText::Password), u"pw");
    EXPECT_TRUE(record.flag(ConfigFlag::AutosyncEnabled));
    EXPECT_EQ(record.number(ConfigNumber::AutosyncInterval), 15);
    EXPECT_EQ(record.number(ConfigNumber::AutosyncUnit), 2);
}

TEST_F(SetupPagesTest, PickerOpensClosesAndChoosesByTapOrKey) {
    ConfigRecord record;
    record.setNumber(ConfigNumber::AutosyncUnit, 1);
    ui::CredentialsPage page(record);
    page.show();
    ui::UnitPicker* picker = page.unit();
    EXPECT_EQ(picker->face()->text(), "Hour");
    // Two taps open and close it; the choice stays.
    click(picker->face());
    EXPECT_TRUE(picker->isOpen());
    EXPECT_EQ(picker->list()->currentRow(), 1);
    keepPicture(&page, "setup-credentials-unit-open");
    click(picker->face());
    EXPECT_FALSE(picker->isOpen());
    EXPECT_EQ(picker->currentRow(), 1);

    // From the keyboard: Space opens, Down and Return choose, without pressing the page's Next.
    picker->face()->setFocus();
    QTest::keyClick(picker->face(), Qt::Key_Space);
    ASSERT_TRUE(picker->isOpen());
    QTest::keyClick(picker->list(), Qt::Key_Down);
    QTest::keyClick(picker->list(), Qt::Key_Return);
    EXPECT_FALSE(picker->isOpen());
    EXPECT_EQ(picker->face()->text(), "Minute");
    EXPECT_TRUE(page.isVisible());
    QTest::keyClick(picker->face(), Qt::Key_Space);
    QTest::keyClick(picker->list(), Qt::Key_Up);
    QTest::keyClick(picker->list(), Qt::Key_Escape);
    EXPECT_FALSE(picker->isOpen());
    EXPECT_EQ(picker->currentRow(), 2);
    EXPECT_TRUE(page.isVisible());
}

TEST_F(SetupPagesTest, FolderPagesRefuseNothingChosen) {
    ConfigRecord record;
    ui::FolderUrisPage uris(record);
    uris.show();
    EXPECT_EQ(pressRight(uris), QStringList{"Please fenter at least one folder URI"});
    uris.tasks()->setText("tasks");
    EXPECT_TRUE(pressRight(uris).isEmpty());
    EXPECT_EQ(record.text(ConfigText::TasksUri), u"tasks");
    EXPECT_EQ(record.text(ConfigText::ContactsUri), u"");

    // The folder with a database on the server starts ticked; with none ticked, Done is refused.
    ui::FoldersPage none(record);
    none.show();
    EXPECT_TRUE(none.tasks()->isChecked());
    EXPECT_FALSE(none.contacts()->isChecked());
    none.tasks()->setChecked(false);
    EXPECT_EQ(pressRight(none), QStringList{"Please check at least one folder"});
    EXPECT_TRUE(none.isVisible());

    // A box only switches its folder on: unchecking one that was on leaves it on.
    record.setFlag(ConfigFlag::CalendarEnabled, true);
    ui::FoldersPage folders(record);
    folders.show();
    EXPECT_TRUE(folders.calendar()->isChecked());
    folders.calendar()->setChecked(false);
    folders.tasks()->setChecked(false);
    folders.contacts()->setChecked(true);
    EXPECT_TRUE(pressRight(folders).isEmpty());
    EXPECT_TRUE(record.flag(ConfigFlag::ContactsEnabled));
    EXPECT_TRUE(record.flag(ConfigFlag::CalendarEnabled));
    EXPECT_FALSE(record.flag(ConfigFlag::TasksEnabled));
}

auto rightKey = [](QWidget* s) { click(static_cast<ui::ScreenDialog*>(s)->softKeys()->right()); };
auto leftKey = [](QWidget* s) { click(static_cast<ui::ScreenDialog*>(s)->softKeys()->left()); };

TEST_F(SetupPagesTest, WalkWithBackAndCancelPaths) {
    RemoteDataStore card;
    card.sourceRef = "card";
    card.rxPref = ContentType("text/x-vcard");
    script.deviceInfo.dataStores = {card};
    ui::MainScreen main(context);
    ModalScript walk;
    walk.then("credentials",
              [](QWidget* s) {
                  typeInto(s, "url", "http://sync.example.org/rpc");
                  typeInto(s, "username", "alice");
                  typeInto(s, "password", "pw");
                  clickChild(s, "autosync");
                  rightKey(s);
              })
        .then("servertest", leftKey)
        // Back builds the credentials page afresh from the record.
        .then("credentials",
              [](QWidget* s) {
                  EXPECT_EQ(textOf(s, "url"), "http://sync.example.org/rpc");
                  clickChild(s, "header.next");  // the header button acts as Next
              })
        .then("servertest",
              [](QWidget* s) {
                  EXPECT_TRUE(waitFor([s] { return textOf(s, "line3") == "Done!"; }));
                  rightKey(s);
              })
        .then("folderuris",
              [](QWidget* s) {
                  EXPECT_EQ(textOf(s, "uri.contacts"), "card");  // found by the server test
                  leftKey(s);
              })
        .then("credentials", rightKey)
        .then("servertest", rightKey)
        .then("folderuris", rightKey)
        .then("folders", leftKey)
        .then("folderuris", rightKey)
        .then("folders",
              [](QWidget* s) {
                  // Ticked already: the server test found its database.
                  EXPECT_TRUE(s->findChild<QCheckBox*>(QStringLiteral("folder.contacts"))->isChecked());
                  EXPECT_FALSE(s->findChild<QCheckBox*>(QStringLiteral("folder.tasks"))->isChecked());
                  rightKey(s);
              })
        .start();
    ASSERT_TRUE(main.openScreen());
    EXPECT_TRUE(walk.done());
    EXPECT_EQ(walk.visited(), (QStringList{"credentials", "servertest", "credentials", "servertest", "folderuris",
                                           "credentials", "servertest", "folderuris", "folders", "folderuris",
                                           "folders"}));
    ConfigRecord saved;
    ASSERT_TRUE(saved.load());
    EXPECT_TRUE(saved.flag(ConfigFlag::SetupDone));
    EXPECT_TRUE(saved.flag(ConfigFlag::ContactsEnabled));
    EXPECT_EQ(saved.text(ConfigText::ContactsUri), u"card");
    // Autosync chosen in setup is armed when setup ends.
    EXPECT_EQ(scheduler.arms, 1);
}

TEST_F(SetupPagesTest, CancellingTheFirstPageLeavesSetupUndone) {
    for (int start = 0; start < 2; ++start) {
        ui::MainScreen main(context);
        ModalScript walk;
        walk.then("credentials", leftKey).start();
        EXPECT_FALSE(main.openScreen());
        EXPECT_EQ(walk.visited(), QStringList{"credentials"});
        EXPECT_FALSE(std::filesystem::exists(platform::hostPath(kConfigPath)));
    }
}

}  // namespace
}  // namespace orvale

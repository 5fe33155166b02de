// The next sync's choice file: what it keeps, what a damaged one reads as, and what the next sync
// of a folder then is.
#include <gtest/gtest.h>

#include "platform/DevicePaths.h"
#include "stores/KindCode.h"
#include "stores/NextSync.h"
#include "support/TempDeviceRoot.h"

namespace orvale {
namespace {

using test::readFileBytes;
using test::TempDeviceRoot;
using test::writeFileBytes;

TEST(NextSync, ReadsOnlyWhatItWroteAndNeverAGuess) {
    const struct {
        const char* text;
        SyncMode contacts, tasks, calendar;
    } cases[] = {
        {"Contacts refresh-from-server\nCalendar one-way-from-device\n", SyncMode::RefreshFromServer, SyncMode::TwoWay,
         SyncMode::OneWayFromDevice},
        // A cut, padded or foreign line is skipped: a damaged file never turns into a mode that deletes.
        {"Contacts refresh-from-ser", SyncMode::TwoWay, SyncMode::TwoWay, SyncMode::TwoWay},
        {"Contacts  refresh-from-server\nTasksX refresh-from-device\ncontacts refresh-from-device\n",
         SyncMode::TwoWay, SyncMode::TwoWay, SyncMode::TwoWay},
        // Slow is a forgotten anchor, not a stored choice.
        {"Tasks slow\nTasks one-way-from-server\n", SyncMode::TwoWay, SyncMode::OneWayFromServer, SyncMode::TwoWay},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const NextSyncChoice choice = NextSyncChoice::parse(c.text);
        EXPECT_EQ(choice.mode(kKindContacts), c.contacts);
        EXPECT_EQ(choice.mode(kKindTasks), c.tasks);
        EXPECT_EQ(choice.mode(kKindCalendar), c.calendar);
        EXPECT_EQ(NextSyncChoice::parse(choice.text()).text(), choice.text());
    }
}

TEST(NextSync, TheNextSyncOfAFolderFromItsChoiceAndItsAnchor) {
    TempDeviceRoot root;
    EXPECT_EQ(effectiveNextSync(kKindContacts), SyncMode::Slow);  // never synced
    writeFileBytes(platform::hostPath("Anchor_Contacts"), "1700000000:srv-1:1700000000");
    EXPECT_EQ(effectiveNextSync(kKindContacts), SyncMode::TwoWay);

    NextSyncChoice choice;
    choice.set(kKindContacts, SyncMode::RefreshFromDevice);
    ASSERT_TRUE(choice.save());
    EXPECT_EQ(readFileBytes(platform::hostPath(kNextSyncPath)), "Contacts refresh-from-device\n");
    EXPECT_EQ(effectiveNextSync(kKindContacts), SyncMode::RefreshFromDevice);

    // Back to two-way everywhere: no file is left.
    choice.set(kKindContacts, SyncMode::TwoWay);
    ASSERT_TRUE(choice.save());
    EXPECT_FALSE(std::filesystem::exists(platform::hostPath(kNextSyncPath)));
    ASSERT_TRUE(forgetFolderAnchor(kKindContacts));
    EXPECT_EQ(effectiveNextSync(kKindContacts), SyncMode::Slow);
}

}  // namespace
}  // namespace orvale

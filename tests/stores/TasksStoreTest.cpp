// The tasks store through its slots, and the import rules a golden file cannot show: which received
// values give which stored rows, what a text refuses or replaces, and when a rule does not take.
#include <gtest/gtest.h>

#include "stores/KindCode.h"
#include "stores/tasks/TaskMapping.h"
#include "support/PinnedZone.h"
#include "support/StoreSession.h"
#include "support/TempDeviceRoot.h"

namespace orvale::tasks {
namespace {

using F = TaskField;

std::string todo(const std::string& lines, const std::string& outer = "") {
    return "BEGIN:VCALENDAR\r\nVERSION:1.0\r\n" + outer + "BEGIN:VTODO\r\n" + lines + "END:VTODO\r\nEND:VCALENDAR\r\n";
}

class TasksStoreTest : public ::testing::Test {
protected:
    test::TempDeviceRoot root;
    test::PinnedZone zone{"Europe/Berlin"};
};

TEST_F(TasksStoreTest, ReceivedValuesGiveTheseRows) {
    const struct {
        const char* outer;
        const char* lines;
        F row;
        const char* value;
    } cases[] = {
        // Priority: 1 is high, 3 and more low, anything else normal; no PRIORITY sets nothing.
        {"", "PRIORITY:1\r\n", F::Importance, "2"},
        {"", "PRIORITY:2\r\n", F::Importance, "1"},
        {"", "PRIORITY:0\r\n", F::Importance, "1"},
        {"", "PRIORITY:3\r\n", F::Importance, "0"},
        {"", "PRIORITY:9\r\n", F::Importance, "0"},
        {"", "PRIORITY:high\r\n", F::Importance, "1"},
        {"", "SUMMARY:x\r\n", F::Importance, ""},
        // Class words are compared exactly.
        {"", "CLASS:CONFIDENTIAL\r\n", F::Sensitivity, "3"},
        {"", "CLASS:PUBLIC\r\n", F::Sensitivity, "0"},
        {"", "CLASS:private\r\n", F::Sensitivity, "0"},
        {"", "STATUS:completed\r\n", F::Complete, ""},
        // A date alone is that local date at noon, whatever the zone; a value that is no time stays out
        // (a due date that is none is the start's).
        {"", "DUE:20270503\r\n", F::Due, "20270503T120000"},
        {"TZ:-05\r\n", "COMPLETED:20270503\r\n", F::DateCompleted, "20270503T120000"},
        {"", "DTSTART:20270503T220000Z\r\n", F::Start, "20270504T000000"},
        {"", "DUE:2027-05-03\r\nDTSTART:20270501\r\n", F::Due, "20270501T120000"},
        {"", "DUE:20270503T12\r\n", F::Due, ""},
        {"", "DUE:02020819T120000\r\n", F::Due, ""},  // before the device's first date, 1601
        // TZ with either sign and a colon; a start stands in for a missing due date.
        {"TZ:+01:00\r\n", "DUE:20270115T110000\r\n", F::Due, "20270115T110000"},
        {"TZ:+0530\r\n", "DUE:20270115T110000\r\n", F::Due, "20270115T063000"},
        {"TZ:-0330\r\n", "DTSTART:20270115T110000\r\n", F::Due, "20270115T153000"},
        // The alarm: DALARM's time before AALARM's, either one switches the reminder on.
        {"", "AALARM:20270503T080000Z;;;\r\n", F::ReminderTime, "20270503T100000"},
        {"", "AALARM:20270503T080000\r\nDALARM:20270503T090000\r\n", F::ReminderTime, "20270503T090000"},
        {"", "AALARM:20270503T080000\r\n", F::ReminderSet, "1"},
        {"", "AALARM:soon\r\n", F::ReminderSet, "1"},
        {"", "SUMMARY:x\r\n", F::ReminderSet, "0"},
        {"", "CATEGORIES:Work\r\nCATEGORIES:Work\r\n", F::Categories, "Work, Work"},
        {"", "CATEGORIES:Work;Home\r\n", F::Categories, "Work, Home"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        const auto t = importTask(todo(c.lines, c.outer));
        ASSERT_TRUE(t.has_value());
        EXPECT_EQ(t->fields[c.row], c.value);
    }
}

TEST_F(TasksStoreTest, TextsThatHoldNoTaskAndWritesTheDeviceRefusesReportFalse) {
    test::StoreSession s(kKindTasks);
    ASSERT_NE(s.store(), nullptr);
    const std::string key = s.add(todo("SUMMARY:Kept\r\nDUE:20270503\r\n"));
    ASSERT_FALSE(key.empty());
    const std::string before = s.text(key);
    for (const std::string& bad : {
             std::string("BEGIN:VCARD\r\nVERSION:2.1\r\nN:Doe\r\nEND:VCARD\r\n"),
             std::string("BEGIN:VCALENDAR\r\nVERSION:1.0\r\nBEGIN:VEVENT\r\nSUMMARY:x\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n"),
             std::string("BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\nSUMMARY:unfinished\r\n"),
             std::string("BEGIN:VTODO\r\nSUMMARY:no calendar around it\r\nEND:VTODO\r\n"),
             std::string(),
         }) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(s.add(bad), "");
        EXPECT_FALSE(s.replace(key, bad));
    }
    EXPECT_EQ(s.text(key), before);
    EXPECT_EQ(test::StoreSession::keys(s.store()->allItems()), std::vector<std::string>{key});

    // Keys that name no task: an event's, or none at all. Writing there is refused, reading gives
    // the empty VTODO, deleting fails.
    test::StoreSession calendar(kKindCalendar);
    const std::string event = calendar.add("BEGIN:VCALENDAR\r\nVERSION:1.0\r\nBEGIN:VEVENT\r\nSUMMARY:x\r\n"
                                           "DTSTART:20270503T100000Z\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    ASSERT_FALSE(event.empty());
    const std::string empty = "BEGIN:VCALENDAR\r\nPRODID:-//Tarnwell Corporation//Orvale for Windows Mobile 1.0.13//EN\r\n"
                              "VERSION:1.0\r\nBEGIN:VTODO\r\nEND:VTODO\r\nEND:VCALENDAR\r\n";
    for (const std::string& other : {event, std::string("12345")}) {
        EXPECT_FALSE(s.replace(other, todo("SUMMARY:x\r\n")));
        EXPECT_EQ(s.text(other), empty);
        EXPECT_FALSE(s.store()->deleteItem(other));
    }
    EXPECT_NE(calendar.text(event).find("SUMMARY:x"), std::string::npos);
    EXPECT_TRUE(s.store()->deleteItem(key));
}

TEST_F(TasksStoreTest, AReplaceClearsWhatTheTextLacksAndARuleThatDoesNotTakeLeavesNoRecurrence) {
    test::StoreSession s(kKindTasks);
    const std::string key = s.add(todo("SUMMARY:Full\r\nDESCRIPTION:d\r\nCATEGORIES:A\r\nDTSTART:20270503\r\n"
                                       "DUE:20270504\r\nCOMPLETED:20270504\r\nSTATUS:COMPLETED\r\nPRIORITY:1\r\n"
                                       "CLASS:PRIVATE\r\nAALARM:20270503T080000\r\nRRULE:D1 #3\r\n"));
    ASSERT_FALSE(key.empty());
    ASSERT_NE(s.text(key).find("RRULE:D1 #3\r\n"), std::string::npos);

    // Only a summary and a rule the reader rejects: everything else goes back to what a new task has.
    ASSERT_TRUE(s.replace(key, todo("SUMMARY:Bare\r\nRRULE:X9 #1\r\n")));
    EXPECT_EQ(s.text(key), "BEGIN:VCALENDAR\r\nPRODID:-//Tarnwell Corporation//Orvale for Windows Mobile 1.0.13//EN\r\n"
                           "VERSION:1.0\r\nBEGIN:VTODO\r\nPRIORITY:2\r\nSUMMARY:Bare\r\nUID:" +
                               key + "\r\nEND:VTODO\r\nEND:VCALENDAR\r\n");

    // A rule needs a date to start from: a task with neither a start nor a due date does not recur.
    const std::string undated = s.add(todo("SUMMARY:Undated\r\nRRULE:W1 MO #0\r\n"));
    ASSERT_FALSE(undated.empty());
    EXPECT_EQ(s.text(undated).find("RRULE"), std::string::npos);
}

TEST_F(TasksStoreTest, ServerTextsMatchTheTasksTheyWouldStoreAsInFolderOrder) {
    test::StoreSession s(kKindTasks);
    const std::string body = "SUMMARY:Report\r\nDUE:20270503\r\nPRIORITY:1\r\nRRULE:W1 MO #4\r\n";
    const std::string first = s.add(todo(body));
    const std::string other = s.add(todo("SUMMARY:Other\r\n"));
    const std::string second = s.add(todo(body));
    ASSERT_FALSE(first.empty() || other.empty() || second.empty());
    const struct {
        const char* what;
        std::string text;
        std::vector<std::string> keys;
    } cases[] = {
        {"the same text", todo(body), {first, second}},
        {"another order, a UID, the due date as a time on that day",
         todo("UID:srv-1\r\nRRULE:W1 MO #4\r\nPRIORITY:1\r\nDUE:20270503T060000Z\r\nSUMMARY:Report\r\n"), {first, second}},
        {"another priority", todo("SUMMARY:Report\r\nDUE:20270503\r\nPRIORITY:2\r\nRRULE:W1 MO #4\r\n"), {}},
        {"another rule", todo("SUMMARY:Report\r\nDUE:20270503\r\nPRIORITY:1\r\nRRULE:W1 MO #5\r\n"), {}},
        {"the other task", todo("SUMMARY:Other\r\n"), {other}},
        {"an event", "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:Other\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(s.store()->keysWithContent(c.text), c.keys) << c.what;
}

}  // namespace
}  // namespace orvale::tasks

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "PimRun.h"
#include "stores/KindCode.h"
#include "stores/SyncAnchor.h"
#include "support/StoreSession.h"
#include "support/TempDeviceRoot.h"

namespace orvale::test {
namespace {

const std::filesystem::path kData = std::filesystem::path(ORVALE_TEST_DATA) / "contacts";

class PimToolTest : public ::testing::Test {
protected:
    PimToolTest() : scratch(root.path() / "scratch") { std::filesystem::create_directories(scratch); }

    PimRun pim(const std::vector<std::string>& args) { return runPim(args, scratch); }
    std::string file(const std::string& name, const std::string& bytes) {
        writeFileBytes(scratch / name, bytes);
        return (scratch / name).string();
    }
    std::vector<std::string> importOk(const std::vector<std::string>& files, const std::string& folder = "contacts") {
        std::vector<std::string> args = {folder, "import"};
        args.insert(args.end(), files.begin(), files.end());
        const PimRun run = pim(args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return printedLines(run.out);
    }

    TempDeviceRoot root;
    std::filesystem::path scratch;
};

const char* kTwoCardsWithLfLineEnds =
    "BEGIN:VCARD\nVERSION:2.1\nN:Berg;Karin\nEND:VCARD\n\n"
    "BEGIN:VCARD\nVERSION:2.1\nFN:Per Holm\nTEL;CELL:+46 70 1\nEND:VCARD\n";

TEST_F(PimToolTest, UsageAndWrongArguments) {
    const PimRun help = pim({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* word : {"list", "show", "import", "export", "edit", "delete", "ORVALE_DEVICE_ROOT"}) {
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    }
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {}, {"contacts"}, {"notes", "list"}, {"contacts", "frobnicate"}, {"contacts", "show"},
             {"contacts", "edit", "1"}, {"contacts", "import"}, {"contacts", "list", "extra"}}) {
        const PimRun run = pim(args);
        EXPECT_EQ(run.exitCode, 2) << ::testing::PrintToString(args);
        EXPECT_NE(run.err.find("orvale-pim"), std::string::npos);
        EXPECT_TRUE(run.out.empty());
    }
    for (const char* folder : {"contacts", "calendar", "tasks"}) {
        const PimRun empty = pim({folder, "list"});
        EXPECT_EQ(empty.exitCode, 0) << folder << empty.err;
        EXPECT_EQ(empty.out, "");
    }
}

TEST_F(PimToolTest, ItemsGoInAndComeOutThroughTheStoresOwnMapping) {
    const auto keys = importOk({(kData / "every-property.vcf").string(), file("two.vcf", kTwoCardsWithLfLineEnds)});
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(std::set<std::string>(keys.begin(), keys.end()).size(), 3u);

    const PimRun list = pim({"contacts", "list"});
    ASSERT_EQ(list.exitCode, 0) << list.err;
    const auto lines = printedLines(list.out);
    ASSERT_EQ(lines.size(), 3u);
    std::set<std::string> summaries;
    std::string concatenated;
    for (const auto& line : lines) {
        const std::size_t tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos) << line;
        const std::string key = line.substr(0, tab);
        EXPECT_NE(std::find(keys.begin(), keys.end(), key), keys.end()) << line;
        summaries.insert(line.substr(tab + 1));
        const PimRun show = pim({"contacts", "show", key});
        ASSERT_EQ(show.exitCode, 0) << show.err;
        EXPECT_NE(show.out.find("\r\nUID:" + key + "\r\n"), std::string::npos);
        concatenated += show.out;
    }
    EXPECT_EQ(summaries, (std::set<std::string>{"Dr. Åsa Lindqvist", "Berg Karin", "Per Holm"}));

    const PimRun exported = pim({"contacts", "export"});
    ASSERT_EQ(exported.exitCode, 0) << exported.err;
    EXPECT_EQ(exported.out, concatenated);
    const std::string target = (scratch / "all.vcf").string();
    ASSERT_EQ(pim({"contacts", "export", target}).exitCode, 0);
    EXPECT_EQ(readFileBytes(target), concatenated);

    // What was exported imports again as the same contacts (new keys, same text otherwise).
    const auto again = importOk({target});
    EXPECT_EQ(again.size(), 3u);
}

TEST_F(PimToolTest, EditReplacesTheWholeContactAndDeleteRemovesIt) {
    const auto keys = importOk({(kData / "every-property.vcf").string()});
    ASSERT_EQ(keys.size(), 1u);
    const std::string key = keys[0];
    const PimRun edit =
        pim({"contacts", "edit", key, file("one.vcf", "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Renamed\r\nEND:VCARD\r\n")});
    ASSERT_EQ(edit.exitCode, 0) << edit.err;
    EXPECT_EQ(pim({"contacts", "show", key}).out,
              "BEGIN:VCARD\r\nFN:Renamed\r\nUID:" + key + "\r\nVERSION:2.1\r\nEND:VCARD\r\n");

    ASSERT_EQ(pim({"contacts", "delete", key}).exitCode, 0);
    EXPECT_EQ(pim({"contacts", "list"}).out, "");
    const PimRun gone = pim({"contacts", "show", key});
    EXPECT_EQ(gone.exitCode, 5);
    EXPECT_NE(gone.err.find(key), std::string::npos);
}

TEST_F(PimToolTest, ABackupTakenByHandIsListedWithItsItemsAndWhy) {
    importOk({file("two.vcf", kTwoCardsWithLfLineEnds)});
    const PimRun taken = pim({"contacts", "backup"});
    ASSERT_EQ(taken.exitCode, 0) << taken.err;
    const std::string listed = pim({"contacts", "backups"}).out;
    EXPECT_EQ(listed.rfind(printedLines(taken.out).at(0) + "\t", 0), 0u) << listed;
    EXPECT_NE(listed.find("\t2 items\tby hand\n"), std::string::npos) << listed;
}

TEST_F(PimToolTest, BadInputIsRefusedWithAClearMessageAndNothingHalfDone) {
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char* message;
    };
    const std::string good = (kData / "every-property.vcf").string();
    const std::string missing = (scratch / "missing.vcf").string();
    const std::string open = file("open.vcf", "BEGIN:VCARD\r\nFN:x\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:y\r\n");
    const std::string calendar =
        file("event.vcs", "BEGIN:VCALENDAR\r\nVERSION:1.0\r\nBEGIN:VEVENT\r\nSUMMARY:x\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    const std::string empty = file("empty.vcf", "no items here\r\n");
    const std::string two = file("two.vcf", kTwoCardsWithLfLineEnds);
    const std::string task =
        file("task.vcs", "BEGIN:VCALENDAR\r\nVERSION:1.0\r\nBEGIN:VTODO\r\nSUMMARY:x\r\nEND:VTODO\r\nEND:VCALENDAR\r\n");
    const std::string noTime = file("no-time.vcs", "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:soon\r\nEND:VEVENT\r\n"
                                                   "END:VCALENDAR\r\n");
    const Case cases[] = {
        {{"contacts", "import", good, missing}, 3, "missing.vcf"},
        {{"contacts", "import", scratch.string()}, 3, "scratch"},
        {{"contacts", "import", good, open}, 4, "line 4"},
        {{"contacts", "import", empty}, 4, "no items"},
        {{"contacts", "import", calendar}, 4, "event.vcs"},
        {{"contacts", "edit", "12345", good}, 5, "12345"},
        {{"contacts", "edit", "12345", two}, 4, "exactly one"},
        {{"contacts", "delete", "12345"}, 5, "12345"},
        {{"contacts", "show", "Berg"}, 5, "Berg"},
        {{"contacts", "export", (scratch / "no/such/dir/x.vcf").string()}, 3, "x.vcf"},
        {{"calendar", "import", calendar, task}, 4, "without a VEVENT"},
        {{"calendar", "import", good}, 4, "not a VCALENDAR"},
        {{"calendar", "import", noTime}, 1, "not stored"},
    };
    for (const auto& c : cases) {
        const PimRun run = pim(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << ::testing::PrintToString(c.args) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
    EXPECT_EQ(pim({"contacts", "list"}).out, "");  // no refused import stored any item
    EXPECT_EQ(pim({"calendar", "list"}).out, "");
    ASSERT_EQ(pim({"calendar", "import", calendar}).exitCode, 0);
    EXPECT_NE(pim({"calendar", "list"}).out.find("\tx\n"), std::string::npos);
    // A rule the device cannot hold refuses the event, not just its rule.
    const std::string yearDay = file("yd.vcs", "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:20270410T100000\r\n"
                                               "RRULE:YD1 100 #3\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    EXPECT_EQ(pim({"calendar", "import", yearDay}).exitCode, 1);
}

// One calendar holding several events or tasks is several items, each with the calendar's zone.
TEST_F(PimToolTest, EveryEventAndTaskOfOneCalendarIsImported) {
    std::string events = "BEGIN:VCALENDAR\r\nVERSION:1.0\r\nTZ:-05\r\n";
    for (int i = 1; i <= 13; ++i)
        events += "BEGIN:VEVENT\r\nDTSTART:202701" + std::string(i < 10 ? "0" : "") + std::to_string(i) +
                  "T090000\r\nSUMMARY:Event " + std::to_string(i) + "\r\nEND:VEVENT\r\n";
    events += "END:VCALENDAR\r\n";
    EXPECT_EQ(importOk({file("events.vcs", events)}, "calendar").size(), 13u);
    const std::string list = pim({"calendar", "list"}).out;
    EXPECT_NE(list.find("\tEvent 1\n"), std::string::npos);
    EXPECT_NE(list.find("\tEvent 13\n"), std::string::npos);
    const std::string tasks = "BEGIN:VCALENDAR\r\nVERSION:1.0\r\nBEGIN:VTODO\r\nSUMMARY:A\r\nEND:VTODO\r\n"
                              "BEGIN:VTODO\r\nSUMMARY:B\r\nEND:VTODO\r\nEND:VCALENDAR\r\n";
    EXPECT_EQ(importOk({file("tasks.vcs", tasks)}, "tasks").size(), 2u);
}

// A fresh machine has no device root yet: the tool makes it as the main program does. What keeps
// the tool from the device is named, not reported as a refused item.
TEST_F(PimToolTest, FirstUseMakesTheDeviceRootAndADeviceThatCannotBeUsedIsNamed) {
    const std::string card = file("one.vcf", "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:First\r\nEND:VCARD\r\n");
    writeFileBytes(root.path() / "a-file", "x");
    std::filesystem::create_directories(root.path() / "db-is-a-folder" / "pim.db");
    const struct {
        std::filesystem::path deviceRoot;
        int exitCode;
        const char* message;
    } cases[] = {
        {root.path() / "fresh" / "orvale", 0, ""},
        {root.path() / "a-file" / "orvale", 7, "the device folder "},
        {root.path() / "db-is-a-folder", 7, "the device database "},
    };
    for (const auto& c : cases) {
        ::setenv("ORVALE_DEVICE_ROOT", c.deviceRoot.c_str(), 1);
        const PimRun run = pim({"contacts", "import", card});
        ::setenv("ORVALE_DEVICE_ROOT", root.path().c_str(), 1);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.deviceRoot << ": " << run.err;
        if (c.exitCode == 0) {
            EXPECT_EQ(printedLines(run.out).size(), 1u);
            EXPECT_EQ(std::filesystem::status(c.deviceRoot).permissions() & std::filesystem::perms::all,
                      std::filesystem::perms::owner_all);
            continue;
        }
        EXPECT_NE(run.err.find(c.message + c.deviceRoot.string()), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("not stored"), std::string::npos) << run.err;
    }

    // Looking creates nothing and changes nothing: a device not used yet lists as empty and stays
    // unmade, a device's database keeps its bytes, and one that cannot be read is said so, not
    // listed as empty.
    const std::filesystem::path unmade = root.path() / "unmade" / "orvale";
    const std::filesystem::path damaged = root.path() / "damaged";
    writeFileBytes(damaged / "pim.db", std::string(4096, 'x'));
    const std::string db = readFileBytes(root.path() / "fresh" / "orvale" / "pim.db");
    for (const char* command : {"list", "export"}) {
        SCOPED_TRACE(command);
        const std::vector<std::string> args{"contacts", command};
        ::setenv("ORVALE_DEVICE_ROOT", unmade.c_str(), 1);
        PimRun run = pim(args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_FALSE(std::filesystem::exists(unmade));
        ::setenv("ORVALE_DEVICE_ROOT", (root.path() / "fresh" / "orvale").c_str(), 1);
        run = pim(args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(readFileBytes(root.path() / "fresh" / "orvale" / "pim.db"), db);
        ::setenv("ORVALE_DEVICE_ROOT", damaged.c_str(), 1);
        run = pim(args);
        EXPECT_EQ(run.exitCode, 7) << run.err;
        EXPECT_NE(run.err.find("the device database " + (damaged / "pim.db").string()), std::string::npos) << run.err;
        ::setenv("ORVALE_DEVICE_ROOT", root.path().c_str(), 1);
    }
}

// What the next sync run finds: the three change lists, with the keys listed in `accepted` then
// acknowledged as the server's statuses would. The first run of a folder is a slow sync.
struct Changes {
    std::vector<std::string> updated, added, deleted;
    bool operator==(const Changes&) const = default;
};
Changes syncRun(const std::vector<std::string>& accepted, bool slow = false, int kindCode = 1) {
    StoreSession run(kindCode);
    DataStore* store = run.store();
    EXPECT_NE(store, nullptr);
    if (store == nullptr) return {};
    Changes found;
    if (slow) {
        found.added = StoreSession::keys(store->allItems());
    } else {
        const SyncAnchor last, next;
        found.updated = StoreSession::keys(store->updatedItems(last, next));
        found.added = StoreSession::keys(store->newItems(last, next));
        found.deleted = StoreSession::keys(store->deletedItems(last, next));
    }
    for (const auto& key : accepted) EXPECT_EQ(store->itemAcknowledged(key), 1);
    return found;
}

TEST_F(PimToolTest, WhatTheToolChangesIsWhatTheNextSyncSends) {
    const auto keys = importOk({file("three.vcf", kTwoCardsWithLfLineEnds), (kData / "edge-cases.vcf").string()});
    ASSERT_EQ(keys.size(), 3u);
    const std::string &edited = keys[0], &removed = keys[1];
    std::vector<std::string> all = keys;
    std::sort(all.begin(), all.end());
    Changes first = syncRun(all, true);
    std::sort(first.added.begin(), first.added.end());
    EXPECT_EQ(first.added, all);
    const std::string recorded = readFileBytes(root.path() / "Contacts.hdb");
    EXPECT_EQ(recorded.size(), 3u * 8u);

    // The tool reads and writes the device but records nothing: the database stays as the run left it.
    ASSERT_EQ(pim({"contacts", "edit", edited, file("e.vcf", "BEGIN:VCARD\r\nFN:Edited\r\nEND:VCARD\r\n")}).exitCode, 0);
    ASSERT_EQ(pim({"contacts", "delete", removed}).exitCode, 0);
    const auto added = importOk({file("new.vcf", "BEGIN:VCARD\nFN:Newcomer\nEND:VCARD\n")});
    ASSERT_EQ(added.size(), 1u);
    ASSERT_EQ(pim({"contacts", "list"}).exitCode, 0);
    ASSERT_EQ(pim({"contacts", "export"}).exitCode, 0);
    EXPECT_EQ(readFileBytes(root.path() / "Contacts.hdb"), recorded);

    // The server takes the replace and the delete but not the add: the add is sent again next time.
    EXPECT_EQ(syncRun({edited, removed}), (Changes{{edited}, {added[0]}, {removed}}));
    EXPECT_EQ(syncRun({added[0]}), (Changes{{}, {added[0]}, {}}));
    EXPECT_EQ(syncRun({}), Changes{});
}

std::string todo(const std::string& lines) {
    return "BEGIN:VCALENDAR\r\nVERSION:1.0\r\nBEGIN:VTODO\r\n" + lines + "END:VTODO\r\nEND:VCALENDAR\r\n";
}

TEST_F(PimToolTest, TaskEditsDeletesAndAddsAreWhatTheNextSyncSendsARuleAloneIncluded) {
    const std::string recurring = "SUMMARY:Recurring\r\nDTSTART:20270503\r\nRRULE:D1 #5\r\n";
    const auto keys = importOk({file("tasks.vcs", todo("SUMMARY:Edited\r\nDUE:20270503\r\n") + todo("SUMMARY:Removed\r\n") +
                                                      todo(recurring) + todo("SUMMARY:Kept\r\n"))},
                               "tasks");
    ASSERT_EQ(keys.size(), 4u);
    const std::string &edited = keys[0], &removed = keys[1], &ruleChanged = keys[2];
    syncRun(keys, true, 4);
    ASSERT_EQ(syncRun({}, false, 4), Changes{});

    ASSERT_EQ(pim({"tasks", "edit", edited, file("e.vcs", todo("SUMMARY:Edited\r\nDUE:20270504\r\n"))}).exitCode, 0);
    ASSERT_EQ(pim({"tasks", "delete", removed}).exitCode, 0);
    std::string rule = recurring;
    rule.replace(rule.find("#5"), 2, "#6");
    ASSERT_EQ(pim({"tasks", "edit", ruleChanged, file("r.vcs", todo(rule))}).exitCode, 0);
    const auto added = importOk({file("new.vcs", todo("SUMMARY:Newcomer\r\n"))}, "tasks");
    ASSERT_EQ(added.size(), 1u);

    Changes found = syncRun({edited, removed, ruleChanged, added[0]}, false, 4);
    std::sort(found.updated.begin(), found.updated.end());
    std::vector<std::string> updated = {edited, ruleChanged};
    std::sort(updated.begin(), updated.end());
    EXPECT_EQ(found, (Changes{updated, {added[0]}, {removed}}));
    EXPECT_EQ(syncRun({}, false, 4), Changes{});
    // The same text again changes nothing.
    ASSERT_EQ(pim({"tasks", "edit", edited, file("e.vcs", todo("SUMMARY:Edited\r\nDUE:20270504\r\n"))}).exitCode, 0);
    EXPECT_EQ(syncRun({}, false, 4), Changes{});
}

TEST_F(PimToolTest, ChangesMadeByAnotherProcessDuringARunAreSentByTheNextOne) {
    const auto keys = importOk({file("three.vcf", kTwoCardsWithLfLineEnds), (kData / "edge-cases.vcf").string()});
    ASSERT_EQ(keys.size(), 3u);
    std::vector<std::string> all = keys;
    syncRun(all, true);
    const std::string &edited = keys[0], &removed = keys[1], &fromServer = keys[2];
    std::string added;
    {
        // The run has scanned the folder; then the tool edits, deletes and adds, and the run applies a
        // server Replace of its own.
        StoreSession run(kKindContacts);
        ASSERT_NE(run.store(), nullptr);
        const SyncAnchor last, next;
        EXPECT_TRUE(StoreSession::keys(run.store()->updatedItems(last, next)).empty());
        ASSERT_EQ(pim({"contacts", "edit", edited, file("e.vcf", "BEGIN:VCARD\r\nFN:Edited meanwhile\r\nEND:VCARD\r\n")}).exitCode, 0);
        ASSERT_EQ(pim({"contacts", "delete", removed}).exitCode, 0);
        const auto fresh = importOk({file("new.vcf", "BEGIN:VCARD\nFN:Added meanwhile\nEND:VCARD\n")});
        ASSERT_EQ(fresh.size(), 1u);
        added = fresh[0];
        ASSERT_TRUE(run.replace(fromServer, "BEGIN:VCARD\r\nFN:From the server\r\nEND:VCARD\r\n"));
    }
    // None of the tool's changes is lost; the run's own write is not sent back.
    EXPECT_EQ(syncRun({edited, removed, added}), (Changes{{edited}, {added}, {removed}}));
    EXPECT_EQ(syncRun({}), Changes{});
}

TEST_F(PimToolTest, WorksWhileASyncRunHoldsTheSameDeviceStore) {
    const auto before = importOk({file("two.vcf", kTwoCardsWithLfLineEnds)});
    StoreSession run(kKindContacts);
    ASSERT_NE(run.store(), nullptr);
    EXPECT_EQ(StoreSession::keys(run.store()->allItems()).size(), 2u);
    const std::string fromServer = run.add("BEGIN:VCARD\r\nFN:From the server\r\nEND:VCARD\r\n");
    ASSERT_NE(fromServer, "");

    const auto during = importOk({file("one.vcf", "BEGIN:VCARD\nFN:During the run\nEND:VCARD\n")});
    ASSERT_EQ(during.size(), 1u);
    const PimRun list = pim({"contacts", "list"});
    ASSERT_EQ(list.exitCode, 0) << list.err;
    EXPECT_EQ(printedLines(list.out).size(), 4u);
    EXPECT_EQ(pim({"contacts", "edit", before[0], file("e.vcf", "BEGIN:VCARD\r\nFN:E\r\nEND:VCARD\r\n")}).exitCode, 0);
    EXPECT_NE(run.text(before[0]).find("FN:E\r\n"), std::string::npos);  // the run reads what the tool wrote
}

}  // namespace
}  // namespace orvale::test

// Backup files: what is written reads back exactly, and a file that is anything but a whole,
// unaltered backup is refused before anything could be done with it.
#include <gtest/gtest.h>

#include <filesystem>

#include "stores/Crc32.h"
#include "stores/backup/BackupFile.h"
#include "stores/backup/FolderBackups.h"
#include "support/TempDeviceRoot.h"

namespace orvale::backup {
namespace {

const std::vector<BackupItem> kItems = {
    {"12", "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Ade;Anna\r\nEND:VCARD\r\n"},
    // Texts that look like the file's own structure, and a key with the top bit set.
    {"-2147483000", "item 5 3\n\nitem 6 0\n"},
    {"7", std::string("\0\xff\r", 3)},
    {"8", ""},
};

std::string goodFile() {
    BackupBuilder b;
    for (const auto& i : kItems) b.add(i.key, i.text);
    return b.finish("Contacts", "20260105T143000Z", BackupReason::FirstSync);
}

// A file whose header and checksum agree with `body`, so that only the item section is wrong.
std::string withBody(const std::string& body, std::size_t items) {
    const std::string fields = "Orvale backup 1\nfolder: Contacts\ntaken: 20260105T143000Z\nreason: slow sync\nitems: " +
                               std::to_string(items) + "\nbytes: " + std::to_string(body.size()) + "\n";
    char crc[16];
    std::snprintf(crc, sizeof crc, "%08x", static_cast<unsigned>(crc32(body, crc32(fields))));
    return fields + "crc32: " + crc + "\n\n" + body;
}

TEST(BackupFile, ReadsBackExactlyWhatWasWritten) {
    const ParsedBackup parsed = parseBackup(goodFile());
    ASSERT_TRUE(parsed.backup) << parsed.problem;
    EXPECT_EQ(parsed.backup->header.folder, "Contacts");
    EXPECT_EQ(parsed.backup->header.taken, "20260105T143000Z");
    EXPECT_EQ(parsed.backup->header.reason, BackupReason::FirstSync);
    ASSERT_EQ(parsed.backup->items.size(), kItems.size());
    for (std::size_t i = 0; i < kItems.size(); ++i) {
        EXPECT_EQ(parsed.backup->items[i].key, kItems[i].key);
        EXPECT_EQ(parsed.backup->items[i].text, kItems[i].text);
    }
    const auto header = readBackupHeader(goodFile().substr(0, kMaxHeaderBytes));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->items, kItems.size());
}

TEST(BackupFile, EveryCutEveryAlteredByteAndEveryAddedByteIsRefused) {
    const std::string good = goodFile();
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_FALSE(parseBackup(good.substr(0, n)).backup) << "cut to " << n << " bytes";
    for (std::size_t at = 0; at < good.size(); ++at) {
        std::string bad = good;
        bad[at] = static_cast<char>(bad[at] ^ 0x20);
        EXPECT_FALSE(parseBackup(bad).backup) << "byte " << at << " altered";
    }
    EXPECT_FALSE(parseBackup(good + "\n").backup);
}

TEST(BackupFile, ItemSectionsThatMatchTheirChecksumAreStillParsedStrictly) {
    const struct {
        const char* what;
        std::string body;
        std::size_t items;
    } cases[] = {
        {"fewer items than the header", "item 1 1\na\n", 2},
        {"more items than the header", "item 1 1\na\nitem 2 1\nb\n", 1},
        {"a repeated key", "item 1 1\na\nitem 1 1\nb\n", 2},
        {"a key the store never writes", "item 007 1\na\n", 1},
        {"a key that is no number", "item x 1\na\n", 1},
        {"a length past the end", "item 1 9\na\n", 1},
        {"no line end after the text", "item 1 1\nab", 1},
        {"a signed length", "item 1 +1\na\n", 1},
        {"no item line", "junk\n", 1},
    };
    for (const auto& c : cases) EXPECT_FALSE(parseBackup(withBody(c.body, c.items)).backup) << c.what;
    EXPECT_TRUE(parseBackup(withBody("item 1 1\na\n", 1)).backup);
}

TEST(FolderBackups, KeepsTheNewestFiveAndListsThemNewestFirst) {
    test::TempDeviceRoot root;
    BackupBuilder items;
    items.add("1", "text");
    const std::int64_t t0 = 1'767'621'600;  // 2026-01-05 14:00:00 UTC
    std::vector<std::string> names;
    for (int i = 0; i < 6; ++i) names.push_back(*writeBackup("Contacts", items, BackupReason::SlowSync, t0 + i * 60));
    // Two in one second get told apart, and the later one counts as newer.
    names.push_back(*writeBackup("Contacts", items, BackupReason::SlowSync, t0 + 5 * 60));
    EXPECT_EQ(names.back(), "20260105T140500Z-2");
    const auto folder = backupFolder("Contacts");
    EXPECT_EQ(folder, root.path() / "Backups" / "Contacts");
    // What is not a finished backup is no entry: a temporary file, a file of another name.
    test::writeFileBytes(folder / ".20260105T150000Z.backup.Ab12Cd", "half");
    test::writeFileBytes(folder / "notes.txt", "x");

    const auto listed = listBackups("Contacts");
    std::vector<std::string> listedNames;
    for (const auto& e : listed) listedNames.push_back(e.name);
    EXPECT_EQ(listedNames, (std::vector<std::string>{"20260105T140500Z-2", "20260105T140500Z", "20260105T140400Z",
                                                     "20260105T140300Z", "20260105T140200Z"}));
    ASSERT_TRUE(listed[0].header);
    EXPECT_EQ(listed[0].header->items, 1u);
    EXPECT_EQ(std::filesystem::status(listed[0].path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_TRUE(listBackups("Tasks").empty());

    // The next write clears the leftover of one that never finished.
    writeBackup("Contacts", items, BackupReason::SlowSync, t0 + 600);
    EXPECT_FALSE(std::filesystem::exists(folder / ".20260105T150000Z.backup.Ab12Cd"));
    EXPECT_EQ(listBackups("Contacts").size(), kBackupsKept);
    EXPECT_TRUE(findBackup("Contacts", "20260105T141000Z"));
    EXPECT_FALSE(findBackup("Contacts", "20260105T140000Z"));
}

}  // namespace
}  // namespace orvale::backup

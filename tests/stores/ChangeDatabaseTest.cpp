// Three runs over the device store, each database checked byte for byte against files written by
// tests/data/stores/make-change-databases.py from first principles (zlib's CRC-32 as the oracle).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/pim/PimSession.h"
#include "stores/ChangeTracker.h"
#include "stores/ProgressReporter.h"
#include "support/TempDeviceRoot.h"

using namespace orvale;
using namespace orvale::platform::pim;

namespace {

constexpr uint32_t kName = 0x0080001F, kWhen = 0x00F00040, kCount = 0x00F10013, kFlag = 0x00F2000B,
                   kExcluded = 0x001B0013;

TrackerProfile profile() {
    return {kFolderContacts,
            {{kName, RowKind::Text}, {kWhen, RowKind::Time}, {kCount, RowKind::Number16}, {kFlag, RowKind::Flag}},
            {}};
}

std::string golden(const char* name) {
    return test::readFileBytes(std::filesystem::path(ORVALE_TEST_DATA) / "stores" / name);
}

struct ChangeDatabaseTest : ::testing::Test {
    test::TempDeviceRoot root;
    void SetUp() override { ASSERT_TRUE(Session::logOn()); }
    void TearDown() override { Session::logOff(); }
    std::string database() { return test::readFileBytes(root.path() / "Contacts.hdb"); }

    uint32_t add(const std::u16string& name, std::vector<PropValue> more = {}) {
        auto c = Session::current()->createItem(kContact);
        PropValue n;
        n.id = kName;
        n.text = name;
        more.push_back(n);
        c->setProps(more);
        EXPECT_TRUE(c->save());
        return c->oid();
    }
    void set(uint32_t oid, PropValue v) {
        auto c = Session::current()->itemByOid(oid);
        c->setProps({v});
        EXPECT_TRUE(c->save());
    }
};

PropValue value(uint32_t id, uint32_t u32 = 0, uint64_t fileTime = 0) {
    PropValue v;
    v.id = id;
    v.u32 = u32;
    v.fileTime = fileTime;
    return v;
}

TEST_F(ChangeDatabaseTest, ThreeRunsRecordWhatTheServerAcceptedByteForByte) {
    const uint32_t ann = add(u"Ann", {value(kWhen, 0, 128261106000000000ull), value(kCount, 0x10005)});
    const uint32_t bob = add(u"Bob");
    const uint32_t cleo = add(u"Cleo");
    add(u"Dan", {value(kWhen, 0, 0x12345678), value(kCount, 0x10000), value(kFlag, 7)});
    {
        ChangeTracker t(profile());
        EXPECT_EQ(t.newList().size(), 4u);
        EXPECT_TRUE(t.updatedList().empty());
        EXPECT_TRUE(t.deletedList().empty());
        for (uint32_t oid : t.newList()) t.acknowledge(oid);
        EXPECT_TRUE(t.save());
    }
    EXPECT_EQ(database(), golden("after-first-run.hdb"));

    PropValue renamed = value(kName);
    renamed.text = u"Anna";
    set(ann, renamed);
    Session::current()->itemByOid(bob)->remove();
    set(cleo, value(kExcluded, 1));
    const uint32_t eve = add(u"\u00C8ve");
    {
        ChangeTracker t(profile());
        EXPECT_EQ(t.updatedList(), std::vector<uint32_t>{ann});
        EXPECT_EQ(t.newList(), std::vector<uint32_t>{eve});
        // Signed order: Cleo's identifier has the top bit set, Bob's has not.
        EXPECT_EQ(t.deletedList(), (std::vector<uint32_t>{cleo, bob}));
        t.acknowledge(bob);  // Ann's replace and Cleo's delete were refused
        std::vector<uint32_t> put = {eve};
        t.preserve(put);  // as the calendar's date window does
        t.acknowledge(eve);
        EXPECT_TRUE(t.save());
    }
    EXPECT_EQ(database(), golden("after-second-run.hdb"));

    {
        ChangeTracker t(profile());
        EXPECT_EQ(t.updatedList(), std::vector<uint32_t>{ann});
        EXPECT_EQ(t.newList(), std::vector<uint32_t>{eve});
        EXPECT_EQ(t.deletedList(), std::vector<uint32_t>{cleo});
        for (auto list : {t.updatedList(), t.newList(), t.deletedList()})
            for (uint32_t oid : list) t.acknowledge(oid);
        EXPECT_TRUE(t.save());
    }
    EXPECT_EQ(database(), golden("after-third-run.hdb"));
    {
        ChangeTracker t(profile());
        EXPECT_TRUE(t.newList().empty() && t.updatedList().empty() && t.deletedList().empty());
        EXPECT_TRUE(t.save());
    }
    EXPECT_EQ(database(), golden("after-third-run.hdb"));
}

TEST_F(ChangeDatabaseTest, UnusableDatabasesCountAsNoRecords) {
    const uint32_t a = add(u"Ann");
    struct Case {
        const char* what;
        bool write;
        std::string bytes;
        size_t newItems;
    } cases[] = {
        {"missing", false, "", 1},
        {"empty", true, "", 1},
        {"a record of another item and a trailing partial record", true, std::string("\x01\0\0\0\0\0\0\0\x02\0\0", 11), 1},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(root.path() / "Contacts.hdb");
        if (c.write) test::writeFileBytes(root.path() / "Contacts.hdb", c.bytes);
        ChangeTracker t(profile());
        EXPECT_EQ(t.newList(), std::vector<uint32_t>{a}) << c.what;
        EXPECT_EQ(t.deletedList().size(), c.bytes.size() >= 8 ? 1u : 0u) << c.what;
        t.acknowledge(a);
        EXPECT_TRUE(t.save()) << c.what;
    }
    // A folder that cannot be written leaves things as they are, and the save says so.
    std::filesystem::remove(root.path() / "Contacts.hdb");
    std::filesystem::create_directory(root.path() / "Contacts.hdb");
    {
        ChangeTracker t(profile());
        EXPECT_EQ(t.newList(), std::vector<uint32_t>{a});
        EXPECT_FALSE(t.save());
        EXPECT_FALSE(t.save());  // asked again, the answer stays
    }
    EXPECT_TRUE(std::filesystem::is_directory(root.path() / "Contacts.hdb"));
}

TEST_F(ChangeDatabaseTest, StatusTextsGoToTheReporterWhenThereIsOne) {
    struct Recorder : ProgressReporter {
        std::vector<std::u16string> shown;
        void showStatus(const std::u16string& text) override { shown.push_back(text); }
        void itemResult(int, int) override {}
    } recorder;
    ChangeTracker(profile()).save();  // no reporter: nothing to show, nothing breaks
    setCurrentProgressReporter(&recorder);
    ChangeTracker(profile()).save();
    setCurrentProgressReporter(nullptr);
    EXPECT_EQ(recorder.shown, (std::vector<std::u16string>{u"Checking for changes...", u"Finalizing changes..."}));
}

}  // namespace

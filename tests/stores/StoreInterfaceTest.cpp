// The store interface as the engine drives it, over a store of the tests' own (TestStore.h).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>

#include "TestStore.h"
#include "platform/pim/PimSession.h"
#include "stores/AnchorFile.h"
#include "stores/ChangeTracker.h"
#include "stores/ChangeTrackerList.h"
#include "stores/DataStoreFactory.h"
#include "stores/KindCode.h"
#include "support/TempDeviceRoot.h"
#include "syncml/CountedObject.h"

using namespace orvale;

namespace {

struct StoreInterfaceTest : ::testing::Test {
    test::TempDeviceRoot root;
    std::unique_ptr<DataStoreFactory> factory;
    void SetUp() override {
        factory = std::make_unique<DataStoreFactory>();
        test::registerTestKinds();  // after the factory, which may put the real kinds in place
        test::lifetimes() = {};
    }
    void TearDown() override { test::registerRealKinds(); }
};

std::string nameOf(DataStoreKind* kind) {
    std::string name = kind ? kind->kindName() : "(null)";
    delete kind;  // never opened a store: its creator frees it
    return name;
}

TEST_F(StoreInterfaceTest, FactoryHandsOutKindsByFolderNameAndCode) {
    const struct {
        const char* text;
        const char* kind;
    } byName[] = {
        {"Contacts", "WinMobileContacts"},
        {"Tasks and Contacts", "WinMobileContacts"},  // "Contacts" is searched first
        {"Calendar Tasks", "WinMobileCalendars"},
        {"My Tasks", "WinMobileTasks"},
        {"contacts", "(null)"},  // case-sensitive
        {"", "(null)"},
    };
    for (const auto& c : byName) EXPECT_EQ(nameOf(factory->createKindByName(c.text)), c.kind) << c.text;

    const struct {
        int code;
        const char* kind;
    } byCode[] = {{1, "WinMobileContacts"}, {2, "WinMobileCalendars"}, {4, "WinMobileTasks"},
                  {0, "(null)"},           {3, "(null)"},               {-1, "(null)"}};
    for (const auto& c : byCode) EXPECT_EQ(nameOf(factory->createKindById(c.code)), c.kind) << c.code;

    for (auto kinds : {factory->allKinds(), factory->allKinds2()}) {
        ASSERT_EQ(kinds.size(), 3u);
        EXPECT_EQ(nameOf(kinds[0]), "WinMobileContacts");
        EXPECT_EQ(nameOf(kinds[1]), "WinMobileTasks");
        EXPECT_EQ(nameOf(kinds[2]), "WinMobileCalendars");
    }
    EXPECT_EQ(factory->name(), "");

    DataStoreKind* tasks = factory->createKindById(kKindTasks);
    EXPECT_EQ(tasks->sourceUri(), "./WinMobileTasks");
    delete tasks;
}

// The registry's names must agree with the file names the tracker and the anchors use.
TEST_F(StoreInterfaceTest, KindTableAgreesWithTheFilesOfEachFolder) {
    for (const KindInfo& k : knownKinds()) {
        EXPECT_EQ(ChangeTracker::databaseName(k.folder), k.changeDatabase) << k.name;
        EXPECT_EQ(std::string("Anchor_") + k.folderName, k.anchorFile) << k.name;
        EXPECT_EQ(kindInfoByFolderName(k.folderName), &k);
    }
    EXPECT_EQ(ChangeTracker::databaseName(11), "");
}

TEST_F(StoreInterfaceTest, TwoCountingConventionsDeleteAtDifferentCounts) {
    // Store side: born with one reference, gone when release takes the count below 1.
    auto* item = new test::TestItem("1");
    EXPECT_EQ(item->refCount(), 1);
    EXPECT_EQ(item->addRef(), item);
    item->release();
    EXPECT_EQ(test::lifetimes().items, 0);
    item->release();
    EXPECT_EQ(test::lifetimes().items, 1);

    // Element side: born with none; the release that brings the count back to 0 deletes.
    struct Element : CountedObject {
        bool* gone;
        explicit Element(bool* g) : CountedObject("Element"), gone(g) {}
        ~Element() override { *gone = true; }
    };
    bool gone = false;
    auto* e = new Element(&gone);
    EXPECT_EQ(e->referenceCount(), 0);
    e->addRef();
    e->addRef();
    e->release();
    EXPECT_FALSE(gone);
    e->release();
    EXPECT_TRUE(gone);
}

TEST_F(StoreInterfaceTest, KindLivesWhileItsStoresAndListsDo) {
    DataStoreKind* kind = factory->createKindById(kKindContacts);
    DataStore* a = kind->openStore(nullptr);
    DataStore* b = kind->openStore(nullptr);
    EXPECT_EQ(kind->openStores(), 2);
    EXPECT_EQ(a->kind(), kind);

    ItemList* list = a->allItems();  // holds a reference on its store
    a->release();
    EXPECT_EQ(test::lifetimes().stores, 0);
    list->release();
    EXPECT_EQ(test::lifetimes().stores, 1);
    EXPECT_EQ(test::lifetimes().kinds, 0);
    b->release();
    EXPECT_EQ(test::lifetimes().stores, 2);
    EXPECT_EQ(test::lifetimes().kinds, 1);  // the last store took the kind with it
}

TEST_F(StoreInterfaceTest, ItemListWalksSignedKeysOnceAndStaysExhausted) {
    DataStoreKind* kind = factory->createKindById(kKindContacts);
    auto* store = static_cast<test::TestStore*>(kind->openStore(nullptr));
    store->texts = {{7, "seven"}};
    auto* list = new ItemList(store, {7, 0x80000000u, 0xFFFFFFFFu});
    EXPECT_EQ(list->count(), 3);
    std::vector<std::string> keys, texts;
    while (list->hasNext()) {
        StoreItem* item = list->next();
        ASSERT_NE(item, nullptr);
        keys.push_back(item->key());
        texts.push_back(item->data());
        item->release();
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"7", "-2147483648", "-1"}));
    EXPECT_EQ(texts, (std::vector<std::string>{"seven", "", ""}));  // a deleted item carries its key only
    EXPECT_EQ(store->keysRead, keys);  // each built exactly as itemByKey builds it
    EXPECT_EQ(list->next(), nullptr);
    EXPECT_EQ(list->next(), nullptr);
    EXPECT_FALSE(list->hasNext());
    list->release();
    store->release();
    EXPECT_EQ(test::lifetimes().items, 3);
}

TEST(StoreKeys, KeysAreSignedDecimalsAndReadBackLeadingDigitsOnly) {
    const struct {
        const char* key;
        uint32_t oid;
    } cases[] = {
        {"7", 7}, {"-1", 0xFFFFFFFFu}, {"-2147483648", 0x80000000u}, {"2147483648", 0x80000000u},
        {"12abc", 12}, {"abc", 0}, {"", 0}, {"  42", 42},
    };
    for (const auto& c : cases) EXPECT_EQ(oidForKey(c.key), c.oid) << c.key;
    for (uint32_t oid : {0u, 1u, 0x7FFFFFFFu, 0x80000000u, 0xDEADBEEFu}) EXPECT_EQ(oidForKey(keyForOid(oid)), oid);
}

TEST_F(StoreInterfaceTest, AnchorFilesAreBareNamesInTheDeviceRoot) {
    // Wherever the process runs, a bare name lands in the device root.
    auto elsewhere = root.path() / "cwd";
    std::filesystem::create_directory(elsewhere);
    auto previous = std::filesystem::current_path();
    std::filesystem::current_path(elsewhere);
    writeAnchorFile("Anchor_Contacts", "20070101T000000Z", "server-7", 1167609600);
    writeAnchorFile("Anchor_Tasks", "a-much-longer-label-than-the-next", "r", 1);
    writeAnchorFile("Anchor_Tasks", "L", "", -5);  // replaced whole
    std::filesystem::current_path(previous);
    EXPECT_FALSE(std::filesystem::exists(elsewhere / "Anchor_Contacts"));
    EXPECT_EQ(test::readFileBytes(root.path() / "Anchor_Contacts"), "20070101T000000Z:server-7:1167609600");
    EXPECT_EQ(test::readFileBytes(root.path() / "Anchor_Tasks"), "L::-5");

    const struct {
        const char* what;
        bool write;
        std::string bytes;
        std::string line;
    } reads[] = {
        {"missing", false, "", ""},
        {"empty", true, "", ""},
        {"empty first line", true, "\na:b:1", ""},
        {"first line only", true, "a:b:1\nc:d:2", "a:b:1"},
        {"no line end", true, "a:b:1", "a:b:1"},
        {"endless line is cut", true, std::string(1 << 20, 'x'), std::string(4096, 'x')},
    };
    for (const auto& r : reads) {
        std::filesystem::remove(root.path() / "Anchor_Calendar");
        if (r.write) test::writeFileBytes(root.path() / "Anchor_Calendar", r.bytes);
        EXPECT_EQ(readAnchorLine("Anchor_Calendar"), r.line) << r.what;
    }
}

TEST_F(StoreInterfaceTest, FactorySavesTheRunsTrackersAndLeavesOtherFoldersAlone) {
    test::writeFileBytes(root.path() / "Tasks.hdb", "12345678");
    auto c = platform::pim::Session::current()->createItem(platform::pim::kContact);
    ASSERT_TRUE(c->save());
    auto* tracker = new ChangeTracker({platform::pim::kFolderContacts, {}, {}});
    tracker->acknowledge(c->oid());
    registerTracker(tracker);
    EXPECT_FALSE(std::filesystem::exists(root.path() / "Contacts.hdb"));
    EXPECT_TRUE(factory->saveChanges());
    factory.reset();
    EXPECT_EQ(test::readFileBytes(root.path() / "Contacts.hdb").size(), 8u);
    EXPECT_EQ(test::readFileBytes(root.path() / "Tasks.hdb"), "12345678");
    EXPECT_EQ(platform::pim::Session::current(), nullptr);
}

// The engine and the stores meet through fixed slots; a reordered declaration would silently change
// which operation a slot calls for code built against the old order. Checked where the ABI makes a
// virtual member pointer carry its slot offset.
template <typename F>
std::ptrdiff_t slotOffset(F f) {
    struct {
        std::uintptr_t ptr;
        std::ptrdiff_t adj;
    } raw;
    static_assert(sizeof(f) == sizeof(raw));
    std::memcpy(&raw, &f, sizeof raw);
    return static_cast<std::ptrdiff_t>(raw.ptr) - 1;
}

template <typename... F>
bool consecutiveSlots(F... fs) {
    std::vector<std::ptrdiff_t> offsets = {slotOffset(fs)...};
    for (size_t i = 1; i < offsets.size(); ++i)
        if (offsets[i] != offsets[i - 1] + static_cast<std::ptrdiff_t>(sizeof(void*))) return false;
    return true;
}

TEST(StoreSlots, OperationsSitInTheirFixedOrder) {
#if defined(__GNUC__) && !defined(_WIN32) && !defined(__arm__)
    EXPECT_TRUE(consecutiveSlots(&DataStore::newItem, &DataStore::allItems, &DataStore::translateKey,
                                 &DataStore::itemByKey, &DataStore::deleteItem, &DataStore::beginItem,
                                 &DataStore::saveAnchor, &DataStore::loadAnchor, &DataStore::updatedItems,
                                 &DataStore::newItems, &DataStore::deletedItems, &DataStore::itemAcknowledged,
                                 &DataStore::slot13, &DataStore::slot14, &DataStore::slot15, &DataStore::release,
                                 &DataStore::addRef));
    EXPECT_TRUE(consecutiveSlots(&StoreItem::key, &StoreItem::slot2, &StoreItem::dataSize, &StoreItem::contentType,
                                 &StoreItem::preferredType, &StoreItem::setData, &StoreItem::data, &StoreItem::slot8,
                                 &StoreItem::slot9, &StoreItem::slot10, &StoreItem::slot11, &StoreItem::slot12,
                                 &StoreItem::slot13, &StoreItem::release, &StoreItem::addRef));
    EXPECT_TRUE(consecutiveSlots(&ItemList::count, &ItemList::release, &ItemList::hasNext, &ItemList::next,
                                 &ItemList::addRef));
    EXPECT_TRUE(consecutiveSlots(&DataStoreKind::kindName, &DataStoreKind::sourceUri, &DataStoreKind::contentType,
                                 &DataStoreKind::openStore, &DataStoreKind::slot5, &DataStoreKind::slot6,
                                 &DataStoreKind::addRef));
    EXPECT_TRUE(consecutiveSlots(&DataStoreFactory::createKindByName, &DataStoreFactory::createKindById,
                                 &DataStoreFactory::allKinds, &DataStoreFactory::allKinds2, &DataStoreFactory::name,
                                 &DataStoreFactory::slot6));
    // The destructor comes first: no operation sits before the first one above.
    EXPECT_EQ(slotOffset(&DataStore::newItem), 2 * static_cast<std::ptrdiff_t>(sizeof(void*)));
#else
    GTEST_SKIP() << "virtual member pointers do not carry slot offsets here";
#endif
}

}  // namespace

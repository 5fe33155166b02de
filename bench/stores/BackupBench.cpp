// A backup of 10,000 contacts next to the export of them, in one process over one device store:
// the export as `orvale-pim export FILE` does it (the full list walked item by item, which reads the
// device ahead in bulk, every text appended, the whole written to a file), the backup as a sync
// takes it (one bulk read of the folder, every item mapped, the file written, synced to disk and
// renamed into place).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "bench/support/SampleContact.h"

#include "stores/DataStore.h"
#include "stores/DataStoreFactory.h"
#include "stores/DataStoreKind.h"
#include "stores/ItemList.h"
#include "stores/KindCode.h"
#include "stores/StoreItem.h"
#include "stores/backup/StoreBackup.h"

using namespace orvale;

namespace {

constexpr int kContacts = 10000;

std::string contact(int i) { return orvale::bench::sampleContact(i); }

// A device root with 10,000 contacts, opened as orvale-pim opens it (no change recording).
struct Folder {
    std::filesystem::path root;
    std::unique_ptr<DataStoreFactory> factory;
    DataStore* store = nullptr;

    Folder() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "orvale-bench-XXXXXX").string();
        if (mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        root = tmpl;
        setenv("ORVALE_DEVICE_ROOT", root.c_str(), 1);
        factory = std::make_unique<DataStoreFactory>(ChangeRecording::Discard);
        store = factory->createKindById(kKindContacts)->openStore(nullptr);
        if (!store->beginWrites()) throw std::runtime_error("no write group");
        for (int i = 0; i < kContacts; ++i) {
            StoreItem* item = store->newItem();
            if (!item->setData(contact(i))) throw std::runtime_error("import failed");
            item->release();
        }
        if (!store->commitWrites()) throw std::runtime_error("import not kept");
    }
    ~Folder() {
        store->release();
        factory.reset();
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
};

Folder& folder() {
    static Folder f;
    return f;
}

void BM_Export10000Contacts(benchmark::State& state) {
    DataStore& store = *folder().store;
    const std::filesystem::path file = folder().root / "export.vcf";
    std::size_t bytes = 0;
    for (auto _ : state) {
        ItemList* list = store.allItems();
        std::string all;
        while (list->hasNext()) {
            StoreItem* item = list->next();
            if (item == nullptr) continue;
            // The key and a copy of the text, as the tool hands each item to its writer.
            const std::string key = item->key();
            const std::string text(item->data(), item->dataSize());
            all += text;
            item->release();
        }
        list->release();
        std::ofstream target(file, std::ios::binary | std::ios::trunc);
        target << all;
        target.close();
        if (!target) throw std::runtime_error("export not written");
        bytes = all.size();
    }
    state.SetItemsProcessed(state.iterations() * kContacts);
    state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_Backup10000Contacts(benchmark::State& state) {
    DataStore& store = *folder().store;
    for (auto _ : state) {
        if (!backup::backUpStore(store, "Contacts", backup::BackupReason::ByHand))
            throw std::runtime_error("backup failed");
    }
    state.SetItemsProcessed(state.iterations() * kContacts);
}

BENCHMARK(BM_Export10000Contacts)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Backup10000Contacts)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();

// The change scan over 10,000 contacts in the device store: a whole tracker lifetime (lists computed
// at construction, database rewritten at destruction) with the folder read in bulk, next to the same
// work done with one device read per item, which is how the scan used to read the folder.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/Base64.h"
#include "platform/pim/PimSession.h"
#include "stores/ChangeTracker.h"

using namespace orvale;
using namespace orvale::platform::pim;

namespace {

constexpr int kContacts = 10000;

uint32_t textProp(uint32_t n) { return (n << 16) | kTypeText; }

// 58 rows as in the contacts table: mostly text, two dates, the picture row left out of the text.
TrackerProfile contactProfile() {
    TrackerProfile p{kFolderContacts, {}, {}};
    for (uint32_t n = 0x80; n < 0x80 + 55; ++n) p.rows.push_back({textProp(n), RowKind::Text});
    p.rows.push_back({0x00F00040, RowKind::Time});
    p.rows.push_back({0x00F10040, RowKind::Time});
    p.rows.push_back({kPictureProp, RowKind::Skip});
    p.extraText = [](Item& item, const std::vector<PropValue>&) {
        std::string pic = item.picture().substr(0, 64000);
        std::u16string out;
        if (pic.empty()) return out;
        for (char c : platform::base64Encode(pic)) out.push_back(static_cast<char16_t>(c));
        return out;
    };
    return p;
}

// About 0.5 KB of properties per contact; one in twenty carries a 4 KB picture.
void fillStore() {
    for (int i = 0; i < kContacts; ++i) {
        auto c = Session::current()->createItem(kContact);
        std::vector<PropValue> vals;
        for (uint32_t k = 0; k < 12; ++k) {
            PropValue v;
            v.id = textProp(0x80 + k * 4);
            v.text = u"Value " + std::u16string(1, static_cast<char16_t>(u'A' + k)) + u" of contact " +
                     std::u16string(static_cast<size_t>(k % 3) + 1, u'x');
            vals.push_back(v);
        }
        PropValue birthday;
        birthday.id = 0x00F00040;
        birthday.fileTime = 0x01C7000000000000ull + static_cast<uint64_t>(i) * 864000000000ull;
        vals.push_back(birthday);
        c->setProps(vals);
        if (i % 20 == 0) c->setPicture(std::string(4096, static_cast<char>(i & 0x7F)));
        c->save();
    }
}

struct Store {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "orvale-bench-changescan";
    Store() {
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        setenv("ORVALE_DEVICE_ROOT", dir.c_str(), 1);
        Session::logOn();
        fillStore();
    }
    ~Store() {
        Session::logOff();
        std::filesystem::remove_all(dir);
    }
};

Store& store() {
    static Store s;
    return s;
}

void perItemCounters(benchmark::State& state) {
    state.counters["per_item_us"] =
        benchmark::Counter(kContacts, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_TrackerLifetimeBulkRead(benchmark::State& state) {
    store();
    TrackerProfile profile = contactProfile();
    for (auto _ : state) {
        ChangeTracker t(profile);
        benchmark::DoNotOptimize(t.newList().size());
        benchmark::DoNotOptimize(t.save());
    }
    perItemCounters(state);
}

// The folder read alone, once: what the bulk lifetime above spends in the database per pass.
void BM_BulkFolderReadOnly(benchmark::State& state) {
    store();
    TrackerProfile profile = contactProfile();
    std::vector<uint32_t> ids;
    for (const auto& r : profile.rows) ids.push_back(r.id);
    for (auto _ : state) {
        auto items = Session::current()->readFolder(kFolderContacts, ids, 64000);
        benchmark::DoNotOptimize(items->size());
    }
    perItemCounters(state);
}

// The same two passes (compute, save) reading and fingerprinting one item at a time.
void BM_TrackerLifetimePerItemRead(benchmark::State& state) {
    store();
    ChangeTracker fingerprinter(contactProfile());
    for (auto _ : state) {
        for (int pass = 0; pass < 2; ++pass) {
            auto items = Session::current()->defaultFolderItems(kFolderContacts);
            if (pass == 0) items->sort("[Oid]");
            uint32_t sum = 0;
            for (int i = 1; i <= items->count(); ++i) {
                auto item = items->item(i);
                if (item && !ChangeTracker::excluded(*item)) sum += fingerprinter.fingerprint(*item);
            }
            benchmark::DoNotOptimize(sum);
        }
    }
    perItemCounters(state);
}

}  // namespace

BENCHMARK(BM_TrackerLifetimeBulkRead)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_BulkFolderReadOnly)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TrackerLifetimePerItemRead)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();

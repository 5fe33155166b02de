#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "platform/pim/PimSession.h"
#include "stores/ChangeTracker.h"

using namespace orvale;
using namespace orvale::platform::pim;

static void BM_ChangeScan10000Contacts(benchmark::State& state) {
    auto dir = std::filesystem::temp_directory_path() / "orvale-bench-changescan";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    setenv("ORVALE_DEVICE_ROOT", dir.c_str(), 1);
    Session::logOn();
    TrackerProfile profile{kFolderContacts, {}, {}};
    for (uint32_t i = 0; i < 58; ++i) profile.rows.push_back({0x00800000u + (i << 16) + 0x001F, RowKind::Text});
    for (int i = 0; i < 10000; ++i) {
        auto c = Session::current()->createItem(kContact);
        std::vector<PropValue> vals;
        for (uint32_t k = 0; k < 8; ++k) {
            PropValue v;
            v.id = 0x00800000u + (k << 16) + 0x001F;
            v.text = u"Value of field number " + std::u16string(1, static_cast<char16_t>(u'A' + k));
            vals.push_back(v);
        }
        c->setProps(vals);
        c->save();
    }
    for (auto _ : state) {
        ChangeTracker t(profile);
        benchmark::DoNotOptimize(t.newList().size());
    }
    state.counters["per_item_us"] = benchmark::Counter(10000, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert) ;
    Session::logOff();
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ChangeScan10000Contacts)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();

// The change scan over 10,000 events in the device store, one in ten recurring, with the date window
// off and on: a whole tracker lifetime as a sync run has it (lists computed at the first list
// operation and passed through the window, database rewritten when the run's factory goes), once
// as a first run that finds every event new and once as a run that finds nothing changed.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "platform/DevicePaths.h"
#include "platform/pim/PimSession.h"
#include "stores/DataStore.h"
#include "stores/DataStoreFactory.h"
#include "stores/DataStoreKind.h"
#include "stores/ItemList.h"
#include "stores/KindCode.h"
#include "stores/SyncAnchor.h"
#include "stores/calendar/CalendarDateWindow.h"
#include "stores/calendar/EventDevice.h"

using namespace orvale;

namespace {

constexpr int kEvents = 10000;

std::string stamp(std::time_t t) {
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y%m%dT%H%M%SZ", std::gmtime(&t));
    return buf;
}

// Spread over two years around now, so that the window holds about a tenth of them.
std::string event(int i) {
    const std::time_t start = std::time(nullptr) + (static_cast<std::time_t>(i % 730) - 365) * 86400 + 3600 * (i % 9);
    std::string text = "BEGIN:VCALENDAR\r\nVERSION:1.0\r\nBEGIN:VEVENT\r\nSUMMARY:Event " + std::to_string(i) +
                       "\r\nDESCRIPTION:Meeting number " + std::to_string(i) + " of the benchmark set.\r\nLOCATION:Room " +
                       std::to_string(i % 40) + "\r\nDTSTART:" + stamp(start) + "\r\nDTEND:" + stamp(start + 3600) +
                       "\r\nAALARM:" + stamp(start - 900) + "\r\nCATEGORIES:Business;Project\r\n";
    if (i % 10 == 0) text += "RRULE:W1 MO WE #0\r\nEXDATE:" + stamp(start + 7 * 86400) + "\r\n";
    if (i % 7 == 0) text += "ATTENDEE:person" + std::to_string(i) + "@example.org\r\n";
    return text + "END:VEVENT\r\nEND:VCALENDAR\r\n";
}

struct Store {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "orvale-bench-calendarscan";
    Store() {
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        setenv("ORVALE_DEVICE_ROOT", dir.c_str(), 1);
        platform::pim::Session::logOn();
        for (int i = 0; i < kEvents; ++i) {
            std::string key;
            calendar::writeEvent(*calendar::importEvent(event(i)), key);
        }
        platform::pim::Session::logOff();
    }
    ~Store() { std::filesystem::remove_all(dir); }
};

// One tracker lifetime; the number of events it listed.
std::size_t runOnce() {
    DataStoreFactory factory;
    DataStore* s = factory.createKindById(kKindCalendar)->openStore(nullptr);
    const SyncAnchor none;
    std::size_t listed = 0;
    // Every listed event is acknowledged, as the server's statuses do in a run.
    for (ItemList* list : {s->updatedItems(none, none), s->newItems(none, none), s->deletedItems(none, none)}) {
        listed += static_cast<std::size_t>(list->count());
        for (const uint32_t oid : list->ids()) s->itemAcknowledged(keyForOid(oid));
        list->release();
    }
    s->release();
    benchmark::DoNotOptimize(factory.saveChanges());
    return listed;
}

void scan(benchmark::State& state, bool window, bool firstRun) {
    static Store store;
    calendar::setCalendarDateWindow(window ? std::optional(calendar::DateWindow{7, 30}) : std::nullopt);
    // An unchanged scan follows a run with the same window: one the window kept events out of
    // leaves them unrecorded, and the next run without it would list them as new.
    if (!firstRun) runOnce();
    std::size_t listed = 0;
    for (auto _ : state) {
        if (firstRun) {
            state.PauseTiming();
            std::filesystem::remove(platform::hostPath("Calendar.hdb"));
            state.ResumeTiming();
        }
        listed = runOnce();
    }
    state.counters["listed"] = static_cast<double>(listed);
    calendar::setCalendarDateWindow(std::nullopt);
}

void BM_FirstScanWindowOff(benchmark::State& state) { scan(state, false, true); }
void BM_FirstScanWindowOn(benchmark::State& state) { scan(state, true, true); }
void BM_UnchangedScanWindowOff(benchmark::State& state) { scan(state, false, false); }
void BM_UnchangedScanWindowOn(benchmark::State& state) { scan(state, true, false); }

}  // namespace

BENCHMARK(BM_FirstScanWindowOff)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FirstScanWindowOn)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_UnchangedScanWindowOff)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_UnchangedScanWindowOn)->Unit(benchmark::kMillisecond)->Iterations(5);

BENCHMARK_MAIN();

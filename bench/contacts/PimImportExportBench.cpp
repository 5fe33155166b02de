// orvale-pim importing 10,000 contacts, and 10,000 calendar events (one in ten recurring), into a
// fresh device store and exporting them again, timed as a person would run it: whole processes,
// the store on disk.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "bench/support/SampleContact.h"

namespace {

constexpr int kItems = 10000;

std::string contact(int i) { return orvale::bench::sampleContact(i); }

std::string event(int i) {
    const std::string n = std::to_string(i);
    const std::string day = std::to_string(20270101 + i % 28 + (i / 28 % 12) * 100);
    std::string text = "BEGIN:VCALENDAR\r\nVERSION:1.0\r\nBEGIN:VEVENT\r\nSUMMARY:Event " + n +
                       "\r\nDESCRIPTION;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:Agenda in G=C3=B6teborg.=0D=0ASecond line." +
                       "\r\nLOCATION:Room " + n + "\r\nDTSTART:" + day + "T090000Z\r\nDTEND:" + day +
                       "T100000Z\r\nAALARM:" + day + "T084500Z\r\nCATEGORIES:Business;Project\r\nATTENDEE:person" + n +
                       "@example.com\r\n";
    if (i % 10 == 0) text += "RRULE:W1 MO WE #10\r\nEXDATE:" + day + "T090000Z\r\n";
    return text + "END:VEVENT\r\nEND:VCALENDAR\r\n";
}

struct Scratch {
    std::filesystem::path dir;
    Scratch() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "orvale-bench-XXXXXX").string();
        if (mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        dir = tmpl;
        std::filesystem::create_directories(dir / "root");
    }
    ~Scratch() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

void pim(const Scratch& s, const std::string& args) {
    const std::string command = "ORVALE_DEVICE_ROOT='" + (s.dir / "root").string() + "' '" ORVALE_PIM "' " + args +
                                " >/dev/null";
    const int status = std::system(command.c_str());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error("orvale-pim failed: " + args);
}

double seconds(const std::function<void()>& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

enum class Timed { Import, Export, Backup };

// Each iteration imports into a fresh store and exports from it (or backs it up); only the step
// asked for is timed.
void importThenExport(benchmark::State& state, const std::string& folder, std::string (*item)(int), Timed timed) {
    for (auto _ : state) {
        Scratch s;
        const auto input = s.dir / "in.txt";
        {
            std::ofstream out(input, std::ios::binary);
            for (int i = 0; i < kItems; ++i) out << item(i);
        }
        const double importing = seconds([&] { pim(s, folder + " import '" + input.string() + "'"); });
        const double exporting = timed == Timed::Backup
                                     ? seconds([&] { pim(s, folder + " backup"); })
                                     : seconds([&] { pim(s, folder + " export '" + (s.dir / "out.txt").string() + "'"); });
        state.SetIterationTime(timed == Timed::Import ? importing : exporting);
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}

void BM_PimImport10000Contacts(benchmark::State& state) { importThenExport(state, "contacts", contact, Timed::Import); }
void BM_PimExport10000Contacts(benchmark::State& state) { importThenExport(state, "contacts", contact, Timed::Export); }
void BM_PimBackup10000Contacts(benchmark::State& state) { importThenExport(state, "contacts", contact, Timed::Backup); }
void BM_PimImport10000Events(benchmark::State& state) { importThenExport(state, "calendar", event, Timed::Import); }
void BM_PimExport10000Events(benchmark::State& state) { importThenExport(state, "calendar", event, Timed::Export); }

BENCHMARK(BM_PimImport10000Contacts)->Iterations(1)->Unit(benchmark::kSecond)->UseManualTime();
BENCHMARK(BM_PimExport10000Contacts)->Iterations(1)->Unit(benchmark::kSecond)->UseManualTime();
BENCHMARK(BM_PimBackup10000Contacts)->Iterations(1)->Unit(benchmark::kSecond)->UseManualTime();
BENCHMARK(BM_PimImport10000Events)->Iterations(1)->Unit(benchmark::kSecond)->UseManualTime();
BENCHMARK(BM_PimExport10000Events)->Iterations(1)->Unit(benchmark::kSecond)->UseManualTime();

}  // namespace

BENCHMARK_MAIN();

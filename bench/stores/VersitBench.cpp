// Parsing and writing 10,000 contacts as a server sends them: about half a kilobyte each, some with
// quoted-printable text, some with folded lines, a few with a picture.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "stores/versit/VersitDocument.h"

namespace {

constexpr std::size_t kContacts = 10000;

std::string base64Picture(std::size_t bytes, std::uint32_t seed) {
    static constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < bytes * 4 / 3; ++i) {
        seed = seed * 1103515245u + 12345u;
        out += alphabet[(seed >> 16) & 63];
    }
    return out + "==";
}

// Folded the way servers fold: 75 characters, then CR LF and a space.
std::string folded(const std::string& line) {
    std::string out;
    for (std::size_t at = 0; at < line.size(); at += 74) {
        if (at > 0) out += "\r\n ";
        out += line.substr(at, 74);
    }
    return out + "\r\n";
}

std::string contact(std::size_t i) {
    const std::string n = std::to_string(i);
    std::string v = "BEGIN:VCARD\r\nVERSION:2.1\r\n";
    v += "N:Surname" + n + ";Given;Middle;Dr.;\r\n";
    v += "FN:Dr. Given Middle Surname" + n + "\r\n";
    v += "ORG:Harbour Freight Logistics Ltd;Customs Clearance\r\n";
    v += "TEL;WORK;VOICE:+44 20 7946 " + n + "\r\n";
    v += "TEL;HOME:+44 20 7946 0991\r\n";
    v += "TEL;CELL:+44 7700 900" + n + "\r\n";
    v += "EMAIL;INTERNET:given.surname" + n + "@harbour.example\r\n";
    v += "ADR;WORK:;;12 Quay Road;Dover;Kent;CT17 9BU;United Kingdom\r\n";
    v += "URL:http\\://harbour.example/staff/" + n + "\r\n";
    v += "BDAY:19750312\r\n";
    if (i % 3 == 0) {
        v += "NOTE;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:Met at the M=C3=BCnchen fair=0D=0AFollow up =\r\n"
             "in M=C3=A4rz about the =E2=82=AC pricing\r\n";
    } else if (i % 3 == 1) {
        v += folded("NOTE:Prefers calls in the morning\\; deliveries to the side entrance\\, "
                    "never on Fridays. Ask for the loading bay key at reception.");
    }
    v += "X-ORVALE-CATEGORIES:Business\\, Suppliers\r\n";
    if (i % 200 == 0) v += folded("PHOTO;ENCODING=BASE64;TYPE=JPEG:" + base64Picture(6000, static_cast<std::uint32_t>(i)));
    v += "UID:" + std::to_string(-2000000000 + static_cast<long>(i) * 7919) + "\r\nEND:VCARD\r\n";
    return v;
}

const std::vector<std::string>& contacts() {
    static const std::vector<std::string> all = [] {
        std::vector<std::string> v;
        for (std::size_t i = 0; i < kContacts; ++i) v.push_back(contact(i));
        return v;
    }();
    return all;
}

std::size_t totalBytes() {
    std::size_t bytes = 0;
    for (const auto& c : contacts()) bytes += c.size();
    return bytes;
}

void finish(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * totalBytes()));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kContacts));
    state.counters["bytes_per_item"] = static_cast<double>(totalBytes()) / kContacts;
}

void BM_VersitParse(benchmark::State& state) {
    for (auto _ : state) {
        for (const auto& text : contacts()) {
            orvale::VersitDocument doc("VCARD", "", "2.1");
            benchmark::DoNotOptimize(doc.parse(text));
        }
    }
    finish(state);
}

void BM_VersitSerialize(benchmark::State& state) {
    std::vector<orvale::VersitDocument> docs;
    docs.reserve(kContacts);
    for (const auto& text : contacts()) {
        docs.emplace_back("VCARD", "", "2.1");
        docs.back().parse(text);
    }
    for (auto _ : state) {
        for (const auto& doc : docs) benchmark::DoNotOptimize(doc.serialize());
    }
    finish(state);
}

// The figure the goal is set for: received text in, text out.
void BM_VersitParseAndSerialize(benchmark::State& state) {
    for (auto _ : state) {
        for (const auto& text : contacts()) {
            orvale::VersitDocument doc("VCARD", "", "2.1");
            doc.parse(text);
            benchmark::DoNotOptimize(doc.serialize());
        }
    }
    finish(state);
}

BENCHMARK(BM_VersitParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VersitSerialize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VersitParseAndSerialize)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// Encode and decode throughput of our WBXML and XML codecs on two realistic messages (a client's
// Sync of 60 vCard Adds, a server's reply of 100 Statuses and 30 Replaces), with libwbxml2 converting
// the same bytes in the same run: its XML -> WBXML beside our encoder, its WBXML -> XML beside our
// decoder. At the end a table gives libwbxml2's CPU time per message over ours, per direction.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#pragma GCC diagnostic ignored "-Wpedantic"
#include <wbxml/wbxml.h>
#include <wbxml/wbxml_conv.h>
#pragma GCC diagnostic pop

#include "syncml/codec/MessageRecords.h"
#include "syncml/codec/WbxmlReader.h"
#include "syncml/codec/WbxmlWriter.h"
#include "syncml/codec/XmlReader.h"
#include "syncml/codec/XmlWriter.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace {

using namespace orvale;

struct Message {
    const char* name;
    std::string xml;    // as our XML writer writes it
    std::string wbxml;  // as our WBXML writer writes it
    DecodedMessage records;
};

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

const std::uint8_t* bytesOf(const std::string& s) { return reinterpret_cast<const std::uint8_t*>(s.data()); }

ToolkitCode encode(MessageWriter& w, const DecodedMessage& m, std::string& out) {
    w.begin(reinterpret_cast<std::uint8_t*>(out.data()), out.size());
    const ToolkitCode c = writeMessage(w, *m.header, m.commands);
    out.resize(c == code::Ok ? w.written() : 0);
    return c;
}

std::vector<Message>& messages() {
    static std::vector<Message> all = [] {
        std::vector<Message> list(2);
        list[0].name = "client-sync-60-vcards";
        list[1].name = "server-reply-100-statuses-30-replaces";
        for (Message& m : list) {
            m.xml = fileBytes(std::string(ORVALE_TEST_DATA) + "/syncml/" + m.name + ".xml");
            XmlReader r(bytesOf(m.xml), m.xml.size());
            if (r.readProlog() != code::Ok || decodeMessage(r, m.records) != code::Ok) {
                std::fprintf(stderr, "%s does not decode\n", m.name);
                std::exit(1);
            }
            WbxmlWriter w(Namespace::SyncML, 2);
            m.wbxml.assign(m.xml.size() * 2, '\0');
            if (encode(w, m.records, m.wbxml) != code::Ok) std::exit(1);
        }
        return list;
    }();
    return all;
}

void encodeBench(benchmark::State& state, bool xml) {
    const Message& m = messages()[static_cast<std::size_t>(state.range(0))];
    std::string out;
    for (auto _ : state) {
        out.assign(m.xml.size() * 2, '\0');
        WbxmlWriter wbxml(Namespace::SyncML, 2);
        XmlWriter text(2);
        if (encode(xml ? static_cast<MessageWriter&>(text) : wbxml, m.records, out) != code::Ok) state.SkipWithError("encode");
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * (xml ? m.xml : m.wbxml).size()));
    state.SetLabel(m.name);
}

void decodeBench(benchmark::State& state, bool xml) {
    const Message& m = messages()[static_cast<std::size_t>(state.range(0))];
    const std::string& in = xml ? m.xml : m.wbxml;
    for (auto _ : state) {
        DecodedMessage records;
        ToolkitCode c = code::Ok;
        if (xml) {
            XmlReader r(bytesOf(in), in.size());
            c = r.readProlog();
            if (c == code::Ok) c = decodeMessage(r, records);
        } else {
            WbxmlReader r(bytesOf(in), in.size(), Namespace::SyncML);
            c = r.readHeader();
            if (c == code::Ok) c = decodeMessage(r, records);
        }
        if (c != code::Ok) state.SkipWithError("decode");
        benchmark::DoNotOptimize(records.commands.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * in.size()));
    state.SetLabel(m.name);
}

void BM_EncodeWbxml(benchmark::State& s) { encodeBench(s, false); }
void BM_DecodeWbxml(benchmark::State& s) { decodeBench(s, false); }
void BM_EncodeXml(benchmark::State& s) { encodeBench(s, true); }
void BM_DecodeXml(benchmark::State& s) { decodeBench(s, true); }

// libwbxml2 XML -> WBXML of our XML: the encoding direction.
void BM_LibwbxmlXmlToWbxml(benchmark::State& state) {
    const Message& m = messages()[static_cast<std::size_t>(state.range(0))];
    WBXMLGenWBXMLParams params{};
    params.wbxml_version = WBXML_VERSION_12;
    params.use_strtbl = FALSE;
    for (auto _ : state) {
        WB_UTINY* out = nullptr;
        WB_ULONG len = 0;
        if (wbxml_conv_xml2wbxml_withlen(reinterpret_cast<WB_UTINY*>(const_cast<char*>(m.xml.data())),
                                         static_cast<WB_ULONG>(m.xml.size()), &out, &len, &params) != WBXML_OK)
            state.SkipWithError("libwbxml2 xml2wbxml");
        benchmark::DoNotOptimize(out);
        std::free(out);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * m.xml.size()));
    state.SetLabel(m.name);
}

// libwbxml2 WBXML -> XML of our WBXML: the decoding direction.
void BM_LibwbxmlWbxmlToXml(benchmark::State& state) {
    const Message& m = messages()[static_cast<std::size_t>(state.range(0))];
    WBXMLGenXMLParams params{};
    params.gen_type = WBXML_GEN_XML_COMPACT;
    params.lang = WBXML_LANG_UNKNOWN;
    params.charset = WBXML_CHARSET_UNKNOWN;
    for (auto _ : state) {
        WB_UTINY* out = nullptr;
        WB_ULONG len = 0;
        if (wbxml_conv_wbxml2xml_withlen(const_cast<WB_UTINY*>(bytesOf(m.wbxml)), static_cast<WB_ULONG>(m.wbxml.size()),
                                         &out, &len, &params) != WBXML_OK)
            state.SkipWithError("libwbxml2 wbxml2xml");
        benchmark::DoNotOptimize(out);
        std::free(out);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * m.wbxml.size()));
    state.SetLabel(m.name);
}

BENCHMARK(BM_EncodeWbxml)->Arg(0)->Arg(1);
BENCHMARK(BM_LibwbxmlXmlToWbxml)->Arg(0)->Arg(1);
BENCHMARK(BM_DecodeWbxml)->Arg(0)->Arg(1);
BENCHMARK(BM_LibwbxmlWbxmlToXml)->Arg(0)->Arg(1);
BENCHMARK(BM_EncodeXml)->Arg(0)->Arg(1);
BENCHMARK(BM_DecodeXml)->Arg(0)->Arg(1);

// Console output as usual, then libwbxml2's time per message over ours for each direction.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // With repetitions the median stands for the benchmark.
        for (const Run& r : runs) {
            const bool aggregate = r.run_type == Run::RT_Aggregate;
            if (!aggregate || r.aggregate_name == "median") times_[r.run_name.str()] = r.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nlibwbxml2 time / our time, per message (goal: at least 5)\n");
        for (const char* arg : {"0", "1"}) {
            const std::string a = std::string("/") + arg;
            ratio("encode (ours records->WBXML, libwbxml2 XML->WBXML)", "BM_LibwbxmlXmlToWbxml" + a, "BM_EncodeWbxml" + a,
                  arg);
            ratio("decode (ours WBXML->records, libwbxml2 WBXML->XML)", "BM_LibwbxmlWbxmlToXml" + a, "BM_DecodeWbxml" + a,
                  arg);
        }
    }

private:
    void ratio(const char* what, const std::string& theirs, const std::string& ours, const char* arg) {
        if (times_.count(theirs) == 0 || times_.count(ours) == 0 || times_[ours] <= 0) return;
        std::printf("  %-38s %-52s %6.1fx\n", messages()[arg[0] == '0' ? 0 : 1].name, what, times_[theirs] / times_[ours]);
    }
    std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

// Decoding time of every kind of list a server message can hold, at N and 4N entries, with the
// entries of two lists of one element interleaved where the element has two. Appending must not walk
// the list, so 4N entries should cost about four times N: the table at the end gives the ratio per
// kind (goal: at most 5).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "syncml/codec/MessageRecords.h"
#include "syncml/codec/XmlReader.h"

namespace {

using namespace orvale;

constexpr int kN = 12500;

struct ListKind {
    const char* name;
    bool devInf;         // the entries stand inside a server's device information
    const char* before;  // up to the first entry
    std::string (*entry)(int i);
    const char* after;
};

const char* const kHeader =
    "<?xml version=\"1.0\"?><SyncML xmlns='SYNCML:SYNCML1.1'><SyncHdr><VerDTD>1.1</VerDTD>"
    "<VerProto>SyncML/1.1</VerProto><SessionID>1</SessionID><MsgID>2</MsgID><Target><LocURI>IMEI:1</LocURI>"
    "</Target><Source><LocURI>http://s/</LocURI></Source></SyncHdr><SyncBody>";
const char* const kDevInfStart =
    "<Results><CmdID>1</CmdID><MsgRef>1</MsgRef><CmdRef>1</CmdRef><Item><Source><LocURI>./devinf11</LocURI>"
    "</Source><Data><DevInf xmlns='syncml:devinf'><VerDTD>1.1</VerDTD><DevID>s</DevID><DevTyp>server</DevTyp>";
const char* const kDevInfEnd = "</DevInf></Data></Item></Results><Final/></SyncBody></SyncML>";

const std::vector<ListKind>& kinds() {
    static const std::vector<ListKind> all = {
        {"Status TargetRef/SourceRef", false,
         "<Status><CmdID>1</CmdID><MsgRef>1</MsgRef><CmdRef>1</CmdRef><Cmd>Add</Cmd>",
         [](int i) { return "<TargetRef>t" + std::to_string(i) + "</TargetRef><SourceRef>s" + std::to_string(i) + "</SourceRef>"; },
         "<Data>200</Data></Status><Final/></SyncBody></SyncML>"},
        {"Sync Add Items", false,
         "<Sync><CmdID>1</CmdID><Add><CmdID>2</CmdID>",
         [](int i) { return "<Item><Source><LocURI>" + std::to_string(i) + "</LocURI></Source><Data>x</Data></Item>"; },
         "</Add></Sync><Final/></SyncBody></SyncML>"},
        {"Map MapItems", false,
         "<Map><CmdID>1</CmdID><Target><LocURI>./c</LocURI></Target><Source><LocURI>./c</LocURI></Source>",
         [](int i) {
             return "<MapItem><Target><LocURI>" + std::to_string(i) + "</LocURI></Target><Source><LocURI>" +
                    std::to_string(i) + "</LocURI></Source></MapItem>";
         },
         "</Map><Final/></SyncBody></SyncML>"},
        {"DevInf DataStores", true, "", [](int i) { return "<DataStore><SourceRef>./" + std::to_string(i) + "</SourceRef></DataStore>"; },
         ""},
        {"DataStore Rx/Tx", true, "<DataStore><SourceRef>./c</SourceRef>",
         [](int i) {
             const std::string v = std::to_string(i);
             return "<Rx><CTType>a/" + v + "</CTType><VerCT>1</VerCT></Rx><Tx><CTType>b/" + v + "</CTType><VerCT>1</VerCT></Tx>";
         },
         "</DataStore>"},
        {"CTCap CTTypes", true, "<CTCap>", [](int i) { return "<CTType>t/" + std::to_string(i) + "</CTType>"; }, "</CTCap>"},
        {"CTCap PropNames", true, "<CTCap><CTType>text/x-vcard</CTType>",
         [](int i) { return "<PropName>P" + std::to_string(i) + "</PropName>"; }, "</CTCap>"},
        {"CTCap ParamNames", true, "<CTCap><CTType>text/x-vcard</CTType><PropName>TEL</PropName>",
         [](int i) { return "<ParamName>P" + std::to_string(i) + "</ParamName>"; }, "</CTCap>"},
        {"CTCap ValEnums", true, "<CTCap><CTType>text/x-vcard</CTType><PropName>TEL</PropName>",
         [](int i) { return "<ValEnum>V" + std::to_string(i) + "</ValEnum>"; }, "</CTCap>"},
        {"DevInf Exts", true, "", [](int i) { return "<Ext><XNam>X" + std::to_string(i) + "</XNam><XVal>1</XVal><XVal>2</XVal></Ext>"; },
         ""},
    };
    return all;
}

std::string message(const ListKind& k, int n) {
    std::string m = kHeader;
    if (k.devInf) m += kDevInfStart;
    m += k.before;
    for (int i = 0; i < n; ++i) m += k.entry(i);
    m += k.after;
    if (k.devInf) m += kDevInfEnd;
    return m;
}

void BM_DecodeList(benchmark::State& state) {
    const ListKind& k = kinds()[static_cast<std::size_t>(state.range(0))];
    const std::string in = message(k, static_cast<int>(state.range(1)));
    for (auto _ : state) {
        DecodedMessage records;
        XmlReader r(reinterpret_cast<const std::uint8_t*>(in.data()), in.size());
        ToolkitCode c = r.readProlog();
        if (c == code::Ok) c = decodeMessage(r, records);
        if (c != code::Ok) state.SkipWithError("decode");
        benchmark::DoNotOptimize(records.commands.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * in.size()));
    state.SetLabel(k.name);
}

void kindArgs(benchmark::internal::Benchmark* b) {
    for (std::size_t i = 0; i < kinds().size(); ++i) {
        b->Args({static_cast<std::int64_t>(i), kN});
        b->Args({static_cast<std::int64_t>(i), 4 * kN});
    }
}
BENCHMARK(BM_DecodeList)->Apply(kindArgs)->Unit(benchmark::kMillisecond);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.run_type != Run::RT_Aggregate || r.aggregate_name == "median") times_[r.run_name.str()] = r.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\ndecode time for %d entries / for %d, per list kind (goal: at most 5)\n", 4 * kN, kN);
        for (std::size_t i = 0; i < kinds().size(); ++i) {
            const std::string base = "BM_DecodeList/" + std::to_string(i) + "/";
            const double small = times_[base + std::to_string(kN)];
            const double large = times_[base + std::to_string(4 * kN)];
            if (small > 0) std::printf("  %-30s %6.2fx\n", kinds()[i].name, large / small);
        }
    }

private:
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

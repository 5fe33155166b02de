#include "tools/dump/MessageDump.h"

#include <cstring>
#include <vector>

#include "syncml/DevInfDocument.h"
#include "syncml/Toolkit.h"
#include "syncml/RecordLayout.h"
#include "syncml/codec/MessageRecords.h"
#include "syncml/codec/RecordWriter.h"
#include "syncml/codec/XmlWriter.h"

namespace orvale::dump_tool {

namespace {

using toolkit::InstanceId;

ToolkitCode push(void* u, DecodedKind kind, void* record) {
    DecodedCommand c;
    c.kind = kind;
    c.layout = record != nullptr ? commandLayout(kind) : nullptr;
    c.record = record;
    static_cast<DecodedMessage*>(u)->commands.push_back(c);
    return code::Ok;
}

template <DecodedKind K, class R>
ToolkitCode collect(InstanceId, void* u, R* record) {
    return push(u, K, record);
}

template <DecodedKind K>
ToolkitCode collectEnd(InstanceId, void* u) {
    return push(u, K, nullptr);
}

toolkit::Callbacks collectingCallbacks() {
    toolkit::Callbacks cb;
    cb.startMessage = [](InstanceId, void* u, HeaderRecord* r) {
        static_cast<DecodedMessage*>(u)->header = r;
        return code::Ok;
    };
    cb.endMessage = [](InstanceId, void* u, bool final) {
        DecodedCommand c;
        c.final = final;
        static_cast<DecodedMessage*>(u)->commands.push_back(c);
        return code::Ok;
    };
    cb.startSync = collect<DecodedKind::Sync, SyncRecord>;
    cb.endSync = collectEnd<DecodedKind::SyncEnd>;
    cb.startAtomic = collect<DecodedKind::Atomic, GenericRecord>;
    cb.endAtomic = collectEnd<DecodedKind::AtomicEnd>;
    cb.startSequence = collect<DecodedKind::Sequence, GenericRecord>;
    cb.endSequence = collectEnd<DecodedKind::SequenceEnd>;
    cb.add = collect<DecodedKind::Add, GenericRecord>;
    cb.alert = collect<DecodedKind::Alert, AlertRecord>;
    cb.deleteCommand = collect<DecodedKind::Delete, GenericRecord>;
    cb.get = collect<DecodedKind::Get, PutGetRecord>;
    cb.put = collect<DecodedKind::Put, PutGetRecord>;
    cb.map = collect<DecodedKind::Map, MapRecord>;
    cb.results = collect<DecodedKind::Results, ResultsRecord>;
    cb.status = collect<DecodedKind::Status, StatusRecord>;
    cb.replace = collect<DecodedKind::Replace, GenericRecord>;
    cb.copy = collect<DecodedKind::Copy, GenericRecord>;
    cb.exec = collect<DecodedKind::Exec, GenericRecord>;
    cb.search = collect<DecodedKind::Search, SearchRecord>;
    return cb;
}

// DevInf documents decoded out of item data. Each is a tree of its own that the message's tree only
// points to, so it is freed here, after the message has been written.
struct ExpandedDevInf {
    std::vector<DevInfRecord*> trees;
    ExpandedDevInf() = default;
    ExpandedDevInf(const ExpandedDevInf&) = delete;
    ExpandedDevInf& operator=(const ExpandedDevInf&) = delete;
    ~ExpandedDevInf() {
        for (DevInfRecord* t : trees) toolkit::freeDevInfRecord(t);
    }
};

// Item data that is a complete WBXML DevInf document becomes a DevInf extension.
void expandDevInf(ListNode* items, ExpandedDevInf& expanded) {
    for (ListNode* n = items; n != nullptr; n = n->next) {
        auto* item = static_cast<ItemRecord*>(n->element);
        PcdataRecord* data = item != nullptr ? item->data : nullptr;
        if (data == nullptr || data->contentType != pcdata_type::Opaque) continue;
        expanded.trees.push_back(nullptr);
        DevInfRecord*& devInf = expanded.trees.back();
        if (decodeDevInfDocument(static_cast<const std::uint8_t*>(data->content), data->length, &devInf) != code::Ok)
            continue;
        data->contentType = pcdata_type::Extension;
        data->extension = extension_kind::DevInf;
        data->length = 0;
        data->content = devInf;
    }
}

void expandDevInf(DecodedMessage& m, ExpandedDevInf& expanded) {
    for (DecodedCommand& c : m.commands) {
        if (c.kind == DecodedKind::Results) expandDevInf(static_cast<ResultsRecord*>(c.record)->items, expanded);
        if (c.kind == DecodedKind::Put) expandDevInf(static_cast<PutGetRecord*>(c.record)->items, expanded);
    }
}

std::uint8_t versionOf(const HeaderRecord& h) {
    const PcdataRecord* v = h.verDTD;
    const bool oneZero = v != nullptr && v->contentType == pcdata_type::String && v->length == 3 &&
                         std::memcmp(v->content, "1.0", 3) == 0;
    return oneZero ? 1 : 2;
}

ToolkitCode decode(const std::string& bytes, DecodedMessage& m, std::size_t& offset) {
    toolkit::InstanceOptions options;
    options.encoding = looksLikeXml(bytes) ? toolkit::kEncodingXml : toolkit::kEncodingWbxml;
    options.workspaceName = "orvale-dump";
    options.workspaceSize = static_cast<std::uint32_t>(bytes.size());
    InstanceId id = 0;
    if (auto c = toolkit::initInstance(options, collectingCallbacks(), &m, id)) return c;
    std::uint8_t* room = nullptr;
    std::uint32_t free = 0;
    ToolkitCode c = toolkit::lockWriteBuffer(id, room, free);
    if (c == code::Ok) {
        std::memcpy(room, bytes.data(), bytes.size());
        c = toolkit::unlockWriteBuffer(id, static_cast<std::uint32_t>(bytes.size()));
    }
    if (c == code::Ok) c = toolkit::processData(id, toolkit::kProcessAll);
    if (c != code::Ok) offset = toolkit::lastErrorOffset(id);
    toolkit::terminateInstance(id);
    return c;
}

}  // namespace

bool looksLikeXml(const std::string& bytes) {
    std::size_t i = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n')) ++i;
    return i < bytes.size() && bytes[i] == '<';
}

namespace {

// Writes twice: once counting, once into a buffer of the counted size.
template <class Write>
ToolkitCode writeAll(XmlWriter& writer, std::string& out, Write&& write) {
    writer.begin(nullptr, 0, true);
    if (auto c = write()) return c;
    out.resize(writer.written());
    writer.begin(reinterpret_cast<std::uint8_t*>(out.data()), out.size());
    return write();
}

// A DevInf document on its own (as a server's Results carries it) is shown as well.
bool dumpDevInfDocument(const std::string& bytes, DumpResult& result) {
    DevInfRecord* devInf = nullptr;
    if (decodeDevInfDocument(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), &devInf) != code::Ok)
        return false;
    XmlWriter writer(2, true, true);
    result.code = writeAll(writer, result.xml, [&] {
        ToolkitCode c = writer.documentHeader();
        return c ? c : writeRecord(writer, layout::devInf, devInf);
    });
    toolkit::freeDevInfRecord(devInf);
    return true;
}

}  // namespace

DumpResult dumpMessage(const std::string& bytes) {
    DumpResult result;
    if (bytes.empty()) {
        result.code = code::EndOfData;
        return result;
    }
    if (bytes.size() > kMaxMessageSize) {
        result.code = code::BufferFull;
        return result;
    }
    DecodedMessage m;
    result.code = decode(bytes, m, result.offset);
    if (result.code != code::Ok) {
        DumpResult devInf;
        return result.code == code::NotSyncml && !looksLikeXml(bytes) && dumpDevInfDocument(bytes, devInf) ? devInf
                                                                                                        : result;
    }
    ExpandedDevInf expanded;
    expandDevInf(m, expanded);
    XmlWriter writer(versionOf(*m.header), true, true);
    result.code = writeAll(writer, result.xml, [&] { return writeMessage(writer, *m.header, m.commands); });
    return result;
}

}  // namespace orvale::dump_tool

#include "syncml/Toolkit.h"

#include <array>
#include <memory>
#include <vector>

#include "syncml/RecordLayout.h"
#include "syncml/codec/MessageDecoder.h"
#include "syncml/codec/RecordWriter.h"
#include "syncml/codec/WbxmlReader.h"
#include "syncml/codec/WbxmlWriter.h"
#include "syncml/codec/XmlReader.h"
#include "syncml/codec/XmlWriter.h"

namespace orvale::toolkit {

namespace {

struct Workspace {
    std::string name;
    std::uint16_t id = 0;
    std::vector<std::uint8_t> buffer;
    std::uint32_t readPos = 0;
    std::uint32_t writePos = 0;
    bool locked = false;
};

struct Instance {
    InstanceId id = 0;
    InstanceOptions options;
    Callbacks callbacks;
    void* userData = nullptr;
    Workspace* workspace = nullptr;
    std::unique_ptr<MessageWriter> encoder;
    std::unique_ptr<TokenReader> tokens;
    std::unique_ptr<MessageDecoder> decoder;
    std::size_t errorOffset = 0;
};

constexpr std::size_t kMaxWorkspaces = 4;

struct State {
    bool initialised = false;
    std::uint32_t maxMemory = 0;
    std::array<std::unique_ptr<Workspace>, kMaxWorkspaces> workspaces;
    std::vector<std::unique_ptr<Instance>> instances;
    InstanceId nextId = 1;
};

State& state() {
    static State s;
    return s;
}

Instance* find(InstanceId id) {
    for (auto& i : state().instances) {
        if (i->id == id) return i.get();
    }
    return nullptr;
}

ToolkitCode createWorkspace(const std::string& name, std::uint32_t size, Workspace*& out) {
    State& s = state();
    std::uint64_t used = 0;
    std::unique_ptr<Workspace>* freeSlot = nullptr;
    for (auto& w : s.workspaces) {
        if (w && w->name == name) return code::WrongUsage;
        if (w) used += w->buffer.size();
        else if (freeSlot == nullptr) freeSlot = &w;
    }
    if (freeSlot == nullptr) return code::WrongUsage;
    if (used + size > s.maxMemory) return code::OutOfMemory;
    auto w = std::make_unique<Workspace>();
    w->name = name;
    w->id = static_cast<std::uint16_t>(freeSlot - s.workspaces.data() + 1);
    w->buffer.resize(size);
    out = w.get();
    *freeSlot = std::move(w);
    return code::Ok;
}

void closeWorkspace(Workspace* ws) {
    for (auto& w : state().workspaces) {
        if (w.get() == ws) w.reset();
    }
}

std::unique_ptr<MessageWriter> makeWriter(std::uint8_t encoding, std::uint8_t version) {
    if (encoding == kEncodingXml) return std::make_unique<XmlWriter>(version);
    return std::make_unique<WbxmlWriter>(Namespace::SyncML, version);
}

// The token reader of the instance's encoding over the received bytes, past the document header.
ToolkitCode startReader(Instance& in, const std::uint8_t* data, std::size_t size) {
    if (in.options.encoding == kEncodingXml) {
        auto xml = std::make_unique<XmlReader>(data, size);
        const ToolkitCode c = xml->readProlog();
        in.tokens = std::move(xml);
        return c;
    }
    auto wbxml = std::make_unique<WbxmlReader>(data, size, Namespace::SyncML);
    const ToolkitCode c = wbxml->readHeader();
    in.tokens = std::move(wbxml);
    return c;
}

void resetDecoder(Instance& in) {
    in.decoder.reset();
    in.tokens.reset();
}

// One encoder step at the write position; on failure nothing of it stays.
template <class F>
ToolkitCode encodeStep(InstanceId id, F&& write) {
    Instance* in = find(id);
    if (in == nullptr) return code::UnknownInstance;
    if (!in->encoder) return code::WrongUsage;
    Workspace& w = *in->workspace;
    const auto before = in->encoder->state();
    in->encoder->begin(w.buffer.data() + w.writePos, w.buffer.size() - w.writePos);
    const ToolkitCode c = write(*in->encoder);
    if (c == code::Ok) {
        w.writePos += static_cast<std::uint32_t>(in->encoder->written());
        return c;
    }
    in->encoder->restore(before);
    if (c != code::BufferFull) in->encoder.reset();
    return c;
}

ToolkitCode addCommand(InstanceId id, const RecordLayout& s, const void* record, TagId tag) {
    if (record == nullptr) return code::WrongUsage;
    return encodeStep(id, [&](MessageWriter& w) { return writeRecord(w, s, record, tag); });
}

// What the command would add to the message, counted without writing; the encoder is left as it was.
ToolkitCode measureCommand(InstanceId id, const RecordLayout& s, const void* record, TagId tag, std::uint32_t& size) {
    Instance* in = find(id);
    if (in == nullptr) return code::UnknownInstance;
    if (!in->encoder || record == nullptr) return code::WrongUsage;
    const auto before = in->encoder->state();
    in->encoder->begin(nullptr, 0, true);
    const ToolkitCode c = writeRecord(*in->encoder, s, record, tag);
    size = static_cast<std::uint32_t>(in->encoder->written());
    in->encoder->restore(before);
    return c;
}

ToolkitCode deliver(Instance& in, DecodedCommand& cmd) {
    const Callbacks& cb = in.callbacks;
    void* u = in.userData;
    void* r = cmd.record;
    ToolkitCode (*generic)(InstanceId, void*, GenericRecord*) = nullptr;
    ToolkitCode (*ending)(InstanceId, void*) = nullptr;
    switch (cmd.kind) {
        case DecodedKind::Sync:
            if (cb.startSync) return cb.startSync(in.id, u, static_cast<SyncRecord*>(r));
            break;
        case DecodedKind::SyncEnd: ending = cb.endSync; break;
        case DecodedKind::AtomicEnd: ending = cb.endAtomic; break;
        case DecodedKind::SequenceEnd: ending = cb.endSequence; break;
        case DecodedKind::Atomic: generic = cb.startAtomic; break;
        case DecodedKind::Sequence: generic = cb.startSequence; break;
        case DecodedKind::Add: generic = cb.add; break;
        case DecodedKind::Copy: generic = cb.copy; break;
        case DecodedKind::Delete: generic = cb.deleteCommand; break;
        case DecodedKind::Exec: generic = cb.exec; break;
        case DecodedKind::Replace: generic = cb.replace; break;
        case DecodedKind::Alert:
            if (cb.alert) return cb.alert(in.id, u, static_cast<AlertRecord*>(r));
            break;
        case DecodedKind::Get:
            if (cb.get) return cb.get(in.id, u, static_cast<PutGetRecord*>(r));
            break;
        case DecodedKind::Put:
            if (cb.put) return cb.put(in.id, u, static_cast<PutGetRecord*>(r));
            break;
        case DecodedKind::Map:
            if (cb.map) return cb.map(in.id, u, static_cast<MapRecord*>(r));
            break;
        case DecodedKind::Results:
            if (cb.results) return cb.results(in.id, u, static_cast<ResultsRecord*>(r));
            break;
        case DecodedKind::Status:
            if (cb.status) return cb.status(in.id, u, static_cast<StatusRecord*>(r));
            break;
        case DecodedKind::Search:
            if (cb.search) return cb.search(in.id, u, static_cast<SearchRecord*>(r));
            break;
        case DecodedKind::MessageEnd:
            return cb.endMessage ? cb.endMessage(in.id, u, cmd.final) : code::CallbackMissing;
    }
    if (generic != nullptr) return generic(in.id, u, static_cast<GenericRecord*>(r));
    if (ending != nullptr) return ending(in.id, u);
    // Not installed: the record is still ours to free.
    if (cmd.layout != nullptr) freeRecordTree(*cmd.layout, r);
    return code::CallbackMissing;
}

}  // namespace

ToolkitCode initToolkit(std::uint32_t maxWorkspaceMemory) {
    State& s = state();
    if (s.initialised) return code::WrongUsage;
    s.initialised = true;
    s.maxMemory = maxWorkspaceMemory;
    return code::Ok;
}

ToolkitCode terminateToolkit() {
    State& s = state();
    if (!s.instances.empty()) return code::WrongUsage;
    s.initialised = false;
    for (auto& w : s.workspaces) w.reset();
    return code::Ok;
}

ToolkitCode initInstance(const InstanceOptions& options, const Callbacks& callbacks, void* userData, InstanceId& id) {
    State& s = state();
    if (!s.initialised || options.workspaceName.empty() || options.workspaceSize == 0) return code::WrongUsage;
    if (options.encoding != kEncodingWbxml && options.encoding != kEncodingXml) return code::UnknownEncoding;
    auto in = std::make_unique<Instance>();
    if (auto c = createWorkspace(options.workspaceName, options.workspaceSize, in->workspace)) return c;
    in->id = s.nextId++;
    in->options = options;
    in->callbacks = callbacks;
    in->userData = userData;
    id = in->id;
    s.instances.push_back(std::move(in));
    return code::Ok;
}

ToolkitCode terminateInstance(InstanceId id) {
    auto& list = state().instances;
    for (auto it = list.begin(); it != list.end(); ++it) {
        if ((*it)->id == id) {
            closeWorkspace((*it)->workspace);
            list.erase(it);
            return code::Ok;
        }
    }
    return code::UnknownInstance;
}

ToolkitCode startMessage(InstanceId id, const HeaderRecord* header, std::uint8_t version) {
    Instance* in = find(id);
    if (in == nullptr) return code::UnknownInstance;
    if (header == nullptr || (version != 1 && version != 2)) return code::WrongUsage;
    in->encoder = makeWriter(in->options.encoding, version);
    return encodeStep(id, [&](MessageWriter& w) {
        ToolkitCode c = w.documentHeader();
        if (!c) c = w.open(tag::SyncML, true);
        if (!c) c = writeRecord(w, layout::header, header);
        if (!c) c = w.open(tag::SyncBody, true);
        return c;
    });
}

ToolkitCode startSync(InstanceId id, const SyncRecord* sync) {
    if (sync == nullptr) return code::WrongUsage;
    return encodeStep(id, [&](MessageWriter& w) {
        ToolkitCode c = w.open(tag::Sync, true);
        if (!c) c = writeFields(w, layout::sync, sync);
        return c;
    });
}

ToolkitCode endSync(InstanceId id) {
    return encodeStep(id, [](MessageWriter& w) { return w.close(); });
}

ToolkitCode addAdd(InstanceId id, const GenericRecord* c) { return addCommand(id, layout::addLike, c, tag::Add); }
ToolkitCode addAlert(InstanceId id, const AlertRecord* c) { return addCommand(id, layout::alert, c, tag::Alert); }
ToolkitCode addDelete(InstanceId id, const GenericRecord* c) { return addCommand(id, layout::generic, c, tag::Delete); }
ToolkitCode addGet(InstanceId id, const PutGetRecord* c) { return addCommand(id, layout::putGet, c, tag::Get); }
ToolkitCode addPut(InstanceId id, const PutGetRecord* c) { return addCommand(id, layout::putGet, c, tag::Put); }
ToolkitCode addMap(InstanceId id, const MapRecord* c) { return addCommand(id, layout::map, c, tag::Map); }
ToolkitCode addResults(InstanceId id, const ResultsRecord* c) { return addCommand(id, layout::results, c, tag::Results); }
ToolkitCode addStatus(InstanceId id, const StatusRecord* c) { return addCommand(id, layout::status, c, tag::Status); }
ToolkitCode addReplace(InstanceId id, const GenericRecord* c) { return addCommand(id, layout::addLike, c, tag::Replace); }

ToolkitCode sizeOfAdd(InstanceId id, const GenericRecord* c, std::uint32_t& size) {
    return measureCommand(id, layout::addLike, c, tag::Add, size);
}
ToolkitCode sizeOfReplace(InstanceId id, const GenericRecord* c, std::uint32_t& size) {
    return measureCommand(id, layout::addLike, c, tag::Replace, size);
}

ToolkitCode endMessage(InstanceId id, bool final) {
    const ToolkitCode c = encodeStep(id, [&](MessageWriter& w) {
        ToolkitCode r = final ? w.open(tag::Final, false) : code::Ok;
        if (!r) r = w.close();
        if (!r) r = w.close();
        return r;
    });
    if (c == code::Ok) {
        if (Instance* in = find(id)) in->encoder.reset();
    }
    return c;
}

ToolkitCode lockReadBuffer(InstanceId id, const std::uint8_t*& data, std::uint32_t& size) {
    Instance* in = find(id);
    if (in == nullptr) return code::UnknownInstance;
    Workspace& w = *in->workspace;
    data = w.buffer.data() + w.readPos;
    size = w.writePos - w.readPos;
    w.locked = true;
    return code::Ok;
}

ToolkitCode unlockReadBuffer(InstanceId id, std::uint32_t consumed) {
    Instance* in = find(id);
    if (in == nullptr) return code::UnknownInstance;
    Workspace& w = *in->workspace;
    if (consumed > w.writePos - w.readPos) return code::WrongUsage;
    w.readPos += consumed;
    if (w.readPos == w.writePos) w.readPos = w.writePos = 0;
    w.locked = false;
    return code::Ok;
}

ToolkitCode lockWriteBuffer(InstanceId id, std::uint8_t*& data, std::uint32_t& freeSize) {
    Instance* in = find(id);
    if (in == nullptr) return code::UnknownInstance;
    Workspace& w = *in->workspace;
    data = w.buffer.data() + w.writePos;
    freeSize = static_cast<std::uint32_t>(w.buffer.size()) - w.writePos;
    w.locked = true;
    return code::Ok;
}

ToolkitCode unlockWriteBuffer(InstanceId id, std::uint32_t written) {
    Instance* in = find(id);
    if (in == nullptr) return code::UnknownInstance;
    Workspace& w = *in->workspace;
    if (written > w.buffer.size() - w.writePos) return code::WrongUsage;
    w.writePos += written;
    w.locked = false;
    return code::Ok;
}

ToolkitCode processData(InstanceId id, int mode) {
    Instance* in = find(id);
    if (in == nullptr) return code::UnknownInstance;
    Workspace& w = *in->workspace;
    auto fail = [&](ToolkitCode c) {
        in->errorOffset = in->tokens ? in->tokens->offset() : 0;
        resetDecoder(*in);
        w.readPos = w.writePos = 0;
        return c;
    };
    if (!in->decoder) {
        if (auto c = startReader(*in, w.buffer.data() + w.readPos, w.writePos - w.readPos)) return fail(c);
        in->decoder = std::make_unique<MessageDecoder>(*in->tokens);
        HeaderRecord* header = nullptr;
        if (auto c = in->decoder->start(&header)) return fail(c);
        if (in->callbacks.startMessage == nullptr) {
            freeRecordTree(layout::header, header);
            return fail(code::CallbackMissing);
        }
        if (auto c = in->callbacks.startMessage(in->id, in->userData, header)) return fail(c);
    }
    do {
        DecodedCommand cmd;
        if (auto c = in->decoder->next(cmd)) return fail(c);
        if (auto c = deliver(*in, cmd)) return fail(c);
        if (cmd.kind == DecodedKind::MessageEnd) {
            w.readPos = w.writePos = 0;
            resetDecoder(*in);
            return code::Ok;
        }
    } while (mode == kProcessAll);
    return code::Ok;
}

std::size_t lastErrorOffset(InstanceId id) {
    Instance* in = find(id);
    return in != nullptr ? in->errorOffset : 0;
}

void freeRecord(HeaderRecord* r) { freeRecordTree(layout::header, r); }
void freeRecord(SyncRecord* r) { freeRecordTree(layout::sync, r); }
void freeRecord(GenericRecord* r) { freeRecordTree(layout::generic, r); }
void freeRecord(AlertRecord* r) { freeRecordTree(layout::alert, r); }
void freeRecord(PutGetRecord* r) { freeRecordTree(layout::putGet, r); }
void freeRecord(MapRecord* r) { freeRecordTree(layout::map, r); }
void freeRecord(ResultsRecord* r) { freeRecordTree(layout::results, r); }
void freeRecord(StatusRecord* r) { freeRecordTree(layout::status, r); }
void freeRecord(SearchRecord* r) { freeRecordTree(layout::search, r); }
void freeDevInfRecord(DevInfRecord* r) { freeRecordTree(layout::devInf, r); }

}  // namespace orvale::toolkit

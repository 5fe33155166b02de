#include "SessionHarness.h"

#include <gtest/gtest.h>

#include <cstring>

#include "stores/DataStore.h"
#include "stores/DataStoreKind.h"
#include "stores/ItemList.h"
#include "stores/StoreItem.h"
#include "stores/SyncAnchor.h"
#include "syncml/Toolkit.h"

namespace orvale::test {

namespace {

class TinyItem : public StoreItem {
public:
    TinyItem(TinyFolder& folder, std::string key, std::string text)
        : folder_(folder), key_(std::move(key)), text_(std::move(text)) {}
    const std::string& key() const override { return key_; }
    std::size_t dataSize() const override { return text_.size(); }
    ContentType contentType() const override { return ContentType("text/x-vcard"); }
    bool setData(const std::string& text) override {
        EXPECT_TRUE(folder_.groupStart) << "a server item written outside a write group";
        if (!folder_.refuse.empty() && text.find(folder_.refuse) != std::string::npos) return false;
        if (key_.empty()) key_ = keyForOid(folder_.nextKey++);
        folder_.items[key_] = text_ = text;
        return true;
    }
    const char* data() const override { return text_.c_str(); }

private:
    TinyFolder& folder_;
    std::string key_, text_;
};

class TinyStore : public DataStore {
public:
    TinyStore(DataStoreKind* kind, TinyFolder& folder) : DataStore(kind), folder_(folder) {}
    StoreItem* newItem() override { return new TinyItem(folder_, "", ""); }
    ItemList* allItems() override {
        std::vector<std::uint32_t> ids;
        for (const auto& entry : folder_.items) ids.push_back(oidForKey(entry.first));
        return new ItemList(this, ids);
    }
    std::string translateKey(const std::string&) override { return ""; }
    StoreItem* itemByKey(const std::string& key) override {
        const auto it = folder_.items.find(key);
        if (it != folder_.items.end()) return new TinyItem(folder_, key, it->second);
        for (std::uint32_t id : folder_.deleted)
            if (keyForOid(id) == key) return new TinyItem(folder_, key, "");
        return nullptr;
    }
    bool deleteItem(const std::string& key) override { return folder_.items.erase(key) != 0; }
    void beginItem(const std::string&) override {}
    void saveAnchor(const SyncAnchor& anchor) override { folder_.savedAnchors.push_back(anchor.toStoredText()); }
    void loadAnchor(SyncAnchor& out) override {
        out = folder_.storedAnchor.empty() ? SyncAnchor() : SyncAnchor::parse(folder_.storedAnchor);
    }
    ItemList* updatedItems(const SyncAnchor&, const SyncAnchor&) override { return new ItemList(this, folder_.updated); }
    ItemList* newItems(const SyncAnchor&, const SyncAnchor&) override { return new ItemList(this, folder_.added); }
    ItemList* deletedItems(const SyncAnchor&, const SyncAnchor&) override { return new ItemList(this, folder_.deleted); }
    int itemAcknowledged(const std::string& key) override {
        folder_.acknowledged.push_back(key);
        return 1;
    }
    void slot13() override {}
    void slot14() override {}
    void slot15() override {}
    void release() override { releaseCount(); }
    void addRef() override { addRefCount(); }

    bool beginWrites() override {
        EXPECT_FALSE(folder_.groupStart) << "a write group began inside another";
        if (folder_.failBegin) return false;
        folder_.groupStart.emplace(folder_.items, folder_.pendingMaps);
        return true;
    }
    bool commitWrites() override {
        if (!folder_.groupStart) return false;
        if (folder_.failCommit) {
            abandonWrites();
            return false;
        }
        folder_.groupStart.reset();
        ++folder_.groupsCommitted;
        return true;
    }
    void abandonWrites() override {
        if (!folder_.groupStart) return;
        folder_.items = std::move(folder_.groupStart->first);
        folder_.pendingMaps = std::move(folder_.groupStart->second);
        folder_.groupStart.reset();
    }
    std::optional<std::vector<PendingMap>> pendingMaps(std::size_t most) override {
        if (folder_.pendingMaps.size() > most) return std::nullopt;
        std::vector<PendingMap> out;
        for (const auto& [serverId, key] : folder_.pendingMaps) out.push_back({serverId, key});
        return out;
    }
    bool notePendingMap(const std::string& serverId, const std::string& localKey) override {
        EXPECT_TRUE(folder_.groupStart) << "a pending map noted outside a write group";
        if (serverId == folder_.refuseMapOf) return false;
        folder_.pendingMaps[serverId] = localKey;
        return true;
    }
    void dropPendingMaps() override { folder_.pendingMaps.clear(); }
    std::vector<std::string> keysWithContent(const std::string& text) override {
        std::vector<std::string> keys;
        if (!folder_.compareContent) return keys;
        for (const auto& [key, stored] : folder_.items)
            if (stored == text) keys.push_back(key);
        return keys;
    }

private:
    TinyFolder& folder_;
};

class TinyKind : public DataStoreKind {
public:
    explicit TinyKind(TinyFolder& folder) : folder_(folder) {}
    std::string kindName() const override { return "Tiny"; }
    ContentType contentType() const override { return ContentType("text/x-vcard"); }
    DataStore* openStore(void*) override { return new TinyStore(this, folder_); }

private:
    TinyFolder& folder_;
};

std::string cmdIdOf(CommandKind kind, const SyncElement& e) {
    switch (kind) {
        case CommandKind::Sync: return static_cast<const StartSync&>(e).cmdID();
        case CommandKind::Alert: return static_cast<const Alert&>(e).cmdID();
        case CommandKind::Get:
        case CommandKind::Put: return static_cast<const PutOrGet&>(e).cmdID();
        case CommandKind::Results: return static_cast<const Result&>(e).cmdID();
        case CommandKind::Map: return static_cast<const Map&>(e).cmdID();
        case CommandKind::Add:
        case CommandKind::Replace:
        case CommandKind::Delete: return static_cast<const Generic&>(e).cmdID();
        default: return "";
    }
}

ToolkitCode keepMap(toolkit::InstanceId, void* user, MapRecord* r) {
    Map* map = mapFromRecord(r);
    toolkit::freeRecord(r);
    static_cast<ReceivedMessage*>(user)->commands.push_back({CommandKind::Map, ElementRef<SyncElement>(map)});
    return 0;
}

ReceivedMessage& decodingSlot() {
    static ReceivedMessage slot;
    return slot;
}

}  // namespace

DataStoreKind* TinyFactory::createKindById(int code) {
    if (realStores) return DataStoreFactory::createKindById(code);
    auto it = folders_.find(code);
    return it == folders_.end() ? nullptr : new TinyKind(it->second);
}

std::vector<SyncElement*> ClientMessage::all(CommandKind kind) const {
    std::vector<SyncElement*> out;
    for (const auto& c : decoded.commands)
        if (c.kind == kind && c.element) out.push_back(c.element.get());
    return out;
}

std::vector<Status*> ClientMessage::statusesFor(const std::string& cmd) const {
    std::vector<Status*> out;
    for (const auto& s : decoded.statuses)
        if (s->cmd() == cmd) out.push_back(s.get());
    return out;
}

ServerReply::ServerReply(const ClientMessage& request) : request_(request), header_(new Header()) {
    const auto* h = request.decoded.commands.empty() ? nullptr : static_cast<const Header*>(request.decoded.commands[0].element.get());
    header_->setVerDTD("1.1");
    header_->setVerProto("SyncML/1.1");
    header_->setSessionID(h ? h->sessionID() : "1");
    header_->setMsgID(h ? h->msgID() : "1");
    header_->setTarget(kTestDevice);
    header_->setSource(kTestUrl);
}

Status* ServerReply::status(const std::string& cmd, const std::string& cmdRef, int code) {
    auto* s = new Status();
    s->setCmdID(nextCmdId());
    s->setMsgRef(header_->msgID());
    s->setCmdRef(cmdRef);
    s->setCmd(cmd);
    s->setData(static_cast<std::int64_t>(code));
    body_.emplace_back(CommandKind::Status, ElementRef<SyncElement>(s));
    return s;
}

void ServerReply::acceptAll() {
    status("SyncHdr", "0", 200);
    for (const auto& c : request_.decoded.commands) {
        if (!c.element || c.kind == CommandKind::SyncHdr || c.kind == CommandKind::Final) continue;
        status(commandName(c.kind), cmdIdOf(c.kind, *c.element), c.kind == CommandKind::Add ? 201 : 200);
    }
}

void ServerReply::command(CommandKind kind, SyncElement* element) { body_.emplace_back(kind, ElementRef<SyncElement>(element)); }

void ServerReply::openSync(const std::string& target, const std::string& source) {
    auto* sync = new StartSync();
    sync->setCmdID(nextCmdId());
    sync->setTarget(new SourceOrTarget(target));
    sync->setSource(new SourceOrTarget(source));
    command(CommandKind::Sync, sync);
}

void ServerReply::closeSync() { body_.emplace_back(CommandKind::Sync, ElementRef<SyncElement>()); }

ScriptServer::ScriptServer(Script script) : script_(std::move(script)) {
    toolkit::initToolkit(204800);
    toolkit::InstanceOptions o;
    o.workspaceName = "ServerSpace";
    o.workspaceSize = 100000;
    toolkit::Callbacks cb = receivedMessageCallbacks();
    cb.map = keepMap;
    EXPECT_EQ(toolkit::initInstance(o, cb, &decodingSlot(), instance_), 0u);
    lastStatus_ = 0;
}

ScriptServer::~ScriptServer() { toolkit::terminateInstance(instance_); }

int ScriptServer::exchange(const std::string&, const std::string& request, std::string& reply) {
    using namespace toolkit;
    reply.clear();
    ClientMessage message;
    message.bytes = request;
    std::uint8_t* p = nullptr;
    std::uint32_t room = 0;
    lockWriteBuffer(instance_, p, room);
    EXPECT_LE(request.size(), room);
    std::memcpy(p, request.data(), std::min<std::size_t>(room, request.size()));
    unlockWriteBuffer(instance_, static_cast<std::uint32_t>(std::min<std::size_t>(room, request.size())));
    decodingSlot().clear();
    EXPECT_EQ(processData(instance_, kProcessAll), 0u) << "the client's message does not decode";
    std::swap(message.decoded, decodingSlot());
    requests.push_back(std::move(message));

    ServerReply out(requests.back());
    script_(static_cast<int>(requests.size()), requests.back(), out);
    reply = out.encode(instance_);
    if (mangle) reply = mangle(static_cast<int>(requests.size()), reply);
    lastStatus_ = 200;
    errorFlag_ = 0;
    return 0;
}

std::string ServerReply::encode(std::uint16_t instance) {
    using namespace toolkit;
    EXPECT_EQ(startMessage(instance, header_->headerRecord(), 2), 0u);
    for (const auto& [kind, element] : body_) {
        ToolkitCode c = 0;
        void* r = element ? element->record() : nullptr;
        switch (kind) {
            case CommandKind::Status: c = addStatus(instance, static_cast<StatusRecord*>(r)); break;
            case CommandKind::Sync: c = r ? startSync(instance, static_cast<SyncRecord*>(r)) : endSync(instance); break;
            case CommandKind::Add: c = addAdd(instance, static_cast<GenericRecord*>(r)); break;
            case CommandKind::Replace: c = addReplace(instance, static_cast<GenericRecord*>(r)); break;
            case CommandKind::Delete: c = addDelete(instance, static_cast<GenericRecord*>(r)); break;
            case CommandKind::Alert: c = addAlert(instance, static_cast<AlertRecord*>(r)); break;
            case CommandKind::Get: c = addGet(instance, static_cast<PutGetRecord*>(r)); break;
            case CommandKind::Put: c = addPut(instance, static_cast<PutGetRecord*>(r)); break;
            case CommandKind::Results: c = addResults(instance, static_cast<ResultsRecord*>(r)); break;
            default: ADD_FAILURE() << "reply command of kind " << static_cast<int>(kind);
        }
        EXPECT_EQ(c, 0u) << "reply command " << commandName(kind);
    }
    EXPECT_EQ(endMessage(instance, final), 0u);
    const std::uint8_t* p = nullptr;
    std::uint32_t n = 0;
    lockReadBuffer(instance, p, n);
    std::string bytes(reinterpret_cast<const char*>(p), n);
    unlockReadBuffer(instance, n);
    return bytes;
}

bool Recorder::hasText(const std::string& part) const {
    for (const auto& t : texts)
        if (t.find(part) != std::string::npos) return true;
    return false;
}

Generic* itemCommand(std::uint32_t elementType, const std::string& cmdId,
                     const std::vector<std::pair<std::string, std::string>>& keyAndData, bool keyInTarget) {
    auto* command = new Generic(elementType);
    command->setCmdID(cmdId);
    auto* meta = new MetInfElem();
    meta->setType("text/x-vcard");
    command->setMeta(meta);
    for (const auto& [key, data] : keyAndData) {
        auto* item = new ItemElement();
        if (keyInTarget) item->setTarget(new SourceOrTarget(key));
        else item->setSource(new SourceOrTarget(key));
        if (!data.empty()) item->setData(data);
        command->addItems(item);
    }
    return command;
}

std::string vcard(const std::string& name, std::size_t padTo) {
    std::string text = "BEGIN:VCARD\r\nVERSION:2.1\r\nN:" + name + "\r\nNOTE:";
    const std::string end = "\r\nEND:VCARD\r\n";
    while (text.size() + end.size() < padTo) text += 'x';
    return text + end;
}

std::string locUri(const SourceOrTarget* s) { return s ? s->locURI() : std::string(); }

std::string firstItemSource(const Generic* command) {
    const ItemElement* item = command->items() != nullptr ? command->items()->at(0) : nullptr;
    return item != nullptr ? locUri(item->source()) : std::string();
}

}  // namespace orvale::test

#pragma once
// A programmable server for session tests: each client message is decoded by our own toolkit and
// handed to a reply function that builds the answer from element objects. Beside it a small folder
// store kept in memory.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/ElementRef.h"
#include "engine/ReceivedMessage.h"
#include "engine/SyncObserver.h"
#include "stores/DataStoreFactory.h"
#include "syncml/CommandElements.h"
#include "transport/Transport.h"

namespace orvale::test {

inline constexpr const char* kTestUrl = "http://sync.example.com/sync";
inline constexpr const char* kTestDevice = "IMEI:0011223344556677889900";

// One folder of the fake device. Its write groups keep what was there when a group began, so an
// abandoned group (or a process that dies before the commit) leaves items and pending maps as they were.
struct TinyFolder {
    std::map<std::string, std::string> items;  // key -> text
    std::vector<std::uint32_t> updated, added, deleted;
    std::string storedAnchor;                   // "label:remote:time"; empty for none
    std::vector<std::string> acknowledged, savedAnchors;
    std::string refuse;                         // setData refuses texts holding this
    std::uint32_t nextKey = 9000;
    std::map<std::string, std::string> pendingMaps;  // server ID -> key
    int groupsCommitted = 0;
    bool failCommit = false;                    // the next commits keep nothing
    bool failBegin = false;                     // no write group opens (the database is busy)
    std::string refuseMapOf;                    // notePendingMap refuses this server ID
    bool compareContent = true;                 // keysWithContent finds equal texts
    // Open group: the state it began from.
    std::optional<std::pair<std::map<std::string, std::string>, std::map<std::string, std::string>>> groupStart;
};

class TinyFactory : public DataStoreFactory {
public:
    TinyFolder& folder(int kind) { return folders_[kind]; }
    DataStoreKind* createKindById(int code) override;
    // The device's own stores instead of the folders above.
    bool realStores = false;

private:
    std::map<int, TinyFolder> folders_;
};

// A client message as the server saw it.
struct ClientMessage {
    std::string bytes;
    ReceivedMessage decoded;
    // Commands of one kind, in message order (Syncs: only their starts).
    std::vector<SyncElement*> all(CommandKind kind) const;
    // The Statuses answering commands named `cmd`.
    std::vector<Status*> statusesFor(const std::string& cmd) const;
    bool final() const { return decoded.final; }
};

// The reply under construction.
class ServerReply {
public:
    explicit ServerReply(const ClientMessage& request);
    // A Status answering the request's command `cmdRef` (0 = its SyncHdr).
    Status* status(const std::string& cmd, const std::string& cmdRef, int code);
    // 200 for the header, 201 for Adds, 200 for everything else the request holds.
    void acceptAll();
    void command(CommandKind kind, SyncElement* element);
    void openSync(const std::string& target, const std::string& source);
    void closeSync();
    Header& header() { return *header_; }
    std::string nextCmdId() { return std::to_string(nextCmd_++); }
    bool final = true;

    // The reply's WBXML, encoded in the given toolkit instance's workspace.
    std::string encode(std::uint16_t instance);

private:
    const ClientMessage& request_;
    ElementRef<Header> header_;
    std::vector<std::pair<CommandKind, ElementRef<SyncElement>>> body_;
    int nextCmd_ = 1;
};

class ScriptServer : public Transport {
public:
    using Script = std::function<void(int index, const ClientMessage& request, ServerReply& reply)>;
    explicit ScriptServer(Script script);
    ~ScriptServer() override;

    int exchange(const std::string& url, const std::string& request, std::string& reply) override;
    std::uint32_t status() const override { return lastStatus_; }

    std::vector<ClientMessage> requests;
    // When set, the reply's bytes go through this before the client sees them.
    std::function<std::string(int index, std::string bytes)> mangle;

private:
    Script script_;
    std::uint16_t instance_ = 0;
};

// Observer that keeps what the engine told it.
struct Recorder : SyncObserver {
    void itemResult(SyncSide side, const std::string& folder, int kind, bool failed) override {
        items.push_back((side == SyncSide::Client ? "client " : "server ") + folder + " " + std::to_string(kind) +
                        (failed ? " failed" : " ok"));
    }
    void text(const std::string& t) override { texts.push_back(t); }
    void textNumber(const std::string& t, std::int64_t n) override { texts.push_back(t + std::to_string(n)); }
    void event(int code) override { events.push_back(code); }
    bool hasText(const std::string& part) const;
    std::vector<std::string> items, texts;
    std::vector<int> events;
};

// Helpers for replies.
Generic* itemCommand(std::uint32_t elementType, const std::string& cmdId, const std::vector<std::pair<std::string, std::string>>& keyAndData, bool keyInTarget);
std::string vcard(const std::string& name, std::size_t padTo = 0);
std::string locUri(const SourceOrTarget* s);
// The source URI of the command's first item; empty when it has none.
std::string firstItemSource(const Generic* command);

}  // namespace orvale::test

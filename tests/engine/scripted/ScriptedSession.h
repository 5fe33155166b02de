#pragma once
// Runs one case file's session against SyncClient and keeps everything the checks look at.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/AbortRecord.h"
#include "engine/RemoteDeviceInfo.h"
#include "engine/SessionDataStore.h"
#include "engine/SyncConfig.h"
#include "engine/SyncObserver.h"
#include "scripted/CaseFile.h"
#include "scripted/MemoryStore.h"
#include "scripted/ScriptedTransport.h"
#include "stores/SyncMode.h"

namespace orvale::test {

struct ObservedItem {
    SyncSide side;
    std::string folder;
    int kind;
    bool failed;
};

class RecordingObserver : public SyncObserver {
public:
    // Set, the run's abort is requested as soon as the session begins.
    std::shared_ptr<AbortRecord> abortAtBegin;
    void sessionBegin() override {
        if (abortAtBegin) abortAtBegin->requestAbort();
    }
    void syncStart(SyncSide side, const std::string& folder, std::int32_t changes) override;
    void itemResult(SyncSide side, const std::string& folder, int kind, bool failed) override;
    void event(int code) override { events.push_back(code); }
    void eventText(int code, const std::string& t) override;
    void text(const std::string& t) override { texts.push_back(t); }
    void serverItemsToDelete(const std::string& folder, int) override { toDelete.push_back(folder); }
    void textNumber(const std::string& t, std::int64_t number) override;

    std::vector<std::string> syncStarts;  // "client Contacts 3"
    std::vector<ObservedItem> items;
    std::vector<int> events;
    std::vector<std::string> texts;
    std::vector<std::string> toDelete;  // folders told by serverItemsToDelete
};

struct ScriptedSession {
    // Reads the setup; false with `error` set when a statement is not understood.
    bool prepare(const CaseFile& c, std::string& error);
    void run();
    void runFollowUp(SyncConfig config);

    std::unique_ptr<MemoryFactory> factory;
    std::unique_ptr<SessionDataStore> sessionData;
    std::unique_ptr<ScriptedTransport> transport;
    RecordingObserver observer;

    bool testServer = false;
    bool abortAtBegin = false;
    // As the run does: a completed session whose folders recorded server items for deletion is
    // followed by a two-way session of those folders, from the change tracking as then recorded.
    bool followUp = false;
    std::string user = "user", password = "secret";
    std::optional<std::string> contactsUri, tasksUri, calendarUri;
    std::map<int, SyncMode> modes;  // by kind code

    RemoteDeviceInfo remote;  // what the client learnt of the server
    std::optional<int> result;
    std::optional<std::uint32_t> exceptionCode, exceptionSubCode;
    std::optional<std::int32_t> exceptionDetail;
    std::string otherException;
};

// Checks one "expect" line; an empty result when it holds, else what differs.
std::string checkExpectation(const std::string& line, const ScriptedSession& s);
// Compares the client's recorded message `n` (1-based) with the expected XML.
std::string checkClientMessage(int n, const std::string& expectedXml, const ScriptedSession& s);

}  // namespace orvale::test

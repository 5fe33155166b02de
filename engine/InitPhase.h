#pragma once
// The initialisation phase of a session: credentials, one Alert per folder with its anchors, the
// server's device information when a slow sync is due; repeated until the server accepts the
// credentials.
#include <cstdint>
#include <vector>

#include "engine/Folders.h"
#include "engine/MessageBuilder.h"
#include "engine/PendingRegistry.h"
#include "engine/ServerCommands.h"
#include "engine/Session.h"

namespace orvale {

class InitPhase {
public:
    InitPhase(Session& session, MessageBuilder& messages, Folders& folders, ServerCommands& commands)
        : session_(session), messages_(messages), folders_(folders), commands_(commands) {}

    // True when the server accepted our credentials. The test form sends no Alerts, only the Get of
    // the server's device information, on every pass.
    bool run(bool testForm);

private:
    struct StatusOutcome {
        bool newAttempt = false;
        bool headerAccepted = false;
        bool failed = false;
    };
    void queueFolderAlerts();
    void queueDeviceInfoGet();
    StatusOutcome handleStatuses(int& attempts, std::uint32_t refusedMsgId);
    void headerStatus(const Status& status, int code, int& attempts, StatusOutcome& out);
    // The Status of a folder's Alert; a refusal that asks for credentials leaves the Alert in `refused`.
    void folderAlertStatus(PendingCommand& command, int code, std::vector<PendingCommand>& refused);
    // What the server refused with the whole message goes out again with the new credentials.
    void sendAgain(std::vector<PendingCommand>& refused, std::uint32_t refusedMsgId);
    // The reply under handling carries device information (Results).
    bool repliedWithResults() const;

    Session& session_;
    MessageBuilder& messages_;
    Folders& folders_;
    ServerCommands& commands_;
    bool testMode_ = false;
};

}  // namespace orvale

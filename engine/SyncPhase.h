#pragma once
// The synchronisation phase of a session: folder after folder, our changes in a Sync and the
// server's statuses and commands, message after message until both sides' packages are complete.
#include <cstdint>

#include "engine/ChangeSender.h"
#include "engine/FolderProgress.h"
#include "engine/Folders.h"
#include "engine/LargeObjects.h"
#include "engine/MessageBuilder.h"
#include "engine/PendingMaps.h"
#include "engine/ServerCommands.h"
#include "engine/Session.h"

namespace orvale {

class SyncPhase {
public:
    SyncPhase(Session& session, MessageBuilder& messages, Folders& folders, ServerCommands& commands,
              ChangeSender& sender, LargeObjects& largeObjects, PendingMaps& pendingMaps)
        : session_(session),
          messages_(messages),
          folders_(folders),
          commands_(commands),
          sender_(sender),
          largeObjects_(largeObjects),
          pendingMaps_(pendingMaps) {}

    // False when the session broke off; the anchors move only when it did not.
    bool run();

private:
    struct StatusOutcome {
        bool headerFailed = false;
        bool alert222Answered = false;
        bool alert222Refused = false;
    };
    // What became of one message of a folder.
    enum class Step { Next, FolderEnds, SessionBroken };

    // False when the session must stop (the server refused our header).
    bool syncFolder(int folder, bool lastFolder);
    bool openFolderContext(int folder, SyncContextHolder& context);
    Step exchangeMessage(SyncContextHolder& context, StartSync& sync, std::uint32_t syncId, FolderProgress& progress);
    // Our side of the message: what is queued, then the folder's Sync with the changes that fit.
    void addOurSide(SyncContextHolder& context, StartSync& sync, std::uint32_t syncId, FolderProgress& progress);
    // The server's side of the reply, after its statuses.
    Step takeServerSide(FolderProgress& progress);
    StatusOutcome handleStatuses();
    void finishFolders();
    // What the folder's sync type leaves to do once the session completed: the device items a
    // refresh from the server did not bring are deleted, and the changes it settled acknowledged.
    // False when the folder does not complete (its anchor stays, its next session repeats it).
    bool settleFolder(SyncContextHolder& context);

    Session& session_;
    MessageBuilder& messages_;
    Folders& folders_;
    ServerCommands& commands_;
    ChangeSender& sender_;
    LargeObjects& largeObjects_;
    PendingMaps& pendingMaps_;
    // The last message carried all that was queued and every change of the run's last folder.
    bool lastMessageComplete_ = false;
};

}  // namespace orvale

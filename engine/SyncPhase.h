#pragma once
// The synchronisation phase of a session: our package (every folder's Sync with its changes, as
// many folders to a message as fit) and the server's statuses and commands, message after message
// until both sides' packages are complete.
#include <cstdint>
#include <vector>

#include "engine/ChangeSender.h"
#include "engine/Folders.h"
#include "engine/LargeObjects.h"
#include "engine/MessageBuilder.h"
#include "engine/PackageFlow.h"
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

    // False when the session broke off or did not complete; the anchors move only for the folders
    // whose exchange completed.
    bool run();

private:
    struct StatusOutcome {
        bool headerFailed = false;
        bool alert222Answered = false;
        bool alert222Refused = false;
    };
    // One folder's Sync of our package.
    struct OutgoingSync {
        int folder = -1;
        ElementRef<StartSync> sync;
        std::uint32_t syncId = 0;
        bool started = false;
        bool changesSent = false;
    };
    // How the session's message loop ended.
    enum class Ending { Complete, Aborted, Broken, Incomplete };

    bool openFolderContext(int folder, SyncContextHolder& context);
    void prepareFolders();
    Ending exchangeMessages();
    // Our side of the message: what is queued, then the folders' Syncs with the changes that fit;
    // true when the message carries the last of our package.
    bool addOurSide(bool& progress);
    StatusOutcome handleStatuses();
    // Reports each folder; false when one of them did not complete.
    bool reportFolders(bool sessionComplete);
    void finishFolders();
    // What the folder's sync type leaves to do once the session completed: the device items a
    // refresh from the server did not bring are deleted, and the changes it settled acknowledged.
    // False when the folder does not complete (its anchor stays, its next session repeats it).
    bool settleFolder(SyncContextHolder& context);
    // A refresh from the device: the server's own items it learned are recorded as deleted from
    // the device, for the next session that sends changes. False when they could not be.
    bool recordLearnedItems(SyncContextHolder& context);
    // The folder's exchange did not complete: its anchors stay.
    bool folderIncomplete(const SyncContextHolder& context, bool sessionComplete) const;

    Session& session_;
    MessageBuilder& messages_;
    Folders& folders_;
    ServerCommands& commands_;
    ChangeSender& sender_;
    LargeObjects& largeObjects_;
    PendingMaps& pendingMaps_;
    std::vector<OutgoingSync> syncs_;
};

}  // namespace orvale

#pragma once
// Our side of a folder's Sync: its change lists sent as Add, Replace and Delete, as many as fit
// into each message, large items in chunks, and the server's Statuses for them.
#include <cstddef>
#include <string>

#include "engine/CommandKind.h"
#include "engine/Folders.h"
#include "engine/LargeObjects.h"
#include "engine/MessageBuilder.h"
#include "engine/PendingMaps.h"
#include "engine/PendingRegistry.h"
#include "engine/Session.h"
#include "engine/SyncContextHolder.h"

namespace orvale {

class ChangeSender {
public:
    ChangeSender(Session& session, MessageBuilder& messages, Folders& folders, LargeObjects& largeObjects,
                 PendingMaps& pendingMaps)
        : session_(session),
          messages_(messages),
          folders_(folders),
          largeObjects_(largeObjects),
          pendingMaps_(pendingMaps) {}

    // Adds the folder's Sync with as many changes as fit; true when all changes are sent.
    bool addFolderChanges(SyncContextHolder& context, bool messageWasEmpty);
    // The server's Status for one of the folder's changes.
    void itemStatusReceived(const PendingCommand& command, int code);
    // An item that is not sent this session: counted and reported as failed.
    void reportSkippedItem(SyncContextHolder& context, CommandKind kind, const std::string& key);

private:
    enum class ChunkResult { LastSent, MessageFull, Failed };
    // The next chunk of the pending outgoing large object, cut to the room the message has left.
    ChunkResult addNextChunk(SyncContextHolder& context, bool messageWasEmpty);
    bool largeObjectsAllowed(std::size_t size) const;

    Session& session_;
    MessageBuilder& messages_;
    Folders& folders_;
    LargeObjects& largeObjects_;
    PendingMaps& pendingMaps_;
};

}  // namespace orvale

#pragma once
// What the decoder's callbacks collect from one reply: the commands in message order, each tagged
// with its kind, and the Statuses in their own list.
#include <vector>

#include "engine/CommandKind.h"
#include "engine/ElementRef.h"
#include "syncml/CommandElements.h"
#include "syncml/Toolkit.h"

namespace orvale {

struct ReceivedCommand {
    CommandKind kind;
    // Null for the markers: the end of a Sync (kind Sync) and the end of a final message (kind Final).
    ElementRef<SyncElement> element;
};

struct ReceivedMessage {
    std::vector<ReceivedCommand> commands;
    std::vector<ElementRef<Status>> statuses;
    bool final = false;

    void clear() {
        commands.clear();
        statuses.clear();
        final = false;
    }
};

// The callbacks that fill the ReceivedMessage given as the instance's user data. Map, Copy, Exec,
// Search, Atomic and Sequence are not installed: a client has no use for them.
toolkit::Callbacks receivedMessageCallbacks();

}  // namespace orvale

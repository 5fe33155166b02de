#pragma once
// The session's large objects: ours being sent in chunks, and the server's being received.
#include <cstdint>
#include <string>

#include "engine/CommandKind.h"
#include "engine/ElementRef.h"
#include "engine/LargeObject.h"
#include "syncml/CommandElements.h"

namespace orvale {

class MessageBuilder;
class SyncObserver;

class LargeObjects {
public:
    LargeObjects(std::uint32_t incomingBound, MessageBuilder& messages, SyncObserver& observer)
        : incoming(incomingBound), messages_(messages), observer_(observer) {}

    // What becomes of a received Add or Replace item with a key: a chunk kept or refused, or a
    // whole item to apply (the joined chunks, or the item's own data).
    ChunkOutcome receiveChunk(const Generic& command, const ItemElement& item, CommandKind kind, int folder,
                              const std::string& key);
    // A large object still pending when the session ends is never applied, nor continued.
    void drop() {
        outgoing.reset();
        incoming.drop();
    }

    ElementRef<LargeObject> outgoing;
    IncomingLargeObject incoming;

private:
    void queueNoEndOfData(const LargeObject& object);

    MessageBuilder& messages_;
    SyncObserver& observer_;
};

}  // namespace orvale

#pragma once
// The commands sent and not yet answered, by message ID and command ID, so that a returned Status
// can be matched by MsgRef and CmdRef.
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/CommandKind.h"
#include "engine/ElementRef.h"
#include "syncml/SyncElement.h"

namespace orvale {

struct PendingCommand {
    CommandKind kind = CommandKind::SyncHdr;
    ElementRef<SyncElement> element;
    // Index of the sync source the command belongs to; -1 for session-wide commands.
    int folder = -1;
    // The item's key for Add, Replace and Delete.
    std::string itemKey;
    // A chunk of a large object other than its last: the server answers 213 when it kept it.
    bool moreData = false;
};

class PendingRegistry {
public:
    void add(std::uint32_t msgId, std::uint32_t cmdId, PendingCommand command);
    // Removes and returns the command a Status answers; none when we never sent it (or it was
    // answered already).
    std::optional<PendingCommand> take(std::uint32_t msgId, std::uint32_t cmdId);
    // Removes and returns every command sent in one message, in command ID order.
    std::vector<PendingCommand> takeMessage(std::uint32_t msgId);
    // True when some command other than a SyncHdr still waits for its Status.
    bool commandsOutstanding() const;
    bool contains(std::uint32_t msgId, std::uint32_t cmdId) const;
    std::size_t size() const { return entries_.size(); }
    void clear() { entries_.clear(); }

private:
    std::map<std::pair<std::uint32_t, std::uint32_t>, PendingCommand> entries_;
};

}  // namespace orvale

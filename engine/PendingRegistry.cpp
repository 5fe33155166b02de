#include "engine/PendingRegistry.h"

namespace orvale {

void PendingRegistry::add(std::uint32_t msgId, std::uint32_t cmdId, PendingCommand command) {
    entries_[{msgId, cmdId}] = std::move(command);
}

std::optional<PendingCommand> PendingRegistry::take(std::uint32_t msgId, std::uint32_t cmdId) {
    auto it = entries_.find({msgId, cmdId});
    if (it == entries_.end()) return std::nullopt;
    PendingCommand out = std::move(it->second);
    entries_.erase(it);
    return out;
}

std::vector<PendingCommand> PendingRegistry::takeMessage(std::uint32_t msgId) {
    std::vector<PendingCommand> out;
    auto it = entries_.lower_bound({msgId, 0});
    while (it != entries_.end() && it->first.first == msgId) {
        out.push_back(std::move(it->second));
        it = entries_.erase(it);
    }
    return out;
}

bool PendingRegistry::commandsOutstanding() const {
    for (const auto& [key, command] : entries_) {
        if (command.kind != CommandKind::SyncHdr) return true;
    }
    return false;
}

bool PendingRegistry::contains(std::uint32_t msgId, std::uint32_t cmdId) const {
    return entries_.count({msgId, cmdId}) != 0;
}

}  // namespace orvale

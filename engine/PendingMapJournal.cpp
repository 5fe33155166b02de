#include "engine/PendingMapJournal.h"

#include "stores/DataStore.h"

namespace orvale {

void PendingMapJournal::load(DataStore& store) {
    entries_.clear();
    // A store holding more than the cap gives nothing, as one holding damaged entries does.
    if (auto stored = store.pendingMaps(kMaxEntries)) {
        for (auto& entry : *stored) {
            if (!keepable(entry.serverId) || !keepable(entry.localKey)) {
                entries_.clear();
                break;
            }
            entries_[std::move(entry.serverId)] = std::move(entry.localKey);
        }
    }
    rebuildLocalKeys();
}

std::optional<std::string> PendingMapJournal::localKeyFor(const std::string& serverId) const {
    const auto it = entries_.find(serverId);
    if (it == entries_.end()) return std::nullopt;
    return it->second;
}

bool PendingMapJournal::record(DataStore& store, const std::string& serverId, const std::string& localKey) {
    if (!keepable(serverId) || !keepable(localKey)) return false;
    const auto it = entries_.find(serverId);
    if (it != entries_.end() && it->second == localKey) return true;
    if (it == entries_.end() && entries_.size() >= kMaxEntries) return false;
    if (!store.notePendingMap(serverId, localKey)) return false;
    if (it == entries_.end()) {
        entries_.emplace(serverId, localKey);
        localKeys_.insert(localKey);
    } else {
        it->second = localKey;
        rebuildLocalKeys();
    }
    return true;
}

void PendingMapJournal::drop(DataStore& store) {
    store.dropPendingMaps();
    entries_.clear();
    localKeys_.clear();
}

void PendingMapJournal::rebuildLocalKeys() {
    localKeys_.clear();
    for (const auto& entry : entries_) localKeys_.insert(entry.second);
}

}  // namespace orvale

#pragma once
// The run's folders as the session carries them, and the synchronisation contexts of those being
// synchronised.
#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/PendingMapJournal.h"
#include "engine/SyncConfig.h"
#include "engine/SyncContextHolder.h"
#include "stores/SyncAnchor.h"

namespace orvale {

// A sync source as the session carries it: the configured folder, its anchors and agreed code.
struct FolderState {
    SyncSource source;
    bool active = true;
    int alertCode = 0;
    SyncAnchor last;
    SyncAnchor next;
    // Read on first use; see PendingMaps.cpp.
    std::optional<PendingMapJournal> pendingMaps;
    // Device items a server Add was mapped to in this session: local key -> server item ID (empty:
    // the server made its item of the device's own Add).
    std::map<std::string, std::string> mappedThisSession;
    const std::string& localName() const { return source.local.displayName; }
};

class Folders {
public:
    // The run's sources, every one active and not agreed yet.
    void reset(const std::vector<SyncSource>& sources);
    void clear() { states_.clear(); }

    std::size_t size() const { return states_.size(); }
    FolderState& operator[](int folder) { return states_[static_cast<std::size_t>(folder)]; }
    const FolderState& operator[](int folder) const { return states_[static_cast<std::size_t>(folder)]; }
    std::vector<FolderState>& all() { return states_; }
    const std::vector<FolderState>& all() const { return states_; }
    // The active folder whose local store has this name; -1 when none.
    int indexByLocalName(const std::string& name) const;

    // --- synchronisation contexts, in the order the folders are synchronised
    SyncContextHolder& addContext(int folder);
    SyncContextHolder* contextOf(int folder) const;
    std::vector<std::unique_ptr<SyncContextHolder>>& contexts() { return contexts_; }
    void clearContexts() { contexts_.clear(); }

private:
    std::vector<FolderState> states_;
    std::vector<std::unique_ptr<SyncContextHolder>> contexts_;
};

}  // namespace orvale

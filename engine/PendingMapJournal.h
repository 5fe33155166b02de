#pragma once
// The server's Adds this device applied in a session that has not completed yet: for each, the
// server's item ID and the local key it was stored under. A session whose Map never reached the
// server leaves this behind, so the next session can tell the server's repeated Add and the
// device's unrecorded copy from genuinely new items, instead of storing and sending a duplicate.
//
// The entries live in the folder's store, written in the same write group as the items they name
// (one per received message), so no item the device stored from the server is ever unknown to the
// journal, whenever the process dies. This class is the session's bounded view of them.
#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>

namespace orvale {

class DataStore;

class PendingMapJournal {
public:
    // Bounds on what is kept and read back; a store holding entries outside them is not trusted
    // at all (the journal then starts empty).
    static constexpr std::size_t kMaxFieldBytes = 511;
    static constexpr std::size_t kMaxEntries = 32768;

    // Reads the store's entries.
    void load(DataStore& store);

    std::optional<std::string> localKeyFor(const std::string& serverId) const;
    bool hasLocalKey(const std::string& localKey) const { return localKeys_.count(localKey) != 0; }
    const std::set<std::string>& localKeys() const { return localKeys_; }
    std::size_t size() const { return entries_.size(); }

    // Notes an applied Add, here and in the store's open write group; false when it cannot be kept
    // (an empty or over-long field, the journal is full, or the store refused it).
    bool record(DataStore& store, const std::string& serverId, const std::string& localKey);
    // Whether an entry for the server item could be noted, as far as the bounds tell before
    // anything is stored for it (local keys are short decimals).
    bool canRecord(const std::string& serverId) const {
        return keepable(serverId) && (entries_.size() < kMaxEntries || entries_.count(serverId) != 0);
    }

    // The session completed: the store lets the entries go (see DataStore::dropPendingMaps).
    void drop(DataStore& store);

    static bool keepable(const std::string& field) { return !field.empty() && field.size() <= kMaxFieldBytes; }

private:
    void rebuildLocalKeys();

    std::map<std::string, std::string> entries_;  // server ID -> local key
    std::set<std::string> localKeys_;
};

}  // namespace orvale

#pragma once
// The server's Adds this device applied in a session that has not completed yet: for each, the
// server's item ID and the local key it was stored under. A session whose Map never reached the
// server leaves this behind, so the next session can tell the server's repeated Add and the
// device's unrecorded copy from genuinely new items, instead of storing and sending a duplicate.
#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>

namespace orvale {

class PendingMapJournal {
public:
    // Bounds on what is read back; a file outside them is treated as damaged.
    static constexpr std::size_t kMaxFileBytes = 4 * 1024 * 1024;
    static constexpr std::size_t kMaxLineBytes = 1024;
    static constexpr std::size_t kMaxEntries = 32768;

    // "PendingMap_" + the local store name, a bare file in the device root.
    static std::string fileNameFor(const std::string& localStore);

    explicit PendingMapJournal(const std::string& localStore);

    // Reads the file; a missing or damaged file leaves the journal empty.
    void load();

    std::optional<std::string> localKeyFor(const std::string& serverId) const;
    bool hasLocalKey(const std::string& localKey) const { return localKeys_.count(localKey) != 0; }
    std::size_t size() const { return entries_.size(); }

    // Notes an applied Add in memory; false when it cannot be kept (a field that the line layout
    // cannot carry, or the journal is full).
    bool record(const std::string& serverId, const std::string& localKey);

    // Writes every entry (temporary file renamed over the old one); false when it could not be written.
    bool save() const;

    // Deletes the file and forgets every entry.
    void remove();

    // The line layout, exposed for the round trip: "<server ID>\t<local key>\n" per entry.
    std::string serialize() const;
    // Nullopt when the bytes are damaged or outside the bounds.
    static std::optional<std::map<std::string, std::string>> parse(const std::string& bytes);

private:
    void rebuildLocalKeys();

    std::string fileName_;
    std::map<std::string, std::string> entries_;  // server ID -> local key
    std::set<std::string> localKeys_;
};

}  // namespace orvale

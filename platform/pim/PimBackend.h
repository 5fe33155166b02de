#pragma once
// Internal to the store: what holds the items behind the process-wide session. The session's public
// calls come down to these; Orvale's own database is one implementation, Evolution Data Server the
// other. Everything the stores see (identifiers, property lists, batches, the pending-map journal)
// is the same over both.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/pim/PimSession.h"

namespace orvale::platform::pim {

// Spreads an allocation counter over all 32 bits: an odd multiplier is a bijection modulo 2^32,
// so identifiers stay unique and are never reused, and about half have the top bit set.
inline uint32_t oidForCounter(uint32_t counter) { return counter * 0x9E3779B1u; }

class Backend {
public:
    virtual ~Backend() = default;
    Backend() = default;
    Backend(const Backend&) = delete;
    Backend& operator=(const Backend&) = delete;

    // The session the backend's items point back to; set once the session exists.
    void attach(Session* session) { session_ = session; }

    // The item whole; null when no item has that identifier.
    virtual std::unique_ptr<Item> load(uint32_t oid) = 0;
    // One entry per identifier, as Session::itemsByOid.
    virtual std::optional<std::vector<std::unique_ptr<Item>>> loadMany(const std::vector<uint32_t>& oids) = 0;
    // Writes the item whole; a new one (identifier 0) receives its identifier here.
    virtual bool save(Item& item) = 0;
    virtual bool remove(Item& item) = 0;

    // The folder's identifiers in collection order (new items last).
    virtual std::optional<std::vector<uint32_t>> folderOids(int folder) = 0;
    virtual bool visitFolder(int folder, const std::vector<uint32_t>& propIds, size_t streamLimit,
                             const std::function<void(Item&)>& visit, size_t chunkItems) = 0;
    virtual std::optional<std::vector<uint32_t>> itemsWithout(int folder, uint32_t markProp) = 0;

    virtual bool writtenHere(uint32_t oid) const = 0;

    virtual bool beginBatch(bool whole) = 0;
    virtual bool commitBatch() = 0;
    virtual void rollbackBatch() = 0;
    virtual bool inBatch() const = 0;
    virtual std::string lastError() const = 0;

    virtual std::optional<std::vector<Session::PendingMap>> pendingMaps(int folder, size_t most) = 0;
    virtual bool notePendingMap(int folder, std::string_view serverId, uint32_t oid) = 0;
    virtual bool dropPendingMaps(int folder) = 0;
    // As Session::reserveOid.
    virtual std::optional<uint32_t> reserveOid() = 0;
    virtual bool overEds() const = 0;
    // As Session::reachFolder.
    virtual bool reachFolder(int folder, std::string* why) = 0;

protected:
    Session* session_ = nullptr;
};

}  // namespace orvale::platform::pim

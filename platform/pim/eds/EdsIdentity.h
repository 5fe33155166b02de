#pragma once
// Which Evolution Data Server item each object identifier names, kept in <root>/eds-ids.db. EDS
// names items by UID strings; the stores, the change databases and the server's maps name them by
// 32-bit identifiers, so the pairing must outlive the process. Identifiers are never reused.
//
// The same file is the write journal: a write to EDS is noted here as intended, durably, before
// it is made, and marked done after, because EDS and this file share no transaction. What a run
// that died left intended is settled at the next log-on by asking EDS what it holds. The pending
// maps live here too, so an item stored from the server is journalled exactly when its intent is.
#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/pim/PimSession.h"

namespace orvale::platform::pim::eds {

class Identity {
public:
    enum class Intent : int { None = 0, Add = 1, Modify = 2, Remove = 3 };
    struct Entry {
        uint32_t oid = 0;
        int folder = 0;
        std::string uid;
        Intent intent = Intent::None;
    };

    // Null, with `why`, when the file cannot be opened or is not ours.
    static std::unique_ptr<Identity> open(const std::string& path, std::string* why);
    ~Identity();
    Identity(const Identity&) = delete;
    Identity& operator=(const Identity&) = delete;

    // The folder's items as EDS holds them now (`uids`, in any order), in collection order: those
    // known before in the order they were first seen, new ones after them with new identifiers.
    // Entries whose UID EDS no longer holds are forgotten, unless a write to them is still
    // intended. Nullopt when the table could not be read or written.
    std::optional<std::vector<Entry>> settleFolder(int folder, const std::vector<std::string>& uids);

    std::optional<Entry> byOid(uint32_t oid);
    // A new item's entry, under a new identifier and with `uid`, noted as an intended add.
    std::optional<uint32_t> addIntended(int folder, std::string_view uid);
    bool setIntent(uint32_t oid, Intent intent);
    // An identifier no entry has or will be given, with no entry made.
    std::optional<uint32_t> reserve();
    // Every entry with a write still intended.
    std::optional<std::vector<Entry>> intended();
    // The writes EDS has taken: their entries are plain again (removed ones are forgotten).
    bool settle(const std::vector<uint32_t>& done, const std::vector<uint32_t>& removed);
    // Adds EDS never got: the entries go, and the pending maps that name them.
    bool forget(const std::vector<uint32_t>& oids);

    std::optional<std::vector<Session::PendingMap>> pendingMaps(int folder, size_t most);
    bool notePendingMap(int folder, std::string_view serverId, uint32_t oid);
    bool dropPendingMaps(int folder);

    // One transaction, made durable by commit (the file syncs at every commit).
    bool begin();
    bool commit();
    void rollback();
    bool inTransaction() const { return sqlite3_get_autocommit(db_) == 0; }
    std::string error() const { return sqlite3_errmsg(db_); }

private:
    Identity() = default;
    bool exec(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
    sqlite3* db_ = nullptr;
};

}  // namespace orvale::platform::pim::eds

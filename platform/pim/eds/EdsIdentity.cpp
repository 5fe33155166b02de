#include "platform/pim/eds/EdsIdentity.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "platform/pim/PendingMapRows.h"
#include "platform/pim/PimBackend.h"
#include "platform/pim/PimStatement.h"

namespace orvale::platform::pim::eds {

using detail::Stmt;

namespace {

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS meta(k TEXT PRIMARY KEY, v INTEGER);"
    "INSERT OR IGNORE INTO meta VALUES('counter', 0);"
    "CREATE TABLE IF NOT EXISTS ids(oid INTEGER PRIMARY KEY, folder INTEGER, uid TEXT, seq INTEGER,"
    " intent INTEGER NOT NULL DEFAULT 0, UNIQUE(folder, uid));"
    "CREATE INDEX IF NOT EXISTS ids_seq ON ids(folder, seq);"
    "CREATE INDEX IF NOT EXISTS ids_intent ON ids(intent) WHERE intent <> 0;"
    "CREATE TABLE IF NOT EXISTS pending_maps(folder INTEGER, server_id BLOB, oid INTEGER,"
    " UNIQUE(folder, server_id));";

Identity::Entry entryFromRow(Stmt& q) {
    Identity::Entry e;
    e.oid = static_cast<uint32_t>(q.i64(0));
    e.folder = static_cast<int>(q.i64(1));
    e.uid = q.blob(2);
    e.intent = static_cast<Identity::Intent>(q.i64(3));
    return e;
}

// The next identifier of the counter, which only grows; 0 is skipped, it means "no item".
bool takeOid(sqlite3* db, uint32_t& oid, int64_t& counter) {
    do {
        Stmt c(db, "UPDATE meta SET v=v+1 WHERE k='counter' RETURNING v");
        if (c.step() != SQLITE_ROW) return false;
        counter = c.i64(0);
        oid = oidForCounter(static_cast<uint32_t>(counter));
    } while (oid == 0);
    return true;
}

// A new row under the next identifier.
std::optional<uint32_t> insertRow(sqlite3* db, int folder, std::string_view uid, Identity::Intent intent) {
    uint32_t oid = 0;
    int64_t counter = 0;
    if (!takeOid(db, oid, counter)) return std::nullopt;
    Stmt ins(db, "INSERT INTO ids(oid, folder, uid, seq, intent) VALUES(?, ?, ?, ?, ?)");
    ins.bind(1, int64_t{oid}).bind(2, int64_t{folder}).bindBlob(3, uid.data(), uid.size()).bind(4, counter);
    ins.bind(5, int64_t{static_cast<int>(intent)});
    if (!ins.done()) return std::nullopt;
    return oid;
}

}  // namespace

std::unique_ptr<Identity> Identity::open(const std::string& path, std::string* why) {
    std::unique_ptr<Identity> id(new Identity);
    auto fail = [&]() -> std::unique_ptr<Identity> {
        if (why != nullptr)
            *why = "the EDS identifier table " + path + " cannot be opened: " +
                   (id->db_ != nullptr ? sqlite3_errmsg(id->db_) : "out of memory");
        return nullptr;
    };
    if (sqlite3_open_v2(path.c_str(), &id->db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK)
        return fail();
    sqlite3_busy_timeout(id->db_, 5000);
    // The journal's promise (an intent is on disk before EDS is written) needs every commit synced.
    if (!id->exec("PRAGMA journal_mode=WAL;") || !id->exec("PRAGMA synchronous=FULL;") || !id->exec("BEGIN IMMEDIATE;"))
        return fail();
    const bool ok = id->exec(kSchema);
    if (!ok) {
        auto failed = fail();
        id->exec("ROLLBACK;");
        return failed;
    }
    if (!id->exec("COMMIT;")) return fail();
    return id;
}

Identity::~Identity() { sqlite3_close(db_); }

bool Identity::begin() { return exec("BEGIN IMMEDIATE;"); }
bool Identity::commit() {
    if (exec("COMMIT;")) return true;
    exec("ROLLBACK;");
    return false;
}
void Identity::rollback() { exec("ROLLBACK;"); }

std::optional<std::vector<Identity::Entry>> Identity::settleFolder(int folder, const std::vector<std::string>& uids) {
    const bool own = !inTransaction();
    if (own && !begin()) return std::nullopt;
    std::vector<Entry> out;
    std::unordered_set<std::string_view> held(uids.begin(), uids.end());
    std::unordered_set<std::string_view> known;
    std::vector<uint32_t> gone;
    bool ok = true;
    {
        Stmt q(db_, "SELECT oid, folder, uid, intent FROM ids WHERE folder=? ORDER BY seq");
        q.bind(1, int64_t{folder});
        int rc;
        while ((rc = q.step()) == SQLITE_ROW) {
            Entry e = entryFromRow(q);
            if (held.count(e.uid) != 0) {
                out.push_back(std::move(e));
            } else if (e.intent == Intent::None) {
                gone.push_back(e.oid);
            }
        }
        ok = rc == SQLITE_DONE;
    }
    // Views into `uids`, which outlives the set: `out` grows below, and views into its strings
    // would dangle when it moves them.
    for (const Entry& e : out) known.insert(*held.find(e.uid));
    for (uint32_t oid : gone) {
        Stmt d(db_, "DELETE FROM ids WHERE oid=?");
        ok = ok && d.bind(1, int64_t{oid}).done();
    }
    for (const std::string& uid : uids) {
        if (!ok) break;
        if (known.count(uid) != 0) continue;
        auto oid = insertRow(db_, folder, uid, Intent::None);
        ok = oid.has_value();
        if (ok) {
            known.insert(uid);
            out.push_back({*oid, folder, uid, Intent::None});
        }
    }
    if (own) ok = ok ? commit() : (rollback(), false);
    if (!ok) return std::nullopt;
    return out;
}

std::optional<Identity::Entry> Identity::byOid(uint32_t oid) {
    Stmt q(db_, "SELECT oid, folder, uid, intent FROM ids WHERE oid=?");
    q.bind(1, int64_t{oid});
    if (q.step() != SQLITE_ROW) return std::nullopt;
    return entryFromRow(q);
}

std::optional<uint32_t> Identity::addIntended(int folder, std::string_view uid) {
    return insertRow(db_, folder, uid, Intent::Add);
}

std::optional<uint32_t> Identity::reserve() {
    uint32_t oid = 0;
    int64_t counter = 0;
    if (!takeOid(db_, oid, counter)) return std::nullopt;
    return oid;
}

bool Identity::setIntent(uint32_t oid, Intent intent) {
    Stmt q(db_, "UPDATE ids SET intent=? WHERE oid=?");
    return q.bind(1, int64_t{static_cast<int>(intent)}).bind(2, int64_t{oid}).done() && sqlite3_changes(db_) == 1;
}

std::optional<std::vector<Identity::Entry>> Identity::intended() {
    Stmt q(db_, "SELECT oid, folder, uid, intent FROM ids WHERE intent <> 0 ORDER BY seq");
    std::vector<Entry> out;
    int rc;
    while ((rc = q.step()) == SQLITE_ROW) out.push_back(entryFromRow(q));
    if (rc != SQLITE_DONE) return std::nullopt;
    return out;
}

bool Identity::settle(const std::vector<uint32_t>& done, const std::vector<uint32_t>& removed) {
    bool ok = true;
    for (uint32_t oid : done) {
        Stmt q(db_, "UPDATE ids SET intent=0 WHERE oid=?");
        ok = ok && q.bind(1, int64_t{oid}).done();
    }
    for (uint32_t oid : removed) {
        Stmt q(db_, "DELETE FROM ids WHERE oid=?");
        ok = ok && q.bind(1, int64_t{oid}).done();
    }
    return ok;
}

bool Identity::forget(const std::vector<uint32_t>& oids) {
    bool ok = true;
    for (uint32_t oid : oids) {
        Stmt q(db_, "DELETE FROM ids WHERE oid=?");
        Stmt m(db_, "DELETE FROM pending_maps WHERE oid=?");
        ok = ok && q.bind(1, int64_t{oid}).done() && m.bind(1, int64_t{oid}).done();
    }
    return ok;
}

std::optional<std::vector<Session::PendingMap>> Identity::pendingMaps(int folder, size_t most) {
    Stmt q(db_, "SELECT server_id, oid FROM pending_maps WHERE folder=? ORDER BY rowid");
    q.bind(1, int64_t{folder});
    return readPendingMapRows(q, most);
}

bool Identity::notePendingMap(int folder, std::string_view serverId, uint32_t oid) {
    Stmt q(db_, "INSERT OR REPLACE INTO pending_maps(folder, server_id, oid) VALUES(?, ?, ?)");
    return q.bind(1, int64_t{folder}).bindBlob(2, serverId.data(), serverId.size()).bind(3, int64_t{oid}).done();
}

bool Identity::dropPendingMaps(int folder) {
    Stmt q(db_, "DELETE FROM pending_maps WHERE folder=?");
    return q.bind(1, int64_t{folder}).done();
}

}  // namespace orvale::platform::pim::eds

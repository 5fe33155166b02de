#include "platform/pim/PimSession.h"

#include <sqlite3.h>

#include <filesystem>
#include <string>

#include "platform/DevicePaths.h"
#include "platform/pim/PimSchema.h"
#include "platform/pim/PimSessionImpl.h"
#include "platform/pim/PimStatement.h"
#include "platform/pim/StoreChoice.h"
#include "platform/pim/eds/EdsBackend.h"

namespace orvale::platform::pim {

namespace {

Session* g_session = nullptr;

int folderForType(int type) {
    switch (type) {
    case kAppointment: return kFolderCalendar;
    case kContact: return kFolderContacts;
    case kTask: return kFolderTasks;
    default: return 0;
    }
}

using detail::Stmt;

}  // namespace

Session::Session(std::unique_ptr<Backend> backend) : backend_(std::move(backend)) {
    backend_->attach(this);
}
Session::~Session() = default;

std::unique_ptr<SqliteBackend> SqliteBackend::open(Session::Access access, std::string* why) {
    auto impl = std::make_unique<SqliteBackend>();
    std::string path = hostPath("pim.db").string();
    std::error_code ec;
    if (access == Session::Access::ReadOnly && std::filesystem::exists(path, ec)) {
        // No journal mode, no schema: a reader changes nothing, not even an older file's layout.
        // A file that is no database, or not ours, must not read as an empty device.
        const bool opened =
            sqlite3_open_v2(path.c_str(), &impl->db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) == SQLITE_OK;
        if (opened) sqlite3_busy_timeout(impl->db, 5000);
        if (!opened || !impl->exec("SELECT count(*) FROM items;")) {
            if (why != nullptr)
                *why = "the device database " + path + " cannot be opened: " +
                       (impl->db != nullptr ? sqlite3_errmsg(impl->db) : "out of memory");
            return nullptr;
        }
        impl->exec(detail::kReadCacheSize);
        return impl;
    }
    if (access == Session::Access::ReadOnly) path = ":memory:";
    auto fail = [&] {
        if (why != nullptr) {
            *why = "the device database " + path + " cannot be opened: " +
                   (impl->db != nullptr ? sqlite3_errmsg(impl->db) : "out of memory");
        }
        return nullptr;
    };
    // The session is used by one thread at a time (its statement cache and batches are not shared
    // between threads either), so the connection's own mutex, taken on every call down to each
    // column read, only costs.
    if (sqlite3_open_v2(path.c_str(), &impl->db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK)
        return fail();
    sqlite3_busy_timeout(impl->db, 5000);
    // Statements and cursors allocate many small blocks per row; a larger per-connection pool for
    // them spares the allocator most of those calls when a message's items are written.
    sqlite3_db_config(impl->db, SQLITE_DBCONFIG_LOOKASIDE, nullptr, 1200, 512);
    if (!impl->exec("PRAGMA journal_mode=WAL;") || !impl->exec("BEGIN IMMEDIATE;")) return fail();
    impl->exec(detail::kReadCacheSize);
    bool ok = impl->exec(detail::kSchema);
    if (!ok) fail();
    impl->exec(ok ? "COMMIT;" : "ROLLBACK;");
    if (!ok) return nullptr;
    return impl;
}

bool Session::logOn(std::string* why, Access access) {
    if (g_session) return true;
    const auto choice = StoreChoice::load(why);
    if (!choice) return false;
    std::unique_ptr<Backend> backend;
    if (choice->kind == StoreChoice::Kind::Eds) backend = openEdsBackend(*choice, access, why);
    else backend = SqliteBackend::open(access, why);
    if (!backend) return false;
    g_session = new Session(std::move(backend));
    return true;
}

void Session::logOff() {
    delete g_session;
    g_session = nullptr;
}

Session* Session::current() { return g_session; }

std::unique_ptr<Item> SqliteBackend::load(uint32_t oid) {
    SqliteBackend& s = *this;
    // One read transaction, so the parts of an item come from one committed state.
    detail::ReadTransaction tx(s);
    std::unique_ptr<Item> item;
    Stmt q = s.stmt("SELECT folder, type FROM items WHERE oid=?");
    q.bind(1, int64_t{oid});
    if (q.step() != SQLITE_ROW) return item;
    item = std::make_unique<Item>();
    item->session_ = session_;
    item->oid_ = oid;
    item->folder_ = static_cast<int>(q.i64(0));
    item->type_ = static_cast<int>(q.i64(1));
    Stmt p = s.stmt("SELECT pid, u32, ft, data FROM props WHERE oid=? ORDER BY pid");
    p.bind(1, int64_t{oid});
    while (p.step() == SQLITE_ROW) item->props_.push_back(detail::propFromRow(p, 0));
    Stmt r = s.stmt("SELECT type, ival, occ, noend, pstart, pend, st, et, mask, dom, inst, moy"
                    " FROM recur WHERE oid=?");
    r.bind(1, int64_t{oid});
    if (r.step() == SQLITE_ROW) {
        RecurrencePattern rp = detail::patternFromRow(r, 0);
        Stmt e = s.stmt("SELECT orig, deleted FROM exc WHERE oid=? ORDER BY rowid");
        e.bind(1, int64_t{oid});
        while (e.step() == SQLITE_ROW) rp.exceptions.push_back({e.dbl(0), e.i64(1) != 0});
        item->recurrence_ = std::move(rp);
    }
    Stmt c = s.stmt("SELECT name, addr FROM recip WHERE oid=? ORDER BY pos");
    c.bind(1, int64_t{oid});
    while (c.step() == SQLITE_ROW) item->recipients_.push_back({detail::bytesText(c.blob(0)), detail::bytesText(c.blob(1))});
    return item;
}

std::unique_ptr<Item> Session::createItem(int type) {
    int folder = folderForType(type);
    if (folder == 0) return nullptr;
    auto item = std::make_unique<Item>();
    item->session_ = this;
    item->type_ = type;
    item->folder_ = folder;
    return item;
}

bool SqliteBackend::beginBatch(bool whole) {
    SqliteBackend& s = *this;
    if (s.batchDepth > 0) {
        ++s.batchDepth;
        return true;
    }
    if (!s.exec("BEGIN IMMEDIATE;")) return s.failed();
    s.batchDepth = 1;
    s.batchBroken = false;
    s.batchWhole = whole;
    s.exec(detail::kBatchCacheSize);
    return true;
}

bool SqliteBackend::commitBatch() {
    SqliteBackend& s = *this;
    if (s.batchDepth == 0) return false;
    if (--s.batchDepth > 0) return !s.batchBroken;
    const bool kept = !s.batchBroken && s.exec("COMMIT;");
    if (!kept) {
        if (!s.batchBroken) s.failed();
        s.exec("ROLLBACK;");
    }
    s.exec(detail::kReadCacheSize);
    return kept;
}

void SqliteBackend::rollbackBatch() {
    SqliteBackend& s = *this;
    if (s.batchDepth == 0) return;
    s.batchDepth = 0;
    s.exec("ROLLBACK;");
    s.exec(detail::kReadCacheSize);
}

// The session's calls, over whichever store it opened.
std::unique_ptr<Item> Session::itemByOid(uint32_t oid) { return backend_->load(oid); }
std::optional<std::vector<std::unique_ptr<Item>>> Session::itemsByOid(const std::vector<uint32_t>& oids) {
    return backend_->loadMany(oids);
}
bool Session::visitFolder(int folder, const std::vector<uint32_t>& propIds, size_t streamLimit,
                          const std::function<void(Item&)>& visit, size_t chunkItems) {
    if (!isKnownFolder(folder)) return false;
    return backend_->visitFolder(folder, propIds, streamLimit, visit, chunkItems);
}
std::optional<std::vector<Item>> Session::readFolder(int folder, const std::vector<uint32_t>& propIds,
                                                     size_t streamLimit) {
    std::vector<Item> items;
    if (!visitFolder(folder, propIds, streamLimit, [&](Item& item) { items.push_back(std::move(item)); },
                     SIZE_MAX))
        return std::nullopt;
    return items;
}
std::optional<std::vector<uint32_t>> Session::itemsWithout(int folder, uint32_t markProp) {
    if (!isKnownFolder(folder)) return std::nullopt;
    return backend_->itemsWithout(folder, markProp);
}
bool Session::writtenHere(uint32_t oid) const { return backend_->writtenHere(oid); }
bool Session::beginBatch(bool whole) { return backend_->beginBatch(whole); }
bool Session::commitBatch() { return backend_->commitBatch(); }
void Session::rollbackBatch() { backend_->rollbackBatch(); }
bool Session::inBatch() const { return backend_->inBatch(); }
std::string Session::lastError() const { return backend_->lastError(); }
std::optional<std::vector<Session::PendingMap>> Session::pendingMaps(int folder, size_t most) {
    return backend_->pendingMaps(folder, most);
}
bool Session::notePendingMap(int folder, std::string_view serverId, uint32_t oid) {
    return backend_->notePendingMap(folder, serverId, oid);
}
bool Session::dropPendingMaps(int folder) { return backend_->dropPendingMaps(folder); }
std::optional<uint32_t> Session::reserveOid() { return backend_->reserveOid(); }
bool Session::overEds() const { return backend_->overEds(); }

bool Session::reachFolder(int folder, std::string* why) { return backend_->reachFolder(folder, why); }

std::optional<ItemCollection> Session::defaultFolderItems(int folder) {
    if (!isKnownFolder(folder)) return std::nullopt;
    auto oids = backend_->folderOids(folder);
    if (!oids) return std::nullopt;
    ItemCollection c;
    c.session_ = this;
    c.oids_ = std::move(*oids);
    return c;
}

bool Item::save() {
    if (!session_ || partial_) return false;
    return session_->backend_->save(*this);
}

bool Item::remove() {
    if (!session_ || partial_ || oid_ == 0) return false;
    return session_->backend_->remove(*this);
}

}  // namespace orvale::platform::pim

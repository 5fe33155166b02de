#pragma once
// Internal to the store: Orvale's own database behind the process-wide session.
#include <sqlite3.h>

#include <cstdint>
#include <set>
#include <string>
#include <unordered_map>

#include "platform/pim/PimBackend.h"
#include "platform/pim/PimSession.h"
#include "platform/pim/PimStatement.h"

namespace orvale::platform::pim {

class SqliteBackend final : public Backend {
public:
    // Opens <root>/pim.db as Session::logOn describes; null, with `why`, when it cannot.
    static std::unique_ptr<SqliteBackend> open(Session::Access access, std::string* why);

    std::unique_ptr<Item> load(uint32_t oid) override;
    std::optional<std::vector<std::unique_ptr<Item>>> loadMany(const std::vector<uint32_t>& oids) override;
    bool save(Item& item) override;
    bool remove(Item& item) override;
    std::optional<std::vector<uint32_t>> folderOids(int folder) override;
    bool visitFolder(int folder, const std::vector<uint32_t>& propIds, size_t streamLimit,
                     const std::function<void(Item&)>& visit, size_t chunkItems) override;
    std::optional<std::vector<uint32_t>> itemsWithout(int folder, uint32_t markProp) override;
    bool writtenHere(uint32_t oid) const override { return written.count(oid) != 0; }
    bool beginBatch(bool whole) override;
    bool commitBatch() override;
    void rollbackBatch() override;
    bool inBatch() const override { return batchDepth > 0; }
    std::string lastError() const override { return lastError_; }
    std::optional<std::vector<Session::PendingMap>> pendingMaps(int folder, size_t most) override;
    bool notePendingMap(int folder, std::string_view serverId, uint32_t oid) override;
    bool dropPendingMaps(int folder) override;
    std::optional<uint32_t> reserveOid() override;
    bool overEds() const override { return false; }
    bool reachFolder(int, std::string*) override { return true; }

    sqlite3* db = nullptr;
    // Items this process saved or removed while logged on.
    std::set<uint32_t> written;
    // Open beginBatch calls; the transaction exists while this is above 0.
    int batchDepth = 0;
    // The batch's transaction could not be kept whole (a write inside it failed half-way): its
    // commit rolls back instead.
    bool batchBroken = false;
    // The batch is kept entire or not at all: its writes need no savepoint each.
    bool batchWhole = false;
    // Statements prepared once per session, by their text's address: preparing costs more than
    // running most of them.
    std::unordered_map<const char*, sqlite3_stmt*> prepared;
    // The database's words for the last write that failed; empty while none has.
    std::string lastError_;

    ~SqliteBackend() override {
        for (auto& entry : prepared) sqlite3_finalize(entry.second);
        sqlite3_close(db);
    }
    bool exec(const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
    // A statement without results run from the cache: the ones run per item are not compiled again.
    bool run(const char* sql) { return stmt(sql).done(); }
    // Keeps why the call just made failed; false, for the caller to pass on.
    bool failed() {
        const int code = sqlite3_errcode(db);
        // A write refused for want of its item is no database error.
        if (code != SQLITE_OK && code != SQLITE_ROW && code != SQLITE_DONE) lastError_ = sqlite3_errmsg(db);
        return false;
    }
    // `sql` must be a string literal (its address is the cache key).
    detail::Stmt stmt(const char* sql) {
        sqlite3_stmt*& s = prepared[sql];
        if (s == nullptr) sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr);
        return detail::Stmt(s);
    }
    bool inTransaction() const { return sqlite3_get_autocommit(db) == 0; }
};

namespace detail {

// One committed state for every query of a read, ended on every way out. Inside a transaction
// that is already open (a batch) the read simply joins it.
struct ReadTransaction {
    SqliteBackend& s;
    bool begun;
    explicit ReadTransaction(SqliteBackend& impl) : s(impl), begun(!s.inTransaction() && s.exec("BEGIN;")) {}
    ~ReadTransaction() {
        if (begun) s.exec("COMMIT;");
    }
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;
};

// A write that stands alone outside a batch (its own transaction) and, inside one, can be undone
// alone (a savepoint), so one refused item does not take the batch's other items with it. Inside a
// whole batch it is neither: a refused one breaks the batch.
class WriteScope {
public:
    explicit WriteScope(SqliteBackend& impl)
        : s_(impl), nested_(impl.batchDepth > 0), whole_(nested_ && impl.batchWhole),
          open_(whole_ || s_.run(nested_ ? "SAVEPOINT item" : "BEGIN IMMEDIATE")) {
        if (!open_) s_.failed();
    }
    ~WriteScope() {
        if (open_) end(false);
    }
    WriteScope(const WriteScope&) = delete;
    WriteScope& operator=(const WriteScope&) = delete;
    bool open() const { return open_; }
    // Keeps the writes when `ok`, else undoes them; true when they were kept.
    bool end(bool ok) {
        if (!open_) return false;
        open_ = false;
        if (!ok) s_.failed();
        if (whole_) {
            // Nothing undoes this write alone: the batch it half-did must not commit.
            if (!ok) s_.batchBroken = true;
            return ok;
        }
        if (nested_) {
            if (ok && s_.run("RELEASE item")) return true;
            // A savepoint that cannot be undone leaves the batch with half an item: it must not commit.
            if (!s_.run("ROLLBACK TO item") || !s_.run("RELEASE item")) s_.batchBroken = true;
            return false;
        }
        if (ok && s_.run("COMMIT")) return true;
        if (ok) s_.failed();
        s_.run("ROLLBACK");
        return false;
    }

private:
    SqliteBackend& s_;
    bool nested_;
    bool whole_;
    bool open_;
};

}  // namespace detail

}  // namespace orvale::platform::pim

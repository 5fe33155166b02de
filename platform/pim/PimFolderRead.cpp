// The whole-folder read behind the change scan. Reading item by item costs several queries per item
// and dominates a scan of a large folder; here each table is walked once for the folder.
#include <algorithm>
#include <unordered_map>

#include "platform/pim/PimSession.h"
#include "platform/pim/PimSessionImpl.h"
#include "platform/pim/PimStatement.h"

namespace orvale::platform::pim {

using detail::Stmt;

namespace {

// One committed state for every query of the read, ended on every way out. Only a transaction
// begun here is ended here.
struct ReadTransaction {
    Session::Impl& s;
    bool begun;
    explicit ReadTransaction(Session::Impl& impl) : s(impl), begun(s.exec("BEGIN;")) {}
    ~ReadTransaction() {
        if (begun) s.exec("COMMIT;");
    }
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;
};

}  // namespace

std::optional<std::vector<Item>> Session::readFolder(int folder, const std::vector<uint32_t>& propIds,
                                                     size_t streamLimit) {
    if (!isKnownFolder(folder)) return std::nullopt;
    sqlite3* db = impl_->db;
    ReadTransaction tx(*impl_);

    std::vector<Item> items;
    std::unordered_map<uint32_t, size_t> at;
    {
        Stmt q(db, "SELECT oid, type FROM items WHERE folder=? ORDER BY seq");
        q.bind(1, int64_t{folder});
        int rc;
        while ((rc = q.step()) == SQLITE_ROW) {
            Item item;
            item.session_ = this;
            item.oid_ = static_cast<uint32_t>(q.i64(0));
            item.type_ = static_cast<int>(q.i64(1));
            item.folder_ = folder;
            item.partial_ = true;
            at.emplace(item.oid_, items.size());
            items.push_back(std::move(item));
        }
        if (rc != SQLITE_DONE) return std::nullopt;
    }
    if (items.empty()) return items;
    // Rows come grouped by item, so the last item found usually owns the next row too.
    Item* last = nullptr;
    auto owner = [&](int64_t oid) -> Item* {
        if (last && last->oid_ == static_cast<uint32_t>(oid)) return last;
        auto it = at.find(static_cast<uint32_t>(oid));
        return last = it != at.end() ? &items[it->second] : nullptr;
    };

    std::vector<uint32_t> wanted = propIds;
    std::sort(wanted.begin(), wanted.end());
    // The identifiers are filtered here rather than in the query: a range read of each item's
    // properties beats one index probe per wanted identifier and item.
    Stmt p(db,
           "SELECT p.oid, p.pid, p.u32, p.ft,"
           " CASE WHEN (p.pid & 65535) = 100 THEN substr(p.data, 1, ?2) ELSE p.data END"
           " FROM items i JOIN props p ON p.oid = i.oid WHERE i.folder = ?1 ORDER BY i.seq, p.pid");
    p.bind(1, int64_t{folder}).bind(2, static_cast<int64_t>(std::min<size_t>(streamLimit, INT32_MAX)));
    int rc;
    while ((rc = p.step()) == SQLITE_ROW) {
        if (!std::binary_search(wanted.begin(), wanted.end(), static_cast<uint32_t>(p.i64(1)))) continue;
        if (Item* item = owner(p.i64(0))) item->props_.push_back(detail::propFromRow(p, 1));
    }
    if (rc != SQLITE_DONE) return std::nullopt;

    // Each remaining table once for the folder; the rows' first column is the item they belong to.
    auto eachRow = [&](const char* sql, auto use) {
        Stmt q(db, sql);
        q.bind(1, int64_t{folder});
        int status;
        while ((status = q.step()) == SQLITE_ROW)
            if (Item* item = owner(q.i64(0))) use(*item, q);
        return status == SQLITE_DONE;
    };
    bool ok = eachRow("SELECT r.oid, r.type, r.ival, r.occ, r.noend, r.pstart, r.pend, r.st, r.et, r.mask,"
                      " r.dom, r.inst, r.moy FROM items i JOIN recur r ON r.oid = i.oid WHERE i.folder = ?",
                      [](Item& item, Stmt& q) { item.recurrence_ = detail::patternFromRow(q, 1); });
    ok = ok && eachRow("SELECT e.oid, e.orig, e.deleted FROM items i JOIN exc e ON e.oid = i.oid"
                       " WHERE i.folder = ? ORDER BY e.rowid",
                       [](Item& item, Stmt& q) {
                           if (item.recurrence_) item.recurrence_->exceptions.push_back({q.dbl(1), q.i64(2) != 0});
                       });
    ok = ok && eachRow("SELECT c.oid, c.name, c.addr FROM items i JOIN recip c ON c.oid = i.oid"
                       " WHERE i.folder = ? ORDER BY c.oid, c.pos",
                       [](Item& item, Stmt& q) {
                           item.recipients_.push_back({detail::bytesText(q.blob(1)), detail::bytesText(q.blob(2))});
                       });
    if (!ok) return std::nullopt;
    return items;
}

}  // namespace orvale::platform::pim

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

// Ends the read transaction on every way out.
struct ReadTransaction {
    Session::Impl& s;
    explicit ReadTransaction(Session::Impl& impl) : s(impl) { s.exec("BEGIN;"); }
    ~ReadTransaction() { s.exec("COMMIT;"); }
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

    Stmt r(db,
           "SELECT r.oid, r.type, r.ival, r.occ, r.noend, r.pstart, r.pend, r.st, r.et, r.mask, r.dom,"
           " r.inst, r.moy FROM items i JOIN recur r ON r.oid = i.oid WHERE i.folder = ?");
    r.bind(1, int64_t{folder});
    while ((rc = r.step()) == SQLITE_ROW)
        if (Item* item = owner(r.i64(0))) item->recurrence_ = detail::patternFromRow(r, 1);
    if (rc != SQLITE_DONE) return std::nullopt;

    Stmt e(db,
           "SELECT e.oid, e.orig, e.deleted FROM items i JOIN exc e ON e.oid = i.oid WHERE i.folder = ?"
           " ORDER BY e.rowid");
    e.bind(1, int64_t{folder});
    while ((rc = e.step()) == SQLITE_ROW) {
        Item* item = owner(e.i64(0));
        if (item && item->recurrence_) item->recurrence_->exceptions.push_back({e.dbl(1), e.i64(2) != 0});
    }
    if (rc != SQLITE_DONE) return std::nullopt;

    Stmt c(db,
           "SELECT c.oid, c.name, c.addr FROM items i JOIN recip c ON c.oid = i.oid WHERE i.folder = ?"
           " ORDER BY c.oid, c.pos");
    c.bind(1, int64_t{folder});
    while ((rc = c.step()) == SQLITE_ROW)
        if (Item* item = owner(c.i64(0)))
            item->recipients_.push_back({detail::bytesText(c.blob(1)), detail::bytesText(c.blob(2))});
    if (rc != SQLITE_DONE) return std::nullopt;
    return items;
}

}  // namespace orvale::platform::pim

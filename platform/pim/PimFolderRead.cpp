// The whole-folder read behind the change scan. Reading item by item costs several queries per item
// and dominates a scan of a large folder; here each table is walked once per chunk of items, and
// only one chunk is held at a time.
#include <algorithm>
#include <string>
#include <unordered_map>

#include "platform/pim/PimSession.h"
#include "platform/pim/PimSessionImpl.h"
#include "platform/pim/PimStatement.h"

namespace orvale::platform::pim {

using detail::Stmt;

namespace {

struct Listed {
    uint32_t oid;
    int type;
    int64_t seq;
};

// The queries of one chunk: the rows of the items whose sequence number lies in [?2, ?3]. A range
// may also hold rows of items outside the chunk (equal sequence numbers at its edge); those are
// skipped, as they belong to the neighbouring chunk.
// The identifier in the order makes it the folder index's own order and each item's properties
// that of the property key, so the rows need no sort.
constexpr const char* kPropsSql =
    "SELECT p.oid, p.pid, p.u32, p.ft,"
    " CASE WHEN (p.pid & 65535) = 100 THEN substr(p.data, 1, ?4) ELSE p.data END"
    " FROM items i JOIN props p ON p.oid = i.oid WHERE i.folder = ?1 AND i.seq BETWEEN ?2 AND ?3"
    " ORDER BY i.seq, i.oid, p.pid";
constexpr const char* kRecurSql =
    "SELECT r.oid, r.type, r.ival, r.occ, r.noend, r.pstart, r.pend, r.st, r.et, r.mask,"
    " r.dom, r.inst, r.moy FROM items i JOIN recur r ON r.oid = i.oid"
    " WHERE i.folder = ?1 AND i.seq BETWEEN ?2 AND ?3";
constexpr const char* kExcSql =
    "SELECT e.oid, e.orig, e.deleted FROM items i JOIN exc e ON e.oid = i.oid"
    " WHERE i.folder = ?1 AND i.seq BETWEEN ?2 AND ?3 ORDER BY e.rowid";
constexpr const char* kRecipSql =
    "SELECT c.oid, c.name, c.addr FROM items i JOIN recip c ON c.oid = i.oid"
    " WHERE i.folder = ?1 AND i.seq BETWEEN ?2 AND ?3 ORDER BY c.oid, c.pos";

}  // namespace

bool SqliteBackend::visitFolder(int folder, const std::vector<uint32_t>& propIds, size_t streamLimit,
                                const std::function<void(Item&)>& visit, size_t chunkItems) {
    SqliteBackend& s = *this;
    detail::ReadTransaction tx(s);

    // Identifiers and sequence numbers only: a few bytes per item however large the items are.
    std::vector<Listed> listed;
    {
        Stmt q = s.stmt("SELECT oid, type, seq FROM items WHERE folder=? ORDER BY seq");
        q.bind(1, int64_t{folder});
        int rc;
        while ((rc = q.step()) == SQLITE_ROW)
            listed.push_back({static_cast<uint32_t>(q.i64(0)), static_cast<int>(q.i64(1)), q.i64(2)});
        if (rc != SQLITE_DONE) return false;
    }
    if (listed.empty()) return true;

    std::vector<uint32_t> wanted = propIds;
    std::sort(wanted.begin(), wanted.end());
    Stmt props = s.stmt(kPropsSql), recur = s.stmt(kRecurSql), exc = s.stmt(kExcSql), recip = s.stmt(kRecipSql);
    props.bind(4, static_cast<int64_t>(std::min<size_t>(streamLimit, INT32_MAX)));
    chunkItems = std::max<size_t>(chunkItems, 1);

    std::vector<Item> items;
    std::unordered_map<uint32_t, size_t> at;
    for (size_t first = 0; first < listed.size(); first += chunkItems) {
        const size_t end = std::min(listed.size(), first + chunkItems);
        items.clear();
        at.clear();
        for (size_t k = first; k < end; ++k) {
            Item item;
            item.session_ = session_;
            item.oid_ = listed[k].oid;
            item.type_ = listed[k].type;
            item.folder_ = folder;
            item.partial_ = true;
            at.emplace(item.oid_, items.size());
            items.push_back(std::move(item));
        }
        // Rows come grouped by item, so the last item found usually owns the next row too.
        Item* last = nullptr;
        auto owner = [&](int64_t oid) -> Item* {
            if (last && last->oid_ == static_cast<uint32_t>(oid)) return last;
            auto it = at.find(static_cast<uint32_t>(oid));
            return last = it != at.end() ? &items[it->second] : nullptr;
        };
        auto eachRow = [&](Stmt& q, auto use) {
            q.reset();
            q.bind(1, int64_t{folder}).bind(2, listed[first].seq).bind(3, listed[end - 1].seq);
            int status;
            while ((status = q.step()) == SQLITE_ROW)
                if (Item* item = owner(q.i64(0))) use(*item, q);
            return status == SQLITE_DONE;
        };
        // The identifiers are filtered here rather than in the query: a range read of each item's
        // properties beats one index probe per wanted identifier and item.
        bool ok = eachRow(props, [&](Item& item, Stmt& q) {
            if (std::binary_search(wanted.begin(), wanted.end(), static_cast<uint32_t>(q.i64(1))))
                item.props_.push_back(detail::propFromRow(q, 1));
        });
        ok = ok && eachRow(recur, [](Item& item, Stmt& q) { item.recurrence_ = detail::patternFromRow(q, 1); });
        ok = ok && eachRow(exc, [](Item& item, Stmt& q) {
            if (item.recurrence_) item.recurrence_->exceptions.push_back({q.dbl(1), q.i64(2) != 0});
        });
        ok = ok && eachRow(recip, [](Item& item, Stmt& q) {
            item.recipients_.push_back({detail::bytesText(q.blob(1)), detail::bytesText(q.blob(2))});
        });
        if (!ok) return false;
        for (Item& item : items) visit(item);
    }
    return true;
}

namespace {

// "<head> IN (?1, ..., ?N)<tail>" for one chunk of identifiers; the text lives as long as the
// program, so the session can keep the statement prepared by its address.
const char* inChunkSql(std::string& text, const char* head, const char* tail) {
    if (text.empty()) {
        text = head;
        text += " IN (";
        for (size_t i = 1; i <= Session::kReadManyChunk; ++i) text += (i > 1 ? ", ?" : "?") + std::to_string(i);
        text += ")";
        text += tail;
    }
    return text.c_str();
}

}  // namespace

std::optional<std::vector<std::unique_ptr<Item>>> SqliteBackend::loadMany(const std::vector<uint32_t>& oids) {
    static std::string itemsText, propsText, recurText, excText, recipText;
    const char* itemsSql = inChunkSql(itemsText, "SELECT oid, folder, type FROM items WHERE oid", "");
    const char* propsSql = inChunkSql(propsText, "SELECT oid, pid, u32, ft, data FROM props WHERE oid", " ORDER BY oid, pid");
    const char* recurSql = inChunkSql(recurText,
                                      "SELECT oid, type, ival, occ, noend, pstart, pend, st, et, mask, dom, inst, moy"
                                      " FROM recur WHERE oid", "");
    const char* excSql = inChunkSql(excText, "SELECT oid, orig, deleted FROM exc WHERE oid", " ORDER BY rowid");
    const char* recipSql = inChunkSql(recipText, "SELECT oid, name, addr FROM recip WHERE oid", " ORDER BY oid, pos");

    SqliteBackend& s = *this;
    detail::ReadTransaction tx(s);
    std::vector<std::unique_ptr<Item>> out(oids.size());
    std::unordered_map<uint32_t, Item*> found;
    for (size_t first = 0; first < oids.size(); first += Session::kReadManyChunk) {
        const size_t end = std::min(oids.size(), first + Session::kReadManyChunk);
        found.clear();
        auto eachRow = [&](const char* sql, auto use) {
            Stmt q = s.stmt(sql);
            // Identifier 0 names no item: it fills the places of a short chunk.
            for (size_t k = 0; k < Session::kReadManyChunk; ++k)
                q.bind(static_cast<int>(k + 1), int64_t{first + k < end ? oids[first + k] : 0u});
            int status;
            while ((status = q.step()) == SQLITE_ROW) use(q);
            return status == SQLITE_DONE;
        };
        auto owner = [&](Stmt& q) -> Item* {
            auto it = found.find(static_cast<uint32_t>(q.i64(0)));
            return it != found.end() ? it->second : nullptr;
        };
        bool ok = eachRow(itemsSql, [&](Stmt& q) {
            auto item = std::make_unique<Item>();
            item->session_ = session_;
            item->oid_ = static_cast<uint32_t>(q.i64(0));
            item->folder_ = static_cast<int>(q.i64(1));
            item->type_ = static_cast<int>(q.i64(2));
            found[item->oid_] = item.get();
            for (size_t k = first; k < end; ++k) {
                if (oids[k] == item->oid_ && !out[k]) {
                    out[k] = std::move(item);
                    break;
                }
            }
        });
        ok = ok && eachRow(propsSql, [&](Stmt& q) {
            if (Item* item = owner(q)) item->props_.push_back(detail::propFromRow(q, 1));
        });
        ok = ok && eachRow(recurSql, [&](Stmt& q) {
            if (Item* item = owner(q)) item->recurrence_ = detail::patternFromRow(q, 1);
        });
        ok = ok && eachRow(excSql, [&](Stmt& q) {
            Item* item = owner(q);
            if (item && item->recurrence_) item->recurrence_->exceptions.push_back({q.dbl(1), q.i64(2) != 0});
        });
        ok = ok && eachRow(recipSql, [&](Stmt& q) {
            if (Item* item = owner(q)) item->recipients_.push_back({detail::bytesText(q.blob(1)), detail::bytesText(q.blob(2))});
        });
        if (!ok) return std::nullopt;
        // An identifier given twice: each place gets the item.
        for (size_t k = first; k < end; ++k) {
            if (out[k] || found.count(oids[k]) == 0) continue;
            out[k] = std::make_unique<Item>(*found[oids[k]]);
        }
    }
    return out;
}

std::optional<std::vector<uint32_t>> SqliteBackend::itemsWithout(int folder, uint32_t markProp) {
    SqliteBackend& s = *this;
    Stmt q = s.stmt(
        "SELECT i.oid FROM items i LEFT JOIN props p ON p.oid = i.oid AND p.pid = ?2"
        " WHERE i.folder = ?1 AND IFNULL(p.u32, 0) = 0 ORDER BY i.seq");
    q.bind(1, int64_t{folder}).bind(2, int64_t{markProp});
    std::vector<uint32_t> oids;
    int rc;
    while ((rc = q.step()) == SQLITE_ROW) oids.push_back(static_cast<uint32_t>(q.i64(0)));
    if (rc != SQLITE_DONE) return std::nullopt;
    return oids;
}

}  // namespace orvale::platform::pim

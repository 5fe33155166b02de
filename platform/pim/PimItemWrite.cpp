// Writing an item whole, or removing it, in one transaction (or one savepoint of a batch).
#include <algorithm>
#include <array>
#include <string>

#include "platform/pim/PimSession.h"
#include "platform/pim/PimSessionImpl.h"

namespace orvale::platform::pim {

namespace {

using detail::Stmt;

// An item's properties go in with a few statements rather than one each: running a statement
// costs more than the row it inserts. The texts live as long as the program, so the session keeps
// each prepared by its address.
constexpr size_t kPropRowsPerInsert = 16;
const char* propsInsertSql(size_t rows) {
    static const std::array<std::string, kPropRowsPerInsert + 1> texts = [] {
        std::array<std::string, kPropRowsPerInsert + 1> t;
        for (size_t n = 1; n <= kPropRowsPerInsert; ++n) {
            t[n] = "INSERT INTO props VALUES(?, ?, ?, ?, ?)";
            for (size_t i = 1; i < n; ++i) t[n] += ", (?, ?, ?, ?, ?)";
        }
        return t;
    }();
    return texts[rows].c_str();
}

// An identifier taken from the counter. Counter values whose identifier would be 0 are skipped:
// 0 means "no item". The counter only grows, so no identifier is given twice.
bool takeOid(SqliteBackend& s, uint32_t& oid, int64_t& counter) {
    bool ok = true;
    do {
        Stmt c = s.stmt("UPDATE meta SET v=v+1 WHERE k='counter' RETURNING v");
        ok = c.step() == SQLITE_ROW;
        counter = ok ? c.i64(0) : 0;
        oid = ok ? oidForCounter(static_cast<uint32_t>(counter)) : 1;
    } while (ok && oid == 0);
    return ok;
}

// A new item's row, under an identifier taken from the counter, which also orders the folder: a
// new item comes after every other.
bool insertNewItem(SqliteBackend& s, int folder, int type, uint32_t& oid) {
    int64_t counter = 0;
    const bool ok = takeOid(s, oid, counter);
    Stmt ins = s.stmt("INSERT INTO items VALUES(?, ?, ?, ?)");
    return ok && ins.bind(1, int64_t{oid}).bind(2, int64_t{folder}).bind(3, int64_t{type}).bind(4, counter).done();
}

// An existing item keeps its row and loses every part, which the save then writes anew; false
// when the item is gone.
bool clearExistingItem(SqliteBackend& s, uint32_t oid) {
    Stmt chk = s.stmt("SELECT 1 FROM items WHERE oid=?");
    bool ok = chk.bind(1, int64_t{oid}).step() == SQLITE_ROW;
    for (const char* sql : {"DELETE FROM props WHERE oid=?", "DELETE FROM recur WHERE oid=?",
                            "DELETE FROM exc WHERE oid=?", "DELETE FROM recip WHERE oid=?"}) {
        Stmt d = s.stmt(sql);
        ok = ok && d.bind(1, int64_t{oid}).done();
    }
    return ok;
}

bool insertProps(SqliteBackend& s, uint32_t oid, const std::vector<PropValue>& props) {
    bool ok = true;
    for (size_t first = 0; ok && first < props.size(); first += kPropRowsPerInsert) {
        const size_t rows = std::min(kPropRowsPerInsert, props.size() - first);
        Stmt p = s.stmt(propsInsertSql(rows));
        for (size_t r = 0; r < rows; ++r) {
            const PropValue& v = props[first + r];
            const int at = static_cast<int>(r * 5);
            p.bind(at + 1, int64_t{oid}).bind(at + 2, int64_t{v.id}).bind(at + 3, int64_t{v.u32});
            p.bind(at + 4, static_cast<int64_t>(v.fileTime));
            // The value's own bytes, bound without a copy: they outlive the statement's step.
            if (propType(v.id) == kTypeText) p.bindBlobStatic(at + 5, v.text.data(), v.text.size() * sizeof(char16_t));
            else p.bindBlobStatic(at + 5, v.bytes.data(), v.bytes.size());
        }
        ok = p.done();
    }
    return ok;
}

bool insertRecurrence(SqliteBackend& s, uint32_t oid, const RecurrencePattern& rp) {
    Stmt r = s.stmt("INSERT INTO recur VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    r.bind(1, int64_t{oid}).bind(2, int64_t{rp.type}).bind(3, int64_t{rp.interval});
    r.bind(4, int64_t{rp.occurrences}).bind(5, int64_t{rp.noEnd ? 1 : 0}).bind(6, rp.patternStart);
    r.bind(7, rp.patternEnd).bind(8, rp.startTime).bind(9, rp.endTime).bind(10, int64_t{rp.dayOfWeekMask});
    r.bind(11, int64_t{rp.dayOfMonth}).bind(12, int64_t{rp.instance}).bind(13, int64_t{rp.monthOfYear});
    bool ok = r.done();
    Stmt x = s.stmt("INSERT INTO exc VALUES(?, ?, ?)");
    for (const auto& e : rp.exceptions) {
        x.reset();
        ok = ok && x.bind(1, int64_t{oid}).bind(2, e.originalDate).bind(3, int64_t{e.deleted ? 1 : 0}).done();
    }
    return ok;
}

bool insertRecipients(SqliteBackend& s, uint32_t oid, const std::vector<Recipient>& recipients) {
    bool ok = true;
    int64_t pos = 0;
    Stmt x = s.stmt("INSERT INTO recip VALUES(?, ?, ?, ?)");
    for (const auto& rc : recipients) {
        const size_t n = rc.name.size() * sizeof(char16_t), a = rc.address.size() * sizeof(char16_t);
        x.reset();
        x.bind(1, int64_t{oid}).bind(2, ++pos).bindBlobStatic(3, rc.name.data(), n).bindBlobStatic(4, rc.address.data(), a);
        ok = ok && x.done();
    }
    return ok;
}

}  // namespace

bool SqliteBackend::save(Item& item) {
    SqliteBackend& s = *this;
    detail::WriteScope write(s);
    if (!write.open()) return false;
    uint32_t oid = item.oid_;
    bool ok = oid == 0 ? insertNewItem(s, item.folder_, item.type_, oid) : clearExistingItem(s, oid);
    ok = ok && insertProps(s, oid, item.props_);
    if (item.recurrence_) ok = ok && insertRecurrence(s, oid, *item.recurrence_);
    ok = ok && insertRecipients(s, oid, item.recipients_);
    if (!write.end(ok)) return false;
    item.oid_ = oid;
    s.written.insert(oid);
    return true;
}

std::optional<uint32_t> SqliteBackend::reserveOid() {
    detail::WriteScope write(*this);
    if (!write.open()) return std::nullopt;
    uint32_t oid = 0;
    int64_t counter = 0;
    const bool ok = takeOid(*this, oid, counter);
    if (!write.end(ok)) return std::nullopt;
    return oid;
}

bool SqliteBackend::remove(Item& item) {
    SqliteBackend& s = *this;
    detail::WriteScope write(s);
    if (!write.open()) return false;
    bool ok = true;
    bool found = false;
    for (const char* sql : {"DELETE FROM items WHERE oid=?", "DELETE FROM props WHERE oid=?",
                            "DELETE FROM recur WHERE oid=?", "DELETE FROM exc WHERE oid=?",
                            "DELETE FROM recip WHERE oid=?"}) {
        Stmt d = s.stmt(sql);
        ok = ok && d.bind(1, int64_t{item.oid_}).done();
        if (!found) found = sqlite3_changes(s.db) > 0;
    }
    if (!write.end(ok && found)) return false;
    s.written.insert(item.oid_);
    item.oid_ = 0;
    return true;
}

}  // namespace orvale::platform::pim

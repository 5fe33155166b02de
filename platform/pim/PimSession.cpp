#include "platform/pim/PimSession.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>

#include "platform/DevicePaths.h"
#include "platform/SystemTime.h"
#include "platform/pim/PimSessionImpl.h"
#include "platform/pim/PimStatement.h"
#include "platform/pim/RecurrenceOccurrence.h"

namespace orvale::platform::pim {

namespace {

Session* g_session = nullptr;

// Spreads the allocation counter over all 32 bits: an odd multiplier is a bijection modulo 2^32,
// so identifiers stay unique and are never reused, and about half have the top bit set.
uint32_t oidForCounter(uint32_t counter) { return counter * 0x9E3779B1u; }

int folderForType(int type) {
    switch (type) {
    case kAppointment: return kFolderCalendar;
    case kContact: return kFolderContacts;
    case kTask: return kFolderTasks;
    default: return 0;
    }
}

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

// Reads walk the file front to back once per scan, so a large page cache buys little; a small one
// keeps a background run's memory flat. The system's file cache still serves re-reads.
constexpr const char* kReadCacheSize = "PRAGMA cache_size=-512;";
constexpr const char* kBatchCacheSize = "PRAGMA cache_size=-16384;";

const char* kSchema =
    "CREATE TABLE IF NOT EXISTS meta(k TEXT PRIMARY KEY, v INTEGER);"
    "INSERT OR IGNORE INTO meta VALUES('counter', 0);"
    "CREATE TABLE IF NOT EXISTS items(oid INTEGER PRIMARY KEY, folder INTEGER, type INTEGER,"
    " seq INTEGER);"
    "CREATE INDEX IF NOT EXISTS items_folder ON items(folder, seq);"
    "CREATE TABLE IF NOT EXISTS props(oid INTEGER, pid INTEGER, u32 INTEGER, ft INTEGER,"
    " data BLOB, PRIMARY KEY(oid, pid)) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS recur(oid INTEGER PRIMARY KEY, type, ival, occ, noend, pstart,"
    " pend, st, et, mask, dom, inst, moy);"
    "CREATE TABLE IF NOT EXISTS exc(oid INTEGER, orig REAL, deleted INTEGER);"
    "CREATE INDEX IF NOT EXISTS exc_oid ON exc(oid);"
    "CREATE TABLE IF NOT EXISTS recip(oid INTEGER, pos INTEGER, name BLOB, addr BLOB);"
    "CREATE INDEX IF NOT EXISTS recip_oid ON recip(oid);"
    "CREATE TABLE IF NOT EXISTS pending_maps(folder INTEGER, server_id BLOB, oid INTEGER,"
    " UNIQUE(folder, server_id));";

}  // namespace

namespace detail {

std::string textBytes(const std::u16string& t) {
    return std::string(reinterpret_cast<const char*>(t.data()), t.size() * sizeof(char16_t));
}

std::u16string bytesText(const char* data, size_t size) {
    std::u16string t(size / sizeof(char16_t), u'\0');
    if (!t.empty()) std::memcpy(t.data(), data, t.size() * sizeof(char16_t));
    return t;
}

PropValue propFromRow(Stmt& row, int first) {
    PropValue v;
    v.id = static_cast<uint32_t>(row.i64(first));
    v.u32 = static_cast<uint32_t>(row.i64(first + 1));
    v.fileTime = static_cast<uint64_t>(row.i64(first + 2));
    auto [data, size] = row.bytes(first + 3);
    if (propType(v.id) == kTypeText) v.text = bytesText(data, size);
    else if (size > 0) v.bytes.assign(data, size);
    return v;
}

RecurrencePattern patternFromRow(Stmt& r, int first) {
    RecurrencePattern rp;
    auto i32 = [&](int c) { return static_cast<int32_t>(r.i64(first + c)); };
    rp.type = i32(0);
    rp.interval = i32(1);
    rp.occurrences = i32(2);
    rp.noEnd = r.i64(first + 3) != 0;
    rp.patternStart = r.dbl(first + 4);
    rp.patternEnd = r.dbl(first + 5);
    rp.startTime = r.dbl(first + 6);
    rp.endTime = r.dbl(first + 7);
    rp.dayOfWeekMask = i32(8);
    rp.dayOfMonth = i32(9);
    rp.instance = i32(10);
    rp.monthOfYear = i32(11);
    return rp;
}

}  // namespace detail

Session::Session(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Session::~Session() = default;

bool Session::logOn(std::string* why) {
    if (g_session) return true;
    auto impl = std::make_unique<Impl>();
    std::string path = hostPath("pim.db").string();
    auto fail = [&] {
        if (why != nullptr) {
            *why = "the device database " + path + " cannot be opened: " +
                   (impl->db != nullptr ? sqlite3_errmsg(impl->db) : "out of memory");
        }
        return false;
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
    impl->exec(kReadCacheSize);
    bool ok = impl->exec(kSchema);
    if (!ok) fail();
    impl->exec(ok ? "COMMIT;" : "ROLLBACK;");
    if (!ok) return false;
    g_session = new Session(std::move(impl));
    return true;
}

void Session::logOff() {
    delete g_session;
    g_session = nullptr;
}

Session* Session::current() { return g_session; }

bool Session::writtenHere(uint32_t oid) const { return impl_->written.count(oid) != 0; }

std::optional<ItemCollection> Session::defaultFolderItems(int folder) {
    if (!isKnownFolder(folder)) return std::nullopt;
    Stmt q = impl_->stmt("SELECT oid FROM items WHERE folder=? ORDER BY seq");
    if (!q.ok()) return std::nullopt;
    q.bind(1, int64_t{folder});
    ItemCollection c;
    c.session_ = this;
    int rc;
    while ((rc = q.step()) == SQLITE_ROW) c.oids_.push_back(static_cast<uint32_t>(q.i64(0)));
    if (rc != SQLITE_DONE) return std::nullopt;
    return c;
}

std::unique_ptr<Item> Session::itemByOid(uint32_t oid) {
    Impl& s = *impl_;
    // One read transaction, so the parts of an item come from one committed state.
    detail::ReadTransaction tx(s);
    std::unique_ptr<Item> item;
    Stmt q = s.stmt("SELECT folder, type FROM items WHERE oid=?");
    q.bind(1, int64_t{oid});
    if (q.step() != SQLITE_ROW) return item;
    item = std::make_unique<Item>();
    item->session_ = this;
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

bool Session::beginBatch(bool whole) {
    Impl& s = *impl_;
    if (s.batchDepth > 0) {
        ++s.batchDepth;
        return true;
    }
    if (!s.exec("BEGIN IMMEDIATE;")) return s.failed();
    s.batchDepth = 1;
    s.batchBroken = false;
    s.batchWhole = whole;
    // A batch changes pages all over the file (identifiers are spread over the whole range): with
    // the small cache of the reads it would write most pages to the log many times before the
    // commit. The cache grows only as far as the batch needs, up to this.
    s.exec(kBatchCacheSize);
    return true;
}

bool Session::commitBatch() {
    Impl& s = *impl_;
    if (s.batchDepth == 0) return false;
    if (--s.batchDepth > 0) return !s.batchBroken;
    const bool kept = !s.batchBroken && s.exec("COMMIT;");
    if (!kept) {
        if (!s.batchBroken) s.failed();
        s.exec("ROLLBACK;");
    }
    s.exec(kReadCacheSize);
    return kept;
}

void Session::rollbackBatch() {
    Impl& s = *impl_;
    if (s.batchDepth == 0) return;
    s.batchDepth = 0;
    s.exec("ROLLBACK;");
    s.exec(kReadCacheSize);
}

bool Session::inBatch() const { return impl_->batchDepth > 0; }

std::string Session::lastError() const { return impl_->lastError; }

std::optional<std::vector<Session::PendingMap>> Session::pendingMaps(int folder, size_t most) {
    Impl& s = *impl_;
    detail::ReadTransaction tx(s);
    Stmt q = s.stmt("SELECT server_id, oid FROM pending_maps WHERE folder=? ORDER BY rowid");
    q.bind(1, int64_t{folder});
    std::vector<PendingMap> out;
    int rc;
    while ((rc = q.step()) == SQLITE_ROW) {
        if (out.size() == most) return std::nullopt;
        out.push_back({q.blob(0), static_cast<uint32_t>(q.i64(1))});
    }
    if (rc != SQLITE_DONE) return std::nullopt;
    return out;
}

bool Session::notePendingMap(int folder, std::string_view serverId, uint32_t oid) {
    Stmt q = impl_->stmt("INSERT OR REPLACE INTO pending_maps(folder, server_id, oid) VALUES(?, ?, ?)");
    q.bind(1, int64_t{folder}).bindBlob(2, serverId.data(), serverId.size()).bind(3, int64_t{oid});
    return q.done();
}

bool Session::dropPendingMaps(int folder) {
    Stmt q = impl_->stmt("DELETE FROM pending_maps WHERE folder=?");
    return q.bind(1, int64_t{folder}).done();
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

namespace {

// A time property as a local variant date; nothing when it is absent or holds no date (zero, or
// the device's 4501-01-01).
std::optional<double> dateProp(const Item& item, uint32_t id) {
    const PropValue v = item.getProp(id);
    SystemTime st;
    double date = 0;
    if (v.flags == kFlagNotFound || (v.fileTime >> 32) == 0 || !fileTimeToSystemTime(v.fileTime, st) ||
        !systemTimeToVariantTime(st, date) || date == kNoEndDate)
        return std::nullopt;
    return date;
}

// Where a pattern starts: the appointment's start; the task's start, or its due date without one.
std::optional<double> itemStart(const Item& item) {
    if (item.type() == kAppointment) return dateProp(item, kAppointmentStartProp);
    if (item.type() == kTask) {
        if (auto start = dateProp(item, kTaskStartProp)) return start;
        return dateProp(item, kTaskDueProp);
    }
    return std::nullopt;
}

bool isStartProp(uint32_t id) {
    return id == kAppointmentStartProp || id == kAppointmentEndProp || id == kTaskStartProp || id == kTaskDueProp;
}

double timeOfDay(double date) {
    const double linear = linearVariantDays(date);
    return linear - std::floor(linear);
}

}  // namespace

std::vector<PropValue> Item::getProps(const std::vector<uint32_t>& ids) const {
    std::vector<PropValue> out;
    out.reserve(ids.size());
    for (uint32_t id : ids) out.push_back(getProp(id));
    return out;
}

PropValue Item::getProp(uint32_t id) const {
    if (id == kIsRecurringProp && (type_ == kAppointment || type_ == kTask)) {
        PropValue recurring;
        recurring.id = id;
        recurring.u32 = recurrence_ ? 1 : 0;
        return recurring;
    }
    for (const auto& v : props_)
        if (v.id == id) return v;
    PropValue missing;
    missing.id = id;
    missing.flags = kFlagNotFound;
    return missing;
}

void Item::setProps(const std::vector<PropValue>& values) {
    bool moved = false;
    for (const auto& v : values) {
        // Read only: the pattern decides, as on the device; a store writing its default is ignored.
        if (v.id == kIsRecurringProp && (type_ == kAppointment || type_ == kTask)) continue;
        moved = moved || isStartProp(v.id);
        PropValue stored = v;
        stored.flags = 0;
        if (propType(v.id) == kTypeBool) stored.u32 = v.u32 ? 1 : 0;
        auto it = std::find_if(props_.begin(), props_.end(), [&](const PropValue& p) { return p.id == v.id; });
        if (it != props_.end()) *it = std::move(stored);
        else props_.push_back(std::move(stored));
    }
    // Moving a recurring item moves its occurrences, as on the device.
    if (moved) followStart();
}

void Item::followStart() {
    if (!recurrence_) return;
    if (const auto start = itemStart(*this)) recurrence_->setStart(*start);
    if (const auto end = type_ == kAppointment ? dateProp(*this, kAppointmentEndProp) : std::nullopt)
        recurrence_->endTime = timeOfDay(*end);
}

void Item::removeProp(uint32_t id) {
    std::erase_if(props_, [&](const PropValue& p) { return p.id == id; });
}

std::string Item::picture() const { return getProp(kPictureProp).bytes; }

void Item::setPicture(std::string bytes) {
    if (bytes.empty()) {
        removeProp(kPictureProp);
        return;
    }
    PropValue v;
    v.id = kPictureProp;
    v.bytes = std::move(bytes);
    setProps({v});
}

RecurrencePattern& Item::recurrence() {
    if (!recurrence_) {
        const auto start = itemStart(*this);
        RecurrencePattern& rp = recurrence_.emplace(start ? patternStartingAt(*start) : RecurrencePattern{});
        rp.setNoEnd(true);
        if (const auto end = type_ == kAppointment ? dateProp(*this, kAppointmentEndProp) : std::nullopt)
            rp.endTime = timeOfDay(*end);
    }
    return *recurrence_;
}

bool Item::hasOccurrenceAt(double when) const {
    return recurrence_ && patternOccursAt(*recurrence_, when) && !hasExceptionOn(*recurrence_, when);
}

bool Item::deleteOccurrenceAt(double when) {
    if (!hasOccurrenceAt(when)) return false;
    recurrence_->exceptions.push_back({when, true});
    return true;
}

bool Item::save() {
    if (!session_ || partial_) return false;
    Session::Impl& s = *session_->impl_;
    detail::WriteScope write(s);
    if (!write.open()) return false;
    bool ok = true;
    uint32_t oid = oid_;
    if (oid == 0) {
        // Counter values whose identifier would be 0 are skipped: 0 means "no item". The counter
        // only grows, so it also orders the folder: a new item comes after every other.
        int64_t counter = 0;
        do {
            Stmt c = s.stmt("UPDATE meta SET v=v+1 WHERE k='counter' RETURNING v");
            ok = c.step() == SQLITE_ROW;
            counter = ok ? c.i64(0) : 0;
            oid = ok ? oidForCounter(static_cast<uint32_t>(counter)) : 1;
        } while (ok && oid == 0);
        Stmt ins = s.stmt("INSERT INTO items VALUES(?, ?, ?, ?)");
        ok = ok && ins.bind(1, int64_t{oid}).bind(2, int64_t{folder_}).bind(3, int64_t{type_}).bind(4, counter).done();
    } else {
        Stmt chk = s.stmt("SELECT 1 FROM items WHERE oid=?");
        ok = chk.bind(1, int64_t{oid}).step() == SQLITE_ROW;
        for (const char* sql : {"DELETE FROM props WHERE oid=?", "DELETE FROM recur WHERE oid=?",
                                "DELETE FROM exc WHERE oid=?", "DELETE FROM recip WHERE oid=?"}) {
            Stmt d = s.stmt(sql);
            ok = ok && d.bind(1, int64_t{oid}).done();
        }
    }
    for (size_t first = 0; ok && first < props_.size(); first += kPropRowsPerInsert) {
        const size_t rows = std::min(kPropRowsPerInsert, props_.size() - first);
        Stmt p = s.stmt(propsInsertSql(rows));
        for (size_t r = 0; r < rows; ++r) {
            const PropValue& v = props_[first + r];
            const int at = static_cast<int>(r * 5);
            p.bind(at + 1, int64_t{oid}).bind(at + 2, int64_t{v.id}).bind(at + 3, int64_t{v.u32});
            p.bind(at + 4, static_cast<int64_t>(v.fileTime));
            // The value's own bytes, bound without a copy: they outlive the statement's step.
            if (propType(v.id) == kTypeText) p.bindBlobStatic(at + 5, v.text.data(), v.text.size() * sizeof(char16_t));
            else p.bindBlobStatic(at + 5, v.bytes.data(), v.bytes.size());
        }
        ok = p.done();
    }
    if (ok && recurrence_) {
        const auto& rp = *recurrence_;
        Stmt r = s.stmt("INSERT INTO recur VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        r.bind(1, int64_t{oid}).bind(2, int64_t{rp.type}).bind(3, int64_t{rp.interval});
        r.bind(4, int64_t{rp.occurrences}).bind(5, int64_t{rp.noEnd ? 1 : 0}).bind(6, rp.patternStart);
        r.bind(7, rp.patternEnd).bind(8, rp.startTime).bind(9, rp.endTime).bind(10, int64_t{rp.dayOfWeekMask});
        r.bind(11, int64_t{rp.dayOfMonth}).bind(12, int64_t{rp.instance}).bind(13, int64_t{rp.monthOfYear});
        ok = r.done();
        Stmt x = s.stmt("INSERT INTO exc VALUES(?, ?, ?)");
        for (const auto& e : rp.exceptions) {
            x.reset();
            ok = ok && x.bind(1, int64_t{oid}).bind(2, e.originalDate).bind(3, int64_t{e.deleted ? 1 : 0}).done();
        }
    }
    int64_t pos = 0;
    Stmt x = s.stmt("INSERT INTO recip VALUES(?, ?, ?, ?)");
    for (const auto& rc : recipients_) {
        const size_t n = rc.name.size() * sizeof(char16_t), a = rc.address.size() * sizeof(char16_t);
        x.reset();
        x.bind(1, int64_t{oid}).bind(2, ++pos).bindBlobStatic(3, rc.name.data(), n).bindBlobStatic(4, rc.address.data(), a);
        ok = ok && x.done();
    }
    if (!write.end(ok)) return false;
    oid_ = oid;
    s.written.insert(oid);
    return true;
}

bool Item::remove() {
    if (!session_ || partial_ || oid_ == 0) return false;
    Session::Impl& s = *session_->impl_;
    detail::WriteScope write(s);
    if (!write.open()) return false;
    bool ok = true;
    bool found = false;
    for (const char* sql : {"DELETE FROM items WHERE oid=?", "DELETE FROM props WHERE oid=?",
                            "DELETE FROM recur WHERE oid=?", "DELETE FROM exc WHERE oid=?",
                            "DELETE FROM recip WHERE oid=?"}) {
        Stmt d = s.stmt(sql);
        ok = ok && d.bind(1, int64_t{oid_}).done();
        if (!found) found = sqlite3_changes(s.db) > 0;
    }
    if (!write.end(ok && found)) return false;
    s.written.insert(oid_);
    oid_ = 0;
    return true;
}

std::unique_ptr<Item> ItemCollection::item(int position) const {
    if (position < 1 || position > count() || !session_) return nullptr;
    return session_->itemByOid(oids_[static_cast<size_t>(position - 1)]);
}

uint32_t ItemCollection::oidAt(int position) const {
    return position >= 1 && position <= count() ? oids_[static_cast<size_t>(position - 1)] : 0;
}

bool ItemCollection::sort(std::string_view property) {
    if (property != "[Oid]") return false;
    std::sort(oids_.begin(), oids_.end());
    return true;
}

}  // namespace orvale::platform::pim

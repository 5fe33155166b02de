#include "platform/pim/PimSession.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstring>

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
    "CREATE INDEX IF NOT EXISTS recip_oid ON recip(oid);";

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

bool Session::logOn() {
    if (g_session) return true;
    auto impl = std::make_unique<Impl>();
    std::string path = hostPath("pim.db").string();
    if (sqlite3_open(path.c_str(), &impl->db) != SQLITE_OK) return false;
    sqlite3_busy_timeout(impl->db, 5000);
    if (!impl->exec("PRAGMA journal_mode=WAL;") || !impl->exec("BEGIN IMMEDIATE;")) return false;
    // Reads walk the file front to back once per scan, so a large page cache buys little; a small
    // one keeps a background run's memory flat. The system's file cache still serves re-reads.
    impl->exec("PRAGMA cache_size=-512;");
    bool ok = impl->exec(kSchema);
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
    Stmt q(impl_->db, "SELECT oid FROM items WHERE folder=? ORDER BY seq");
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
    sqlite3* db = impl_->db;
    // One read transaction, so the parts of an item come from one committed state.
    impl_->exec("BEGIN;");
    std::unique_ptr<Item> item;
    Stmt q(db, "SELECT folder, type FROM items WHERE oid=?");
    q.bind(1, int64_t{oid});
    if (q.step() == SQLITE_ROW) {
        item = std::make_unique<Item>();
        item->session_ = this;
        item->oid_ = oid;
        item->folder_ = static_cast<int>(q.i64(0));
        item->type_ = static_cast<int>(q.i64(1));
        Stmt p(db, "SELECT pid, u32, ft, data FROM props WHERE oid=? ORDER BY pid");
        p.bind(1, int64_t{oid});
        while (p.step() == SQLITE_ROW) item->props_.push_back(detail::propFromRow(p, 0));
        Stmt r(db, "SELECT type, ival, occ, noend, pstart, pend, st, et, mask, dom, inst, moy"
                   " FROM recur WHERE oid=?");
        r.bind(1, int64_t{oid});
        if (r.step() == SQLITE_ROW) {
            RecurrencePattern rp = detail::patternFromRow(r, 0);
            Stmt e(db, "SELECT orig, deleted FROM exc WHERE oid=? ORDER BY rowid");
            e.bind(1, int64_t{oid});
            while (e.step() == SQLITE_ROW) rp.exceptions.push_back({e.dbl(0), e.i64(1) != 0});
            item->recurrence_ = std::move(rp);
        }
        Stmt c(db, "SELECT name, addr FROM recip WHERE oid=? ORDER BY pos");
        c.bind(1, int64_t{oid});
        while (c.step() == SQLITE_ROW) item->recipients_.push_back({detail::bytesText(c.blob(0)), detail::bytesText(c.blob(1))});
    }
    impl_->exec("COMMIT;");
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
    sqlite3* db = s.db;
    if (!s.exec("BEGIN IMMEDIATE;")) return false;
    bool ok = true;
    uint32_t oid = oid_;
    if (oid == 0) {
        // Counter values whose identifier would be 0 are skipped: 0 means "no item".
        do {
            Stmt c(db, "UPDATE meta SET v=v+1 WHERE k='counter' RETURNING v");
            ok = c.step() == SQLITE_ROW;
            oid = ok ? oidForCounter(static_cast<uint32_t>(c.i64(0))) : 1;
        } while (ok && oid == 0);
        Stmt ins(db, "INSERT INTO items VALUES(?, ?, ?, (SELECT IFNULL(MAX(seq), 0) + 1 FROM items))");
        ok = ok && ins.bind(1, int64_t{oid}).bind(2, int64_t{folder_}).bind(3, int64_t{type_}).done();
    } else {
        Stmt chk(db, "SELECT 1 FROM items WHERE oid=?");
        ok = chk.bind(1, int64_t{oid}).step() == SQLITE_ROW;
    }
    for (const char* sql : {"DELETE FROM props WHERE oid=?", "DELETE FROM recur WHERE oid=?",
                            "DELETE FROM exc WHERE oid=?", "DELETE FROM recip WHERE oid=?"}) {
        Stmt d(db, sql);
        ok = ok && d.bind(1, int64_t{oid}).done();
    }
    for (const auto& v : props_) {
        if (!ok) break;
        Stmt p(db, "INSERT INTO props VALUES(?, ?, ?, ?, ?)");
        std::string data = propType(v.id) == kTypeText ? detail::textBytes(v.text) : v.bytes;
        p.bind(1, int64_t{oid}).bind(2, int64_t{v.id}).bind(3, int64_t{v.u32});
        p.bind(4, static_cast<int64_t>(v.fileTime)).bindBlob(5, data.data(), data.size());
        ok = p.done();
    }
    if (ok && recurrence_) {
        const auto& rp = *recurrence_;
        Stmt r(db, "INSERT INTO recur VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        r.bind(1, int64_t{oid}).bind(2, int64_t{rp.type}).bind(3, int64_t{rp.interval});
        r.bind(4, int64_t{rp.occurrences}).bind(5, int64_t{rp.noEnd ? 1 : 0}).bind(6, rp.patternStart);
        r.bind(7, rp.patternEnd).bind(8, rp.startTime).bind(9, rp.endTime).bind(10, int64_t{rp.dayOfWeekMask});
        r.bind(11, int64_t{rp.dayOfMonth}).bind(12, int64_t{rp.instance}).bind(13, int64_t{rp.monthOfYear});
        ok = r.done();
        for (const auto& e : rp.exceptions) {
            Stmt x(db, "INSERT INTO exc VALUES(?, ?, ?)");
            ok = ok && x.bind(1, int64_t{oid}).bind(2, e.originalDate).bind(3, int64_t{e.deleted ? 1 : 0}).done();
        }
    }
    int64_t pos = 0;
    for (const auto& rc : recipients_) {
        Stmt x(db, "INSERT INTO recip VALUES(?, ?, ?, ?)");
        std::string n = detail::textBytes(rc.name), a = detail::textBytes(rc.address);
        x.bind(1, int64_t{oid}).bind(2, ++pos).bindBlob(3, n.data(), n.size()).bindBlob(4, a.data(), a.size());
        ok = ok && x.done();
    }
    ok = ok && s.exec("COMMIT;");
    if (!ok) {
        s.exec("ROLLBACK;");
        return false;
    }
    oid_ = oid;
    s.written.insert(oid);
    return true;
}

bool Item::remove() {
    if (!session_ || partial_ || oid_ == 0) return false;
    Session::Impl& s = *session_->impl_;
    if (!s.exec("BEGIN IMMEDIATE;")) return false;
    bool ok = true;
    bool found = false;
    for (const char* sql : {"DELETE FROM items WHERE oid=?", "DELETE FROM props WHERE oid=?",
                            "DELETE FROM recur WHERE oid=?", "DELETE FROM exc WHERE oid=?",
                            "DELETE FROM recip WHERE oid=?"}) {
        Stmt d(s.db, sql);
        ok = ok && d.bind(1, int64_t{oid_}).done();
        if (!found) found = sqlite3_changes(s.db) > 0;
    }
    ok = ok && found && s.exec("COMMIT;");
    if (!ok) {
        s.exec("ROLLBACK;");
        return false;
    }
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

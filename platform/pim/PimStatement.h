#pragma once
// Internal to the store: one prepared statement with its bindings and column reads, and the row
// layouts that both the single-item and the whole-folder reads decode.
#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <utility>

#include "platform/pim/PimTypes.h"

namespace orvale::platform::pim::detail {

class Stmt {
public:
    // A statement of its own, finalised when it goes.
    Stmt(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &s_, nullptr); }
    // A statement prepared once and kept by the session: reset and unbound when this goes, so the
    // next user finds it as new.
    explicit Stmt(sqlite3_stmt* kept) : s_(kept), kept_(true) {}
    ~Stmt() {
        if (!kept_) {
            sqlite3_finalize(s_);
        } else if (s_ != nullptr) {
            sqlite3_reset(s_);
            sqlite3_clear_bindings(s_);
        }
    }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;
    bool ok() const { return s_ != nullptr; }
    Stmt& bind(int i, int64_t v) { sqlite3_bind_int64(s_, i, v); return *this; }
    Stmt& bind(int i, double v) { sqlite3_bind_double(s_, i, v); return *this; }
    Stmt& bindBlob(int i, const void* p, size_t n) {
        sqlite3_bind_blob(s_, i, n ? p : "", static_cast<int>(n), SQLITE_TRANSIENT);
        return *this;
    }
    // The bytes must stay put until the statement is stepped and reset.
    Stmt& bindBlobStatic(int i, const void* p, size_t n) {
        sqlite3_bind_blob(s_, i, n ? p : "", static_cast<int>(n), SQLITE_STATIC);
        return *this;
    }
    int step() { return s_ ? sqlite3_step(s_) : SQLITE_ERROR; }
    // Back to before the first row, bindings kept, so the statement can run again.
    void reset() { sqlite3_reset(s_); }
    bool done() { return step() == SQLITE_DONE; }
    int64_t i64(int c) { return sqlite3_column_int64(s_, c); }
    double dbl(int c) { return sqlite3_column_double(s_, c); }
    // The column's bytes, valid until the next step; nullptr and 0 for an empty value.
    std::pair<const char*, size_t> bytes(int c) {
        const void* p = sqlite3_column_blob(s_, c);
        int n = sqlite3_column_bytes(s_, c);
        return p && n > 0 ? std::pair{static_cast<const char*>(p), static_cast<size_t>(n)}
                          : std::pair<const char*, size_t>{nullptr, 0};
    }
    std::string blob(int c) {
        const void* p = sqlite3_column_blob(s_, c);
        int n = sqlite3_column_bytes(s_, c);
        return p && n > 0 ? std::string(static_cast<const char*>(p), static_cast<size_t>(n)) : std::string();
    }

private:
    sqlite3_stmt* s_ = nullptr;
    bool kept_ = false;
};

std::string textBytes(const std::u16string& t);
std::u16string bytesText(const char* data, size_t size);
inline std::u16string bytesText(const std::string& b) { return bytesText(b.data(), b.size()); }

// Columns pid, u32, ft, data starting at `first`.
PropValue propFromRow(Stmt& row, int first);
// Columns type, ival, occ, noend, pstart, pend, st, et, mask, dom, inst, moy starting at `first`.
RecurrencePattern patternFromRow(Stmt& row, int first);

}  // namespace orvale::platform::pim::detail

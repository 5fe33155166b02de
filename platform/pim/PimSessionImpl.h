#pragma once
// Internal to the store: the open database behind the process-wide session.
#include <sqlite3.h>

#include "platform/pim/PimSession.h"

namespace orvale::platform::pim {

struct Session::Impl {
    sqlite3* db = nullptr;
    ~Impl() { sqlite3_close(db); }
    bool exec(const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
};

}  // namespace orvale::platform::pim

#include "platform/pim/PimSchema.h"

namespace orvale::platform::pim::detail {

const char* const kSchema =
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

}  // namespace orvale::platform::pim::detail

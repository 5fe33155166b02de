#pragma once
// The rows of a folder's pending maps as a query over either store's bookkeeping file gives them
// (server_id, oid): the own database keeps them beside the items, the EDS store beside its
// identifier table. Read alike, so both bound the list alike.
#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/pim/PimSession.h"

namespace orvale::platform::pim {

// Nullopt when the query fails or the folder holds more than `most`.
template <class Query>
std::optional<std::vector<Session::PendingMap>> readPendingMapRows(Query& q, std::size_t most) {
    std::vector<Session::PendingMap> out;
    int rc;
    while ((rc = q.step()) == SQLITE_ROW) {
        if (out.size() == most) return std::nullopt;
        out.push_back({q.blob(0), static_cast<std::uint32_t>(q.i64(1))});
    }
    if (rc != SQLITE_DONE) return std::nullopt;
    return out;
}

}  // namespace orvale::platform::pim

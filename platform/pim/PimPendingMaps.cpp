// The sync's journal of stored server items whose Maps the server may not have got. It lives in the
// device database beside the items only so that a batch makes an entry durable with its item.
#include "platform/pim/PendingMapRows.h"
#include "platform/pim/PimSession.h"
#include "platform/pim/PimSessionImpl.h"

namespace orvale::platform::pim {

using detail::Stmt;

std::optional<std::vector<Session::PendingMap>> SqliteBackend::pendingMaps(int folder, size_t most) {
    SqliteBackend& s = *this;
    detail::ReadTransaction tx(s);
    Stmt q = s.stmt("SELECT server_id, oid FROM pending_maps WHERE folder=? ORDER BY rowid");
    q.bind(1, int64_t{folder});
    return readPendingMapRows(q, most);
}

bool SqliteBackend::notePendingMap(int folder, std::string_view serverId, uint32_t oid) {
    Stmt q = stmt("INSERT OR REPLACE INTO pending_maps(folder, server_id, oid) VALUES(?, ?, ?)");
    q.bind(1, int64_t{folder}).bindBlob(2, serverId.data(), serverId.size()).bind(3, int64_t{oid});
    return q.done();
}

bool SqliteBackend::dropPendingMaps(int folder) {
    Stmt q = stmt("DELETE FROM pending_maps WHERE folder=?");
    return q.bind(1, int64_t{folder}).done();
}

}  // namespace orvale::platform::pim

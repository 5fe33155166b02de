// A folder's items as a positioned list of identifiers; each item is read when asked for.
#include <algorithm>

#include "platform/pim/PimSession.h"
#include "platform/pim/PimSessionImpl.h"

namespace orvale::platform::pim {

std::optional<std::vector<uint32_t>> SqliteBackend::folderOids(int folder) {
    detail::Stmt q = stmt("SELECT oid FROM items WHERE folder=? ORDER BY seq");
    if (!q.ok()) return std::nullopt;
    q.bind(1, int64_t{folder});
    std::vector<uint32_t> oids;
    int rc;
    while ((rc = q.step()) == SQLITE_ROW) oids.push_back(static_cast<uint32_t>(q.i64(0)));
    if (rc != SQLITE_DONE) return std::nullopt;
    return oids;
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

#include "engine/AlertChoice.h"

#include "engine/SyncDirection.h"

namespace orvale {

AlertChoice chooseAlert(AnchorStore& store, SyncMode requested) {
    SyncAnchor next;
    SyncAnchor stored = store.loadAnchor();
    const bool known = !stored.getRemoteLabel().empty();
    if (requested == SyncMode::TwoWay) requested = known ? SyncMode::TwoWay : SyncMode::Slow;
    const int code = alertCodeFor(requested);
    if (known && code != kAlertSlowSync) return AlertChoice{code, stored, next};
    return AlertChoice{code, next, next};
}

void takeServerAnchors(AlertChoice& choice, const std::string& serverLast, const std::string& serverNext) {
    // A server that never synced this folder may send no Last; only Next is kept for the next session.
    if (!serverLast.empty()) choice.last.setRemoteLabel(serverLast);
    choice.next.setRemoteLabel(serverNext);
}

}  // namespace orvale

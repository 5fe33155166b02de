#include "engine/AlertChoice.h"

namespace orvale {

AlertChoice chooseAlert(AnchorStore& store) {
    SyncAnchor next;
    SyncAnchor stored = store.loadAnchor();
    if (!stored.getRemoteLabel().empty()) return AlertChoice{kAlertTwoWay, stored, next};
    return AlertChoice{kAlertSlowSync, next, next};
}

void takeServerAnchors(AlertChoice& choice, const std::string& serverLast, const std::string& serverNext) {
    // A server that never synced this folder may send no Last; only Next is kept for the next session.
    if (!serverLast.empty()) choice.last.setRemoteLabel(serverLast);
    choice.next.setRemoteLabel(serverNext);
}

}  // namespace orvale

#pragma once

#include "engine/AlertCodes.h"
#include "engine/AnchorStore.h"
#include "stores/SyncAnchor.h"

namespace orvale {

struct AlertChoice {
    int code;
    SyncAnchor last;
    SyncAnchor next;
};

// Two-way only when the server has acknowledged a previous session (a remote label is stored);
// otherwise slow sync with Last equal to Next.
AlertChoice chooseAlert(AnchorStore& store);

// The server's Alert names its own anchors; they become our anchors' remote labels.
void takeServerAnchors(AlertChoice& choice, const std::string& serverLast, const std::string& serverNext);

}  // namespace orvale

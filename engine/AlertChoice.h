#pragma once

#include "engine/AlertCodes.h"
#include "engine/AnchorStore.h"
#include "stores/SyncAnchor.h"
#include "stores/SyncMode.h"

namespace orvale {

struct AlertChoice {
    int code;
    SyncAnchor last;
    SyncAnchor next;
};

// Two-way only when the server has acknowledged a previous session (a remote label is stored);
// otherwise slow sync with Last equal to Next. A requested mode other than two-way alerts its own
// code, with the stored anchor as Last when there is one (the server tells by it whether it can do
// a one-way sync) and Last equal to Next when there is none.
AlertChoice chooseAlert(AnchorStore& store, SyncMode requested = SyncMode::TwoWay);

// The server's Alert names its own anchors; they become our anchors' remote labels.
void takeServerAnchors(AlertChoice& choice, const std::string& serverLast, const std::string& serverNext);

}  // namespace orvale

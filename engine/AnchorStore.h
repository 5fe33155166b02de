#pragma once

#include "stores/SyncAnchor.h"

namespace orvale {

// What the engine needs from a folder's data store to keep anchors between sessions.
class AnchorStore {
public:
    virtual ~AnchorStore() = default;
    // No stored anchor yields a new one with an empty remote label.
    virtual SyncAnchor loadAnchor() = 0;
    virtual void saveAnchor(const SyncAnchor& anchor) = 0;
};

}  // namespace orvale

#pragma once
// "Slow Sync" of the settings screen: the stored anchors of the three folders go, so the next session
// of every folder starts over with a slow sync. The configuration record is not touched.
namespace orvale {

// True when no anchor file is left afterwards.
bool forgetSyncAnchors();

}  // namespace orvale

#pragma once
// The background run of "orvale autosync": one sync of every chosen folder from Conf.dat, without
// any screen, on the UI thread.
#include "app/KeepAwake.h"
#include "app/RunEnvironment.h"

namespace orvale {

// `keepAwake` is the main dialog's keep-awake slot. Nothing happens without a readable Conf.dat or
// without a chosen folder that has a URI.
void runBackgroundSync(KeepAwakeSlot& keepAwake);
void runBackgroundSync(KeepAwakeSlot& keepAwake, const RunEnvironment& env);

}  // namespace orvale

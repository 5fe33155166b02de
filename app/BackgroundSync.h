#pragma once
// The background run of "orvale autosync". The run driver (message exchange, stores, end-of-run
// steps) arrives with its own issue; until then the run loads the configuration and returns.
#include "app/KeepAwake.h"

namespace orvale {

// Runs on the UI thread; `keepAwake` is the main dialog's keep-awake slot.
void runBackgroundSync(KeepAwakeSlot& keepAwake);

}  // namespace orvale

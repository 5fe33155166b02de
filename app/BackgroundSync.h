#pragma once
// The background run of "orvale autosync": one sync of every chosen folder from Conf.dat, without
// any screen, on the UI thread.
#include "app/KeepAwake.h"
#include "app/RunEnvironment.h"
#include "app/SyncRun.h"

namespace orvale {

// The exit status of "orvale autosync", so that a script or a timer unit sees how the run went:
// 0 every chosen folder completed; 10 + the run's result otherwise (11 initialisation or
// authentication failed, 12 ended by an error, 13 server not reached or cancelled, 14 a folder or
// the device store failed, also when the session completed but its changes could not be recorded);
// 15 nothing to sync (no readable Conf.dat, or no chosen folder with a database URI).
inline constexpr int kExitResultBase = 10;
inline constexpr int kExitNothingToSync = 15;
int backgroundExitStatus(const RunReport& report);

// `keepAwake` is the main dialog's keep-awake slot. Nothing happens without a readable Conf.dat or
// without a chosen folder that has a URI. Returns the exit status above; when it is not 0, one line
// on standard error has said why.
int runBackgroundSync(KeepAwakeSlot& keepAwake);
int runBackgroundSync(KeepAwakeSlot& keepAwake, const RunEnvironment& env);

}  // namespace orvale

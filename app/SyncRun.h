#pragma once
// One sync run's core, shared by the background and the interactive run: the engine session for
// every chosen folder together, the end-of-run files, and the run's result.
#include <filesystem>
#include <optional>
#include <vector>

#include "app/RunCause.h"
#include "app/RunEnvironment.h"
#include "app/RunStatistics.h"
#include "app/SyncArguments.h"
#include "app/SyncResult.h"
#include "engine/SyncConfig.h"

namespace orvale {

class RunControl;

struct RunReport {
    SyncResult result = SyncResult::Done;
    // Kind codes of chosen folders that have no store on this device; they are left out of the
    // session, and the run then fails even when the session succeeded.
    std::vector<int> skippedFolders;
    bool cancelled = false;
    // The session completed, but a folder's change database could not be rewritten: it keeps the
    // previous run's records, so the next run sends this run's changes again.
    bool changesUnrecorded = false;
    RunStatistics statistics;
    // Why the device's store could not be opened; the run then fails before the server is asked.
    std::string deviceProblem;
    // Why the run ended as it did; empty for a run that did all it was asked.
    RunCause cause;
    // The run's diagnostic log, and why it could not be written whole (empty when it was).
    std::filesystem::path logPath;
    std::string logProblem;
};

// The device ID of this device ("IMEI:" and 22 hex digits).
std::string thisDeviceId();

// A session that did not complete (any result but 0, or cancelled) leaves the change databases and
// "syncsessiondata" as they were, so the next run repeats what this one did not finish.
RunReport runSync(const SyncArguments& args, const std::optional<ProxyConfig>& proxy, const RunEnvironment& env,
                  RunControl* control = nullptr);

}  // namespace orvale

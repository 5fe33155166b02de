#pragma once
// The interactive run's core: what the sync screen starts on its worker thread. The screen is seen
// only through RunView, so the core runs the same under the screens and in tests.
#include <string>

#include "app/KeepAwake.h"
#include "app/RunEnvironment.h"
#include "app/SyncResult.h"
#include "stores/ProgressReporter.h"

namespace orvale {

class RunControl;

// The sync screen's side of a run. Its progress area is the run's progress reporter.
class RunView : public ProgressReporter {
  public:
    // Clears the counts and the status line.
    virtual void resetProgress() = 0;
    // The folders whose enabled flag is set; they are the rows shown and logged.
    virtual void setShownFolders(bool contacts, bool calendar, bool tasks) = 0;
    // The line under the counts ("Synchronized: 08/12/26 07:15 PM").
    virtual void showLastSync(const std::u16string& text) = 0;
    // The line under the result: why the run failed and what to do, with the time of the attempt;
    // empty after a run that did all it was asked.
    virtual void showCause(const std::u16string& /*text*/) {}
};

// Runs one sync for the current configuration record and returns when it is over. A cancelled run
// shows nothing more and writes none of its end-of-run files; its result is NotReached.
SyncResult interactiveRun(KeepAwakeSlot& keepAwake, RunView& view, RunControl& control,
                          const RunEnvironment& env = RunEnvironment::standard());

}  // namespace orvale

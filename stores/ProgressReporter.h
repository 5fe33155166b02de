#pragma once
// What a run shows while it works. The interactive run installs a reporter that points at the sync
// screen; the background run installs none, so every caller must accept a null current reporter.
#include <string>

namespace orvale {

class ProgressReporter {
public:
    virtual ~ProgressReporter() = default;
    // A status line text ("Checking for changes...", "Syncing...").
    virtual void showStatus(const std::u16string& text) = 0;
    // One item result: side 0 client (sent), 1 server (received); kind code 1, 2 or 4.
    virtual void itemResult(int side, int kindCode) = 0;
    // Something the user must read while the run goes on (the password about to travel
    // unencrypted); it must not stop the run.
    virtual void showWarning(const std::u16string& /*text*/) {}
};

// The process-wide current reporter, or null.
ProgressReporter* currentProgressReporter();
void setCurrentProgressReporter(ProgressReporter* reporter);

}  // namespace orvale

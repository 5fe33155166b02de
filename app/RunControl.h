#pragma once
// Cancel of a run from another thread. Nothing is killed: the engine's abort flag is set, the
// transfer in progress is cut, and the run stops at its next safe point without writing any of its
// end-of-run files.
#include <functional>
#include <memory>
#include <mutex>

namespace orvale {

class AbortRecord;

class RunControl {
  public:
    // Safe from any thread, before, during or after the run.
    void cancel();
    bool cancelled() const;

    // The run's side: what cancel() pulls while the run is between attach and detach. A cancel that
    // came earlier is applied at once.
    void attach(std::shared_ptr<AbortRecord> abort, std::function<void()> abortTransfer);
    void detach();

  private:
    mutable std::mutex mutex_;
    bool cancelled_ = false;
    std::shared_ptr<AbortRecord> abort_;
    std::function<void()> abortTransfer_;
};

}  // namespace orvale

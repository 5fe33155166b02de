#pragma once
// The run's observer of the engine: "Syncing..." at each sync start, and the items sent and
// received per folder, passed on to the current progress reporter and kept for the run log.
#include <array>
#include <string>

#include "engine/SyncObserver.h"

namespace orvale {

struct FolderCounts {
    int sent = 0;
    int received = 0;
};

class RunStatistics : public SyncObserver {
  public:
    void syncStart(SyncSide side, const std::string& folder, std::int32_t changes) override;
    // Counts an item that did not fail; the whole-folder result (kind 5) is no item.
    void itemResult(SyncSide side, const std::string& folder, int kind, bool failed) override;

    // Kind code 1 contacts, 2 calendar, 4 tasks; zero counts for any other code.
    FolderCounts counts(int kindCode) const;

  private:
    std::array<FolderCounts, 3> counts_{};
};

}  // namespace orvale

#pragma once
// The run's observer of the engine: "Syncing..." at each sync start, and the items sent and
// received per folder, passed on to the current progress reporter and kept for the run log, and
// the engine's notices of what it could not do (an item the device refused), kept for the log.
#include <array>
#include <string>
#include <vector>

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

    void text(const std::string& text) override;
    // kEventPasswordInClear becomes the run's one warning.
    void event(int code) override;
    // Told once per run: on the screen when one watches the run, and among the log's notices.
    void warn(const std::u16string& text);
    bool passwordWarned() const { return passwordWarned_; }
    void folderCompleted(const std::string& folder) override;

    // The kind codes of the folders whose session completed, in the order they did.
    const std::vector<int>& completedKinds() const { return completed_; }

    // Kind code 1 contacts, 2 calendar, 4 tasks; zero counts for any other code.
    FolderCounts counts(int kindCode) const;
    // The first kMaxNotices notices (and the run's warning), in order; a last line says how many
    // more there were.
    static constexpr std::size_t kMaxNotices = 50;
    std::vector<std::string> notices() const;

  private:
    std::array<FolderCounts, 3> counts_{};
    std::vector<std::string> notices_;
    std::size_t moreNotices_ = 0;
    bool passwordWarned_ = false;
    std::vector<int> completed_;
};

}  // namespace orvale

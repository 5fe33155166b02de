#pragma once
// The engine's observer for one run: passes everything on to the run's statistics, writes what
// happens into the diagnostic log, and keeps what the run's cause is made of (the server's
// refusals, the store's failures).
#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/SyncObserver.h"

namespace orvale {

class DiagnosticLog;
class RunStatistics;

struct RefusedCommand {
    std::string command;
    std::string item;
    int code = 0;
};

class RunWatch : public SyncObserver {
  public:
    // `log` may be null: nothing is logged, the facts are still kept.
    RunWatch(SyncObserver& statistics, DiagnosticLog* log);

    void sessionBegin() override;
    void syncStart(SyncSide side, const std::string& folder, std::int32_t changes) override;
    void itemResult(SyncSide side, const std::string& folder, int kind, bool failed) override;
    void itemData(SyncSide side, const std::string& folder, int kind, const std::string& key,
                  std::string_view data) override;
    void commandRefused(const std::string& command, const std::string& item, int code) override;
    void sessionEnd() override;
    void folderCompleted(const std::string& folder) override;
    void serverItemsToDelete(const std::string& folder, int count) override;
    void event(int code) override;
    void eventText(int code, const std::string& text) override;
    void text(const std::string& text) override;
    void textNumber(const std::string& text, std::int64_t number) override;

    // The header's last refusal (401, 407); 0 when the credentials were never refused.
    int credentialsRefused() const { return credentialsCode_; }
    // The first refusal of anything but the header.
    const std::optional<RefusedCommand>& firstRefusal() const { return firstRefusal_; }
    // The kind codes of the folders that completed with server items recorded for deletion.
    const std::vector<int>& foldersWithServerItemsToDelete() const { return toDelete_; }
    // Why the device store could not be written or opened during the session; empty when it could.
    const std::string& storeNotWritten() const { return storeNotWritten_; }
    const std::string& storeNotOpened() const { return storeNotOpened_; }
    // The engine's last own words (why a session ended, for example).
    const std::string& lastText() const { return lastText_; }

  private:
    struct Tally {
        // [side][add, delete, replace] done and refused
        std::array<std::array<int, 3>, 2> done{};
        std::array<std::array<int, 3>, 2> refused{};
    };
    void log(const std::string& line);

    SyncObserver& statistics_;
    DiagnosticLog* log_;
    std::map<std::string, Tally> folders_;
    int credentialsCode_ = 0;
    std::optional<RefusedCommand> firstRefusal_;
    std::vector<int> toDelete_;
    std::string storeNotWritten_;
    std::string storeNotOpened_;
    std::string lastText_;
};

}  // namespace orvale

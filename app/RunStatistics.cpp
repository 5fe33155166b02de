#include "app/RunStatistics.h"

#include "app/SyncResult.h"
#include "engine/SessionEvents.h"
#include "platform/StringTable.h"
#include "platform/TextConversion.h"
#include "stores/KindCode.h"
#include "stores/KindRegistry.h"
#include "stores/ProgressReporter.h"

namespace orvale {

void RunStatistics::syncStart(SyncSide, const std::string&, std::int32_t) {
    if (ProgressReporter* r = currentProgressReporter()) r->showStatus(platform::loadString(platform::StringId::Syncing));
}

void RunStatistics::itemResult(SyncSide side, const std::string& folder, int kind, bool failed) {
    if (failed || kind == kObservedFolder) return;
    const KindInfo* info = kindInfoByFolderName(folder);
    if (info == nullptr) return;
    const int slot = kindSlot(info->code);
    if (slot < 0) return;
    FolderCounts& c = counts_[static_cast<std::size_t>(slot)];
    ++(side == SyncSide::Client ? c.sent : c.received);
    if (ProgressReporter* r = currentProgressReporter()) r->itemResult(static_cast<int>(side), info->code);
}

void RunStatistics::text(const std::string& text) {
    if (notices_.size() < kMaxNotices) notices_.push_back(text);
    else ++moreNotices_;
}

void RunStatistics::event(int code) {
    if (code != kEventPasswordInClear || passwordWarned_) return;
    passwordWarned_ = true;
    warn(platform::loadString(platform::StringId::PasswordInClear));
}

void RunStatistics::warn(const std::u16string& text) {
    if (ProgressReporter* r = currentProgressReporter()) r->showWarning(text);
    // Kept past the bound of the item notices: it comes once per run and must not be crowded out.
    notices_.push_back(platform::utf16ToUtf8(text));
}

void RunStatistics::folderCompleted(const std::string& folder) {
    if (const KindInfo* info = kindInfoByFolderName(folder)) completed_.push_back(info->code);
}

std::vector<std::string> RunStatistics::notices() const {
    std::vector<std::string> out = notices_;
    if (moreNotices_ > 0) out.push_back(std::to_string(moreNotices_) + " more");
    return out;
}

FolderCounts RunStatistics::counts(int kindCode) const {
    const int slot = kindSlot(kindCode);
    return slot < 0 ? FolderCounts{} : counts_[static_cast<std::size_t>(slot)];
}

}  // namespace orvale

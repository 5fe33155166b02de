#include "ui/RunBridge.h"

namespace orvale::ui {

void RunBridge::showStatus(const std::u16string& text) { emit statusShown(QString::fromStdU16String(text)); }

void RunBridge::itemResult(int side, int kindCode) {
    if (kindCode < 0 || kindCode >= static_cast<int>(counts_.size()) || side < 0 || side > 1) return;
    int& cell = counts_[static_cast<std::size_t>(kindCode)][static_cast<std::size_t>(side)];
    emit countReported(kindCode, side, ++cell);
}

void RunBridge::resetProgress() {
    counts_ = {};
    emit progressReset();
}

void RunBridge::setShownFolders(bool contacts, bool calendar, bool tasks) {
    emit foldersShown(contacts, calendar, tasks);
}

void RunBridge::showWarning(const std::u16string& text) { emit warningShown(QString::fromStdU16String(text)); }

void RunBridge::showLastSync(const std::u16string& text) { emit lastSyncShown(QString::fromStdU16String(text)); }

void RunBridge::showCause(const std::u16string& text) { emit causeShown(QString::fromStdU16String(text)); }

}  // namespace orvale::ui

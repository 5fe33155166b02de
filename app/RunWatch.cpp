#include "app/RunWatch.h"

#include "app/DiagnosticLog.h"
#include "app/ItemName.h"
#include "engine/SessionEvents.h"
#include "stores/KindRegistry.h"

namespace orvale {

namespace {
const char* sideName(SyncSide side) { return side == SyncSide::Client ? "device -> server" : "server -> device"; }

const char* kindName(int kind) {
    switch (kind) {
        case kObservedAdd: return "Add";
        case kObservedDelete: return "Delete";
        case kObservedReplace: return "Replace";
        default: return "item";
    }
}

// kObservedAdd 0, kObservedDelete 1, kObservedReplace 2: the tally's columns.
int column(int kind) { return kind >= 0 && kind <= 2 ? kind : -1; }

}  // namespace

RunWatch::RunWatch(SyncObserver& statistics, DiagnosticLog* log) : statistics_(statistics), log_(log) {}

void RunWatch::log(const std::string& line) {
    if (log_ != nullptr) log_->line(line);
}

void RunWatch::sessionBegin() {
    statistics_.sessionBegin();
    log("session begins");
}

void RunWatch::syncStart(SyncSide side, const std::string& folder, std::int32_t changes) {
    statistics_.syncStart(side, folder, changes);
    log(folder + ": " + sideName(side) + ", " + std::to_string(changes) + " changes announced");
}

void RunWatch::itemResult(SyncSide side, const std::string& folder, int kind, bool failed) {
    statistics_.itemResult(side, folder, kind, failed);
    if (kind == kObservedFolder) {
        if (failed) log(folder + ": the folder's sync was refused");
        return;
    }
    const int c = column(kind);
    if (c < 0) return;
    Tally& t = folders_[folder];
    ++(failed ? t.refused : t.done)[static_cast<std::size_t>(side)][static_cast<std::size_t>(c)];
    if (failed) log(folder + ": " + sideName(side) + " " + kindName(kind) + " refused");
}

void RunWatch::itemData(SyncSide side, const std::string& folder, int kind, const std::string& key,
                        std::string_view data) {
    statistics_.itemData(side, folder, kind, key, data);
    if (log_ == nullptr || !log_->names()) return;
    std::string line = folder + ": " + sideName(side) + " " + kindName(kind) + " " + key;
    if (const std::string name = itemDisplayName(data); !name.empty()) line += " \"" + name + "\"";
    log_->line(line);
}

void RunWatch::commandRefused(const std::string& command, const std::string& item, int code) {
    statistics_.commandRefused(command, item, code);
    log("status " + std::to_string(code) + " for " + command + (item.empty() ? std::string() : " " + item));
    if (command == "SyncHdr") {
        if (code == 401 || code == 407) credentialsCode_ = code;
        return;
    }
    // 508 (a slow sync is needed) and 419 (the server's copy wins) are answers the session goes on
    // with, and credentials asked again are the header's matter: none of them is why a run failed.
    if (!firstRefusal_ && code != 401 && code != 407 && code != 508 && code != 419)
        firstRefusal_ = RefusedCommand{command, item, code};
}

void RunWatch::sessionEnd() {
    statistics_.sessionEnd();
    for (const auto& [folder, t] : folders_) {
        for (std::size_t side = 0; side < 2; ++side) {
            const auto& d = t.done[side];
            const auto& r = t.refused[side];
            log(folder + ": " + sideName(static_cast<SyncSide>(side)) + ": " + std::to_string(d[0]) + " added, " +
                std::to_string(d[2]) + " replaced, " + std::to_string(d[1]) + " deleted; " +
                std::to_string(r[0] + r[1] + r[2]) + " refused");
        }
    }
    log("session ends");
}

void RunWatch::folderCompleted(const std::string& folder) {
    statistics_.folderCompleted(folder);
    log(folder + ": completed");
}

void RunWatch::serverItemsToDelete(const std::string& folder, int count) {
    if (const KindInfo* info = kindInfoByFolderName(folder)) toDelete_.push_back(info->code);
    log(folder + ": " + std::to_string(count) + " items of the server's own recorded for deletion on it");
}

void RunWatch::event(int code) {
    statistics_.event(code);
    switch (code) {
        case kEventInitStarted: return log("initialisation begins");
        case kEventAuthenticated: return log("authentication: accepted");
        case kEventCredentialsRefused: return log("authentication: credentials refused");
        case kEventInitDone: return log("initialisation done");
        case kEventSlowSync: return log("slow sync");
        case kEventTwoWaySync: return log("two-way sync");
        case kEventPasswordInClear: return log("authentication: the password goes unencrypted (the URL is http://)");
        case kEventStoreNotOpened:
            if (storeNotOpened_.empty()) storeNotOpened_ = "a folder's store did not open";
            return log("a folder's store did not open");
        default: break;
    }
}

void RunWatch::eventText(int code, const std::string& text) {
    statistics_.eventText(code, text);
    if (code == kEventFolderNotFound) log("the server has no database " + text);
    // The words themselves reach the log through text(), which follows.
    if (code == kEventStoreNotWritten && storeNotWritten_.empty()) storeNotWritten_ = text;
    if (code == kEventStoreNotOpened && storeNotOpened_.empty()) storeNotOpened_ = text;
}

void RunWatch::text(const std::string& text) {
    statistics_.text(text);
    lastText_ = text;
    log(text);
}

void RunWatch::textNumber(const std::string& text, std::int64_t number) {
    statistics_.textNumber(text, number);
    log(text + std::to_string(number));
}

}  // namespace orvale

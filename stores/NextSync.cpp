#include "stores/NextSync.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/DevicePaths.h"
#include "platform/FileAccess.h"
#include "platform/TextLines.h"
#include "stores/AnchorFile.h"
#include "stores/ChangeTracker.h"
#include "stores/DataStoreFactory.h"
#include "stores/KindCode.h"
#include "stores/KindRegistry.h"
#include "stores/SyncAnchor.h"
#include "stores/SyncAnchorException.h"

namespace orvale {

namespace {

constexpr std::array<std::pair<SyncMode, std::string_view>, 6> kNames{{
    {SyncMode::TwoWay, "two-way"},
    {SyncMode::Slow, "slow"},
    {SyncMode::RefreshFromServer, "refresh-from-server"},
    {SyncMode::RefreshFromDevice, "refresh-from-device"},
    {SyncMode::OneWayFromServer, "one-way-from-server"},
    {SyncMode::OneWayFromDevice, "one-way-from-device"},
}};

// A file of ours holds three short lines; anything much longer is not ours.
constexpr std::size_t kMaxFileBytes = 4096;

std::size_t slotOf(int kindCode) {
    const int slot = kindSlot(kindCode);
    return slot < 0 ? 0 : static_cast<std::size_t>(slot);
}

}  // namespace

std::string_view syncModeName(SyncMode mode) {
    for (const auto& [m, name] : kNames)
        if (m == mode) return name;
    return "two-way";
}

std::optional<SyncMode> syncModeFromName(std::string_view name) {
    for (const auto& [m, n] : kNames)
        if (n == name) return m;
    return std::nullopt;
}

SyncMode NextSyncChoice::mode(int kindCode) const {
    return kindSlot(kindCode) < 0 ? SyncMode::TwoWay : modes_[slotOf(kindCode)];
}

void NextSyncChoice::set(int kindCode, SyncMode mode) {
    if (kindSlot(kindCode) < 0) return;
    // A slow sync is the forgotten anchor, not a stored choice.
    modes_[slotOf(kindCode)] = mode == SyncMode::Slow ? SyncMode::TwoWay : mode;
}

bool NextSyncChoice::any() const {
    for (const SyncMode m : modes_)
        if (m != SyncMode::TwoWay) return true;
    return false;
}

std::string NextSyncChoice::text() const {
    std::string out;
    for (const KindInfo& kind : knownKinds()) {
        const SyncMode m = mode(kind.code);
        if (m == SyncMode::TwoWay) continue;
        out += kind.folderName;
        out += ' ';
        out += syncModeName(m);
        out += '\n';
    }
    return out;
}

NextSyncChoice NextSyncChoice::parse(std::string_view text) {
    NextSyncChoice choice;
    while (const auto next = platform::takeLine(text)) {
        const std::string_view line = *next;
        const std::size_t space = line.find(' ');
        if (space == std::string_view::npos) continue;
        const std::string folder(line.substr(0, space));
        const auto mode = syncModeFromName(line.substr(space + 1));
        const KindInfo* kind = kindInfoByFolderName(folder);
        if (!mode || kind == nullptr || folder != kind->folderName) continue;
        choice.set(kind->code, *mode);
    }
    return choice;
}

NextSyncChoice NextSyncChoice::load() {
    const auto bytes = platform::readFilePrefix(platform::hostPath(kNextSyncPath), kMaxFileBytes);
    return bytes ? parse(*bytes) : NextSyncChoice{};
}

bool NextSyncChoice::save() const {
    const auto path = platform::hostPath(kNextSyncPath);
    if (!any()) {
        std::error_code ec;
        std::filesystem::remove(path, ec);
        return !std::filesystem::exists(path, ec);
    }
    return platform::writeWholeFile(path, text(), 0600);
}

SyncMode effectiveNextSync(int kindCode) {
    const SyncMode chosen = NextSyncChoice::load().mode(kindCode);
    if (chosen != SyncMode::TwoWay) return chosen;
    const KindInfo* kind = kindInfoByCode(kindCode);
    if (kind == nullptr) return SyncMode::TwoWay;
    const std::string line = readAnchorLine(kind->anchorFile);
    if (line.empty()) return SyncMode::Slow;
    try {
        return SyncAnchor::parse(line).getRemoteLabel().empty() ? SyncMode::Slow : SyncMode::TwoWay;
    } catch (const SyncAnchorException&) {
        return SyncMode::Slow;
    }
}

std::optional<std::size_t> deviceFolderItemCount(int kindCode) {
    const KindInfo* kind = kindInfoByCode(kindCode);
    if (kind == nullptr) return std::nullopt;
    const DataStoreFactory device(ChangeRecording::Discard);
    if (!device.openError().empty()) return std::nullopt;
    return ChangeTracker::includedItems(kind->folder).size();
}

bool forgetFolderAnchor(int kindCode) {
    const KindInfo* kind = kindInfoByCode(kindCode);
    if (kind == nullptr) return false;
    std::error_code ec;
    const auto path = platform::hostPath(std::string_view(kind->anchorFile));
    std::filesystem::remove(path, ec);
    return !std::filesystem::exists(path, ec);
}

}  // namespace orvale

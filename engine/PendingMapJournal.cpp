#include "engine/PendingMapJournal.h"

#include <system_error>

#include "platform/DevicePaths.h"
#include "platform/FileAccess.h"

namespace orvale {

namespace {

bool carriable(const std::string& field) {
    if (field.empty() || field.size() >= PendingMapJournal::kMaxLineBytes / 2) return false;
    for (char c : field) {
        if (c == '\t' || c == '\n' || c == '\r' || c == '\0') return false;
    }
    return true;
}

}  // namespace

std::string PendingMapJournal::fileNameFor(const std::string& localStore) { return "PendingMap_" + localStore; }

PendingMapJournal::PendingMapJournal(const std::string& localStore) : fileName_(fileNameFor(localStore)) {}

std::optional<std::map<std::string, std::string>> PendingMapJournal::parse(const std::string& bytes) {
    if (bytes.size() > kMaxFileBytes) return std::nullopt;
    std::map<std::string, std::string> out;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t end = bytes.find('\n', pos);
        // A line without its end was cut short: nothing in such a file can be trusted.
        if (end == std::string::npos || end - pos > kMaxLineBytes) return std::nullopt;
        const std::string line = bytes.substr(pos, end - pos);
        pos = end + 1;
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos) return std::nullopt;
        std::string serverId = line.substr(0, tab);
        std::string localKey = line.substr(tab + 1);
        if (!carriable(serverId) || !carriable(localKey)) return std::nullopt;
        out[std::move(serverId)] = std::move(localKey);
        if (out.size() > kMaxEntries) return std::nullopt;
    }
    return out;
}

std::string PendingMapJournal::serialize() const {
    std::string bytes;
    for (const auto& [serverId, localKey] : entries_) {
        bytes += serverId;
        bytes += '\t';
        bytes += localKey;
        bytes += '\n';
    }
    return bytes;
}

void PendingMapJournal::load() {
    entries_.clear();
    // One byte beyond the cap tells an oversized file from one that just fits.
    const auto bytes = platform::readFilePrefix(platform::hostPath(fileName_), kMaxFileBytes + 1);
    if (bytes) {
        if (auto parsed = parse(*bytes)) entries_ = std::move(*parsed);
    }
    rebuildLocalKeys();
}

std::optional<std::string> PendingMapJournal::localKeyFor(const std::string& serverId) const {
    const auto it = entries_.find(serverId);
    if (it == entries_.end()) return std::nullopt;
    return it->second;
}

bool PendingMapJournal::record(const std::string& serverId, const std::string& localKey) {
    if (!carriable(serverId) || !carriable(localKey)) return false;
    const auto it = entries_.find(serverId);
    if (it == entries_.end()) {
        if (entries_.size() >= kMaxEntries) return false;
        entries_.emplace(serverId, localKey);
        localKeys_.insert(localKey);
    } else if (it->second != localKey) {
        it->second = localKey;
        rebuildLocalKeys();
    }
    return true;
}

bool PendingMapJournal::save() const {
    return platform::writeWholeFile(platform::hostPath(fileName_), serialize(), 0600);
}

void PendingMapJournal::remove() {
    std::error_code ec;
    std::filesystem::remove(platform::hostPath(fileName_), ec);
    entries_.clear();
    localKeys_.clear();
}

void PendingMapJournal::rebuildLocalKeys() {
    localKeys_.clear();
    for (const auto& entry : entries_) localKeys_.insert(entry.second);
}

}  // namespace orvale

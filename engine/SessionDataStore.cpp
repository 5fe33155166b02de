#include "engine/SessionDataStore.h"

#include <algorithm>

#include "platform/DecimalText.h"
#include "platform/DevicePaths.h"
#include "platform/FileAccess.h"

namespace orvale {

namespace {
// The file is a few short lines; anything much larger is not ours and is not read further.
constexpr std::size_t kMaxFileBytes = 64 * 1024;
// A line is read into a buffer of 255 characters, so a longer line arrives in pieces.
constexpr std::size_t kMaxLineChars = 254;

void takeLine(std::string_view line, std::map<std::string, std::string>& out) {
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos) return;
    const std::string_view value = line.substr(space + 1);
    if (value.find(' ') != std::string_view::npos) return;
    out[std::string(line.substr(0, space))] = std::string(value);
}

// A value from the server (the nonce) must not be able to end its line and plant another key.
std::string_view oneLine(std::string_view text) {
    return text.substr(0, text.find_first_of("\r\n"));
}
}  // namespace

SessionDataStore::SessionDataStore(std::string devicePath) : path_(std::move(devicePath)) {
    if (auto content = platform::readFilePrefix(platform::hostPath(path_), kMaxFileBytes))
        entries_ = parse(*content);
}

SessionDataStore::SessionDataStore(InMemory) : inMemory_(true) {}

SessionDataStore::~SessionDataStore() {
    save();
}

std::map<std::string, std::string> SessionDataStore::parse(std::string_view content) {
    std::map<std::string, std::string> out;
    std::size_t pos = 0;
    while (pos < content.size()) {
        std::size_t end = content.find('\n', pos);
        const bool hasNewline = end != std::string_view::npos && end - pos <= kMaxLineChars;
        if (!hasNewline) end = std::min(content.size(), pos + kMaxLineChars);
        std::string_view line = content.substr(pos, end - pos);
        pos = hasNewline ? end + 1 : end;
        // Text mode on the device turned CR LF into LF.
        if (hasNewline && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        takeLine(line, out);
    }
    return out;
}

std::string SessionDataStore::serialize(const std::map<std::string, std::string>& entries) {
    std::string out;
    for (const auto& [key, value] : entries) {
        out += oneLine(key);
        out += ' ';
        out += oneLine(value);
        out += '\n';
    }
    return out;
}

bool SessionDataStore::save() const {
    if (inMemory_) return true;
    return platform::writeWholeFile(platform::hostPath(path_), serialize(entries_), 0600);
}

bool SessionDataStore::has(const std::string& key) const {
    return entries_.count(key) != 0;
}

std::string SessionDataStore::getString(const std::string& key) const {
    auto it = entries_.find(key);
    return it == entries_.end() ? std::string() : it->second;
}

int SessionDataStore::getInt(const std::string& key) const {
    auto it = entries_.find(key);
    return it == entries_.end() ? -1 : platform::leadingDecimal(it->second);
}

bool SessionDataStore::getBool(const std::string& key) const {
    auto it = entries_.find(key);
    return it != entries_.end() && platform::leadingDecimal(it->second) != 0;
}

void SessionDataStore::setBool(const std::string& key, bool value) {
    entries_[key].assign(1, value ? '1' : '0');
}

void SessionDataStore::setInt(const std::string& key, int value) {
    entries_[key] = std::to_string(value);
}

void SessionDataStore::setString(const std::string& key, const std::string& value) {
    entries_[key] = value;
}

}  // namespace orvale

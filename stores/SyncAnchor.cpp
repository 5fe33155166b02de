#include "stores/SyncAnchor.h"

#include <charconv>
#include <cstdio>
#include <ctime>
#include <vector>

namespace orvale {
namespace {

template <typename Int>
Int leadingNumber(std::string_view text) {
    Int value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    (void)ptr;
    return ec == std::errc() ? value : Int(0);
}

// The label is the local wall-clock time read back through mktime, so two anchors made within the
// same second carry the same label.
std::string labelForNow(std::time_t now) {
    std::tm local{};
    localtime_r(&now, &local);
    char text[64];
    std::snprintf(text, sizeof text, "%d%02d%02dT%02d%02d%02dZ", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    const std::string_view s(text);
    std::tm fields{};
    fields.tm_year = leadingNumber<int>(s.substr(0, 4)) - 1900;
    fields.tm_mon = leadingNumber<int>(s.substr(4, 2)) - 1;
    fields.tm_mday = leadingNumber<int>(s.substr(6, 2));
    fields.tm_hour = leadingNumber<int>(s.substr(9, 2));
    fields.tm_min = leadingNumber<int>(s.substr(11, 2));
    fields.tm_sec = leadingNumber<int>(s.substr(13, 2));
    fields.tm_isdst = -1;
    return std::to_string(static_cast<long long>(std::mktime(&fields)));
}

}  // namespace

SyncAnchor::SyncAnchor() {
    const std::time_t now = std::time(nullptr);
    time_ = static_cast<std::int64_t>(now);
    label_ = labelForNow(now);
}

SyncAnchor::SyncAnchor(const std::string& remoteLabel) {
    if (remoteLabel.empty()) throw SyncAnchorException("Remote label must not be empty");
    label_ = remoteLabel;
    remoteLabel_ = remoteLabel;
    time_ = leadingNumber<std::int64_t>(remoteLabel);
}

SyncAnchor::SyncAnchor(const std::string& label, const std::string& remoteLabel, std::int64_t time) {
    if (label.empty() || remoteLabel.empty() || time == 0)
        throw SyncAnchorException("Label must not be null and time must be greater or equals zero.");
    label_ = label;
    remoteLabel_ = remoteLabel;
    time_ = time;
}

void SyncAnchor::setRemoteLabel(const std::string& text) {
    if (text.empty()) throw SyncAnchorException("Remote Label must not be null.");
    remoteLabel_ = text;
}

std::string escapeAnchorField(std::string_view label) {
    std::string out;
    out.reserve(label.size());
    for (char c : label) {
        if (c == ':' || c == '\\') out += '\\';
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            out += c;
        }
    }
    return out;
}

std::string SyncAnchor::toStoredText() const {
    return escapeAnchorField(label_) + ":" + escapeAnchorField(remoteLabel_) + ":" + std::to_string(time_);
}

SyncAnchor SyncAnchor::parse(std::string_view text) {
    // Only three fields exist; anything after a third unescaped colon is ignored.
    std::string fields[3];
    std::size_t field = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\\') {
            if (++i == text.size()) break;
            c = text[i] == 'n' ? '\n' : text[i] == 'r' ? '\r' : text[i];
        } else if (c == ':') {
            if (++field >= 3) break;
            continue;
        }
        fields[field] += c;
    }
    const auto time = static_cast<std::int64_t>(leadingNumber<std::int32_t>(fields[2]));
    return SyncAnchor(fields[0], fields[1], time);
}

}  // namespace orvale

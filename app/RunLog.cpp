#include "app/RunLog.h"

#include "platform/DevicePaths.h"
#include "platform/FileAccess.h"
#include "platform/StringTable.h"
#include "platform/TextConversion.h"

namespace orvale {

namespace {
std::u16string decimal(int v) {
    return platform::utf8ToUtf16(std::to_string(v));
}

void appendFolder(std::u16string& out, const std::optional<RunLogFolder>& folder) {
    if (!folder) return;
    out += folder->displayName + u":\r\n";
    out += decimal(folder->received) + u" " + platform::loadString(platform::StringId::Received) + u", " +
           decimal(folder->sent) + u" " + platform::loadString(platform::StringId::Sent) + u"\r\n";
}
}  // namespace

std::u16string formatRunLog(const RunLogSummary& summary) {
    std::u16string out = platform::loadString(platform::StringId::StartingSync) + u"\r\n";
    out += summary.lastSyncText + u"\r\n";
    appendFolder(out, summary.contacts);
    appendFolder(out, summary.calendar);
    appendFolder(out, summary.tasks);
    for (const auto& notice : summary.notices) {
        // The engine's notices are ASCII; anything else is shown as a question mark.
        for (const char c : notice) out.push_back(static_cast<unsigned char>(c) < 0x80 ? static_cast<char16_t>(c) : u'?');
        out += u"\r\n";
    }
    if (summary.changesUnrecorded) out += platform::loadString(platform::StringId::ChangesNotRecorded) + u"\r\n";
    return out;
}

bool writeRunLog(const RunLogSummary& summary, std::string_view devicePath) {
    const std::u16string text = formatRunLog(summary);
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return platform::writeWholeFile(platform::hostPath(devicePath), bytes, 0644);
}

std::u16string readRunLog(std::string_view devicePath) {
    const auto bytes = platform::readFilePrefix(platform::hostPath(devicePath), kRunLogViewerChars * 2);
    std::u16string text;
    if (!bytes) return text;
    for (std::size_t i = 0; i + 1 < bytes->size(); i += 2) {
        const auto c = static_cast<char16_t>(static_cast<unsigned char>((*bytes)[i]) |
                                             static_cast<unsigned char>((*bytes)[i + 1]) << 8);
        if (c == 0) break;
        text.push_back(c);
    }
    return text;
}

}  // namespace orvale

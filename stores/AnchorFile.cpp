#include "stores/AnchorFile.h"

#include <fstream>

#include "platform/DevicePaths.h"
#include "platform/FileAccess.h"
#include "stores/SyncAnchor.h"

namespace orvale {

void writeAnchorFile(const std::string& fileName, const std::string& label, const std::string& remote,
                     int64_t time) {
    // Replaced whole, so a process that dies meanwhile leaves the old anchor rather than none.
    platform::writeWholeFile(platform::hostPath(fileName),
                             escapeAnchorField(label) + ':' + escapeAnchorField(remote) + ':' + std::to_string(time), 0644);
}

std::string readAnchorLine(const std::string& fileName) {
    std::ifstream in(platform::hostPath(fileName), std::ios::binary);
    std::string line;
    // An anchor line is short; a huge file must not be read whole.
    constexpr size_t kMaxLine = 4096;
    char c;
    while (line.size() < kMaxLine && in.get(c) && c != '\n') line.push_back(c);
    return line;
}

}  // namespace orvale

#include "stores/AnchorFile.h"

#include <fstream>

#include "platform/DevicePaths.h"

namespace orvale {

void writeAnchorFile(const std::string& fileName, const std::string& label, const std::string& remote,
                     int64_t time) {
    std::ofstream out(platform::hostPath(fileName), std::ios::binary | std::ios::trunc);
    if (!out) return;
    out << label << ':' << remote << ':' << time;
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

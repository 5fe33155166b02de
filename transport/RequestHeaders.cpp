#include "transport/RequestHeaders.h"

namespace orvale {

std::string buildRequestHeaders(const ContentType& contentType, const std::map<std::string, std::string>& extra) {
    std::string block;
    if (!extra.empty()) {
        for (const auto& [name, value] : extra) block += name + ": " + value + "\r\n\r\n";
        return block;
    }
    block = "Content-Type: " + contentType.mimeType() + "\r\n";
    const std::string charset = contentType.charset();
    if (!charset.empty()) block += "charset:" + charset + "\r\n";
    return block;
}

std::vector<std::string> headerLines(const std::string& block) {
    std::vector<std::string> lines;
    std::string line;
    for (const char c : block) {
        if (c == '\r' || c == '\n') {
            if (!line.empty()) lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

}  // namespace orvale

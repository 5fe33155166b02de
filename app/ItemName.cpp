#include "app/ItemName.h"

namespace orvale {

namespace {
constexpr std::size_t kMaxName = 80;

bool startsWithIgnoringCase(std::string_view line, std::string_view name) {
    if (line.size() <= name.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = line[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != name[i]) return false;
    }
    return line[name.size()] == ':' || line[name.size()] == ';';
}

std::string valueOf(std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return {};
    std::string out;
    for (const char c : line.substr(colon + 1)) {
        if (out.size() >= kMaxName) break;
        out.push_back(static_cast<unsigned char>(c) < 0x20 ? ' ' : c);
    }
    return out;
}
}  // namespace

std::string itemDisplayName(std::string_view text) {
    std::string n;
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        pos = end + 1;
        if (startsWithIgnoringCase(line, "FN") || startsWithIgnoringCase(line, "SUMMARY")) return valueOf(line);
        if (n.empty() && startsWithIgnoringCase(line, "N")) {
            n = valueOf(line);
            for (char& c : n) c = c == ';' ? ' ' : c;
        }
    }
    while (!n.empty() && n.back() == ' ') n.pop_back();
    return n;
}

}  // namespace orvale

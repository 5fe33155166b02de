#include "syncml/ContentType.h"

#include <utility>
#include <vector>

namespace orvale {

namespace {
std::string asciiLower(const std::string& s) {
    std::string out = s;
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

const std::map<std::string, std::string>& knownTypes() {
    static const std::map<std::string, std::string> table = [] {
        std::map<std::string, std::string> m;
        const std::vector<std::pair<const char*, const char*>> rows = {
            {"text/x-vcard", "2.1"},     {"text/vcard", "3.0"}, {"text/x-vcalendar", "1.0"},
            {"text/calendar", "2.0"},    {"text/plain", "1.0"}, {"text/x-vnote", "1.1"},
        };
        for (const auto& [type, version] : rows) m.emplace(type, version);
        return m;
    }();
    return table;
}
}  // namespace

ContentType::ContentType(const std::string& text)
    : text_(text), mimeType_(asciiLower(text)), version_(knownVersion(mimeType_)) {}

ContentType::ContentType(const std::string& text, const std::string& version)
    : text_(text), mimeType_(asciiLower(text)), version_(version) {}

std::string ContentType::charset() const {
    auto it = parameters_.find("charset");
    return it == parameters_.end() ? std::string() : it->second;
}

std::string ContentType::knownVersion(const std::string& mimeType) {
    const auto& table = knownTypes();
    auto it = table.find(mimeType);
    return it == table.end() ? std::string() : it->second;
}

}  // namespace orvale

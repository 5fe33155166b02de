#include "stores/vcalendar/VCalendarValues.h"

#include <array>

namespace orvale::vcalendar {

namespace {
constexpr std::string_view kSeparator = ", ";
constexpr std::array<std::string_view, 3> kClassWords = {"PERSONAL", "PRIVATE", "CONFIDENTIAL"};
}  // namespace

std::vector<std::string> categoryValues(const VersitDocument& doc) {
    std::vector<std::string> out;
    const VersitComponent* item = doc.lookupComponent();
    const VersitProperty* first = item ? item->property("CATEGORIES") : nullptr;
    if (first == nullptr) return out;
    auto take = [&](const VersitProperty& p) {
        for (const auto& v : p.values())
            if (!v.empty()) out.push_back(v);
    };
    take(*first);
    for (const auto& repeat : first->repeats()) take(repeat);
    return out;
}

std::string joinCategories(const std::vector<std::string>& values) {
    std::string out;
    for (const auto& v : values) {
        if (!out.empty()) out += kSeparator;
        out += v;
    }
    return out;
}

std::vector<std::string> splitCategories(std::string_view text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    std::size_t from = 0;
    while (true) {
        const std::size_t at = text.find(kSeparator, from);
        if (at == std::string_view::npos) break;
        if (at > 0 && text[at - 1] == '\\') {
            from = at + 1;
            continue;
        }
        out.emplace_back(text.substr(start, at - start));
        start = from = at + kSeparator.size();
    }
    out.emplace_back(text.substr(start));
    return out;
}

std::optional<std::string> alarmValue(const VersitDocument& doc) {
    if (auto d = doc.getValue("DALARM")) return d;
    return doc.getValue("AALARM");
}

std::string_view alarmTime(std::string_view value) { return value.substr(0, value.find(';')); }

void addAlarmPair(VersitDocument& doc, const std::string& time) {
    for (const char* name : {"AALARM", "DALARM"}) doc.addProperty(name, std::vector<std::string>{time, "", "", ""});
}

std::optional<std::string> classForSensitivity(std::string_view code) {
    if (code.size() != 1 || code[0] < '1' || code[0] > '3') return std::nullopt;
    return std::string(kClassWords[static_cast<std::size_t>(code[0] - '1')]);
}

std::string sensitivityForClass(std::string_view word) {
    for (std::size_t i = 0; i < kClassWords.size(); ++i)
        if (word == kClassWords[i]) return std::to_string(i + 1);
    return "0";
}

}  // namespace orvale::vcalendar

#include "tools/pim/ItemFiles.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "stores/versit/VersitDocument.h"
#include "stores/versit/VersitText.h"

namespace orvale::pim_tool {

namespace {
bool startsWithIgnoringCase(std::string_view line, std::string_view prefix) {
    if (line.size() < prefix.size()) return false;
    return std::equal(prefix.begin(), prefix.end(), line.begin(), [](char p, char c) {
        return p == std::toupper(static_cast<unsigned char>(c));
    });
}
}  // namespace

SplitResult splitItems(std::string_view text) {
    SplitResult result;
    std::string current;
    int depth = 0;
    std::size_t lineNumber = 0;
    std::size_t itemStart = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (line.ends_with('\r')) line.remove_suffix(1);
        const bool begins = startsWithIgnoringCase(line, "BEGIN:");
        if (depth == 0 && !begins) continue;
        if (depth == 0) itemStart = lineNumber;
        current.append(line).append("\r\n");
        if (begins) {
            ++depth;
        } else if (startsWithIgnoringCase(line, "END:") && --depth == 0) {
            result.items.push_back(std::move(current));
            current.clear();
        }
    }
    if (depth > 0) {
        result.error = "the item that starts on line " + std::to_string(itemStart) + " has no END line";
    }
    return result;
}

std::vector<std::string> splitCalendar(const std::string& item, std::string_view inner) {
    const std::string begin = "BEGIN:" + versit_text::toUpperAscii(inner);
    std::string head;               // the calendar's lines outside any block, its END line aside
    std::string tail;               // its END line
    std::vector<std::string> blocks;
    std::string* into = nullptr;    // the block being collected, or null
    int depth = 0;
    std::size_t pos = 0;
    while (pos < item.size()) {
        std::size_t end = item.find("\r\n", pos);
        end = end == std::string::npos ? item.size() : end + 2;
        const std::string_view line = std::string_view(item).substr(pos, end - pos);
        pos = end;
        const bool begins = startsWithIgnoringCase(line, "BEGIN:");
        const bool ends = startsWithIgnoringCase(line, "END:");
        if (depth == 1 && begins) into = startsWithIgnoringCase(line, begin) && (line.size() == begin.size() + 2)
                                             ? &blocks.emplace_back()
                                             : nullptr;
        if (depth == 0 || (depth == 1 && !begins)) {
            if (depth == 1 && ends) tail.append(line);
            else head.append(line);
        } else if (into != nullptr) {
            into->append(line);
        }
        if (begins) ++depth;
        else if (ends && depth > 0) --depth;
    }
    if (blocks.size() <= 1) return {item};
    std::vector<std::string> items;
    items.reserve(blocks.size());
    for (const auto& block : blocks) items.push_back(head + block + tail);
    return items;
}

std::string itemProblem(std::string_view item, std::string_view component) {
    const std::size_t slash = component.find('/');
    const std::string_view outer = component.substr(0, slash);
    VersitDocument doc("", "", "");
    if (!doc.parse(item) || doc.lookupComponent() == nullptr) return "cannot be parsed";
    const VersitComponent& top = *doc.lookupComponent();
    const auto named = [](const VersitComponent& c, std::string_view name) {
        return versit_text::equalsIgnoringCaseAscii(c.name(), name);
    };
    if (!named(top, outer)) return "is a " + top.name() + ", not a " + std::string(outer);
    if (slash == std::string_view::npos) return {};
    const std::string_view inner = component.substr(slash + 1);
    for (const auto& child : top.children())
        if (named(*child, inner)) return {};
    return "is a " + top.name() + " without a " + std::string(inner);
}

std::optional<std::string> readFile(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return std::move(bytes).str();
}

}  // namespace orvale::pim_tool

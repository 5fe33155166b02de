#include "tools/pim/ItemSummary.h"

#include "stores/versit/VersitDocument.h"

namespace orvale::pim_tool {

namespace {
constexpr std::size_t kMaxSummary = 100;

// Line breaks and separators of structured values become single spaces; the line stays one line.
std::string oneLine(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const bool gap = c == ';' || c == '\r' || c == '\n' || c == '\t' || c == ' ';
        if (gap) {
            if (!out.empty() && out.back() != ' ') out += ' ';
        } else {
            out += c;
        }
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    if (out.size() > kMaxSummary) {
        std::size_t cut = kMaxSummary;
        while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80) --cut;  // whole UTF-8 characters
        out.resize(cut);
        out += "...";
    }
    return out;
}
}  // namespace

std::string summarise(std::string_view itemText) {
    VersitDocument doc("", "", "");
    if (!doc.parse(itemText) || doc.lookupComponent() == nullptr) return "(unreadable item)";
    const VersitComponent* item = doc.lookupComponent();
    if (item->firstChild() != nullptr) item = item->firstChild();  // the event or task of a calendar
    for (const char* name : {"FN", "N", "SUMMARY"}) {
        if (const VersitProperty* p = item->property(name)) {
            std::string line = oneLine(p->joinedValues());
            if (!line.empty()) return line;
        }
    }
    return "(no name)";
}

}  // namespace orvale::pim_tool

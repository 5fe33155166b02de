#include "stores/vcalendar/VCalendarDocument.h"

#include <algorithm>
#include <cctype>

namespace orvale::vcalendar {

namespace {
constexpr std::string_view kOuter = "VCALENDAR";
constexpr std::string_view kVersion = "1.0";

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
    });
}
}  // namespace

std::unique_ptr<VersitDocument> newVCalendar(std::string_view inner) {
    return std::make_unique<VersitDocument>(kOuter, inner, kVersion);
}

std::unique_ptr<VersitDocument> parseVCalendar(std::string_view text, std::string_view inner) {
    auto doc = newVCalendar(inner);
    if (!doc->parse(text) || doc->lookupComponent() == nullptr) return nullptr;
    if (doc->components().empty() || !equalsIgnoringCase(doc->components().front()->name(), kOuter)) return nullptr;
    return doc;
}

}  // namespace orvale::vcalendar

#include "stores/vcalendar/VCalendarDocument.h"

#include "stores/versit/VersitText.h"

namespace orvale::vcalendar {

namespace {
constexpr std::string_view kOuter = "VCALENDAR";
constexpr std::string_view kVersion = "1.0";
}  // namespace

std::unique_ptr<VersitDocument> newVCalendar(std::string_view inner) {
    return std::make_unique<VersitDocument>(kOuter, inner, kVersion);
}

std::unique_ptr<VersitDocument> parseVCalendar(std::string_view text, std::string_view inner) {
    auto doc = newVCalendar(inner);
    if (!doc->parse(text) || doc->lookupComponent() == nullptr) return nullptr;
    if (doc->components().empty() || !versit_text::equalsIgnoringCaseAscii(doc->components().front()->name(), kOuter)) return nullptr;
    return doc;
}

}  // namespace orvale::vcalendar

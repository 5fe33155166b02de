// Any bytes, read as a contact and as a calendar entry: parsing, the lookups and writing must never
// crash, leak or run away, and splitting the text into two chunks must not change the result.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "stores/versit/VersitDocument.h"

namespace {

void exercise(std::string_view text, const char* outer, const char* inner, const char* version) {
    orvale::VersitDocument whole(outer, inner, version);
    whole.parse(text);
    const std::string out = whole.serialize();
    (void)whole.getValue("N");
    (void)whole.getValue("VERSION");
    (void)whole.getProperty("TEL");

    // The split point comes from the data, so the fuzzer steers it too.
    const std::size_t cut = text.empty() ? 0 : static_cast<unsigned char>(text.front()) * text.size() / 256;
    orvale::VersitDocument split(outer, inner, version);
    split.beginParse();
    split.feed(text.substr(0, cut));
    split.feed(text.substr(cut));
    split.endParse();
    if (split.serialize() != out) std::abort();

    orvale::VersitDocument again(outer, inner, version);
    again.parse(out);
    (void)again.serialize();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    exercise(text, "VCARD", "", "2.1");
    exercise(text, "VCALENDAR", "VEVENT", "1.0");
    return 0;
}

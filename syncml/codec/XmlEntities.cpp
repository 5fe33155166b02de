#include "syncml/codec/XmlEntities.h"

#include <cstring>
#include <string_view>

#include "syncml/codec/Utf8.h"

namespace orvale {

namespace {

// Longer than any reference worth reading ("#x0010FFFF" with a few leading zeros).
constexpr std::size_t kMaxReference = 16;

bool isXmlChar(std::uint32_t v) {
    return v == 0x9 || v == 0xA || v == 0xD || (v >= 0x20 && v <= 0xD7FF) || (v >= 0xE000 && v <= 0xFFFD) ||
           (v >= 0x10000 && v <= 0x10FFFF);
}

int digitValue(char ch, bool hex) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (hex && ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    if (hex && ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    return -1;
}

// `ref` is what stands between "&#" and ";".
bool numericReference(std::string_view ref, std::uint32_t& value) {
    const bool hex = !ref.empty() && ref[0] == 'x';
    if (hex) ref.remove_prefix(1);
    if (ref.empty()) return false;
    std::uint32_t v = 0;
    for (char ch : ref) {
        const int d = digitValue(ch, hex);
        if (d < 0) return false;
        v = v * (hex ? 16 : 10) + static_cast<std::uint32_t>(d);
        if (v > 0x10FFFF) return false;
    }
    value = v;
    return isXmlChar(v);
}

}  // namespace

ToolkitCode decodeXmlText(const std::uint8_t* text, std::size_t size, std::string& out) {
    out.clear();
    const char* p = reinterpret_cast<const char*>(text);
    const char* const end = p + size;
    while (p < end) {
        const char* amp = static_cast<const char*>(std::memchr(p, '&', static_cast<std::size_t>(end - p)));
        if (amp == nullptr) {
            out.append(p, end);
            break;
        }
        out.append(p, amp);
        const std::size_t room = static_cast<std::size_t>(end - amp - 1);
        const char* semi =
            static_cast<const char*>(std::memchr(amp + 1, ';', room < kMaxReference ? room : kMaxReference));
        if (semi == nullptr) return code::InvalidInputPcdata;
        const std::string_view ref(amp + 1, static_cast<std::size_t>(semi - amp - 1));
        if (ref == "amp") out.push_back('&');
        else if (ref == "lt") out.push_back('<');
        else if (ref == "gt") out.push_back('>');
        else if (ref == "quot") out.push_back('"');
        else if (ref == "apos") out.push_back('\'');
        else {
            std::uint32_t v = 0;
            if (ref.empty() || ref[0] != '#' || !numericReference(ref.substr(1), v)) return code::InvalidInputPcdata;
            std::uint8_t bytes[4];
            out.append(reinterpret_cast<const char*>(bytes), encodeUtf8(v, bytes));
        }
        p = semi + 1;
    }
    return code::Ok;
}

}  // namespace orvale

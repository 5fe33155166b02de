#include "stores/versit/VersitText.h"

#include <array>
#include <cstring>

namespace orvale::versit_text {
namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Byte classes, looked up once per byte: writing is mostly scanning values for bytes that need work.
enum : unsigned char { kEncode = 1, kEscape = 2, kLineBreak = 4 };

constexpr std::array<unsigned char, 256> makeClasses() {
    std::array<unsigned char, 256> classes{};
    for (int b = 0; b < 256; ++b) {
        if ((b < 33 && b != ' ' && b != '\t') || b == '=' || b > 126) classes[static_cast<std::size_t>(b)] |= kEncode;
    }
    // Only the value separator and the escape itself: vCard 2.1 and vCalendar 1.0 escape no "," or
    // ":", and readers show such a backslash. Earlier items written with "\," and "\:" still read
    // back as the plain characters.
    for (const char b : {';', '\\'}) classes[static_cast<unsigned char>(b)] |= kEscape;
    classes['\r'] |= kLineBreak;
    classes['\n'] |= kLineBreak;
    return classes;
}

constexpr std::array<unsigned char, 256> kClasses = makeClasses();

unsigned char classOf(char c) { return kClasses[static_cast<unsigned char>(c)]; }

}  // namespace

std::size_t findUnescaped(std::string_view text, char separator) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;  // the escaped character never separates, even when it is a backslash
        } else if (text[i] == separator) {
            return i;
        }
    }
    return std::string_view::npos;
}

std::vector<std::string_view> splitUnescaped(std::string_view text, char separator) {
    std::vector<std::string_view> pieces;
    for (;;) {
        const std::size_t at = findUnescaped(text, separator);
        if (at == std::string_view::npos) break;
        pieces.push_back(text.substr(0, at));
        text.remove_prefix(at + 1);
    }
    pieces.push_back(text);
    return pieces;
}

std::string unescape(std::string_view text) {
    const void* first = std::memchr(text.data(), '\\', text.size());
    if (first == nullptr) return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c != '\\' || i + 1 == text.size()) {
            out += c;
            ++i;
            continue;
        }
        const char next = text[i + 1];
        if (next == 'n' || next == 'N') {
            out += "\r\n";
            i += 2;
        } else if (next == 'r') {
            // Some writers spell a line break "\r\n"; it is one break, not CR plus another one.
            if (text.substr(i, 4) == "\\r\\n") {
                out += "\r\n";
                i += 4;
            } else {
                out += '\r';
                i += 2;
            }
        } else {
            out += next;
            i += 2;
        }
    }
    return out;
}

void appendEscaped(std::string& out, std::string_view value) {
    std::size_t run = 0;  // start of the bytes not yet copied; most values need no escape at all
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if ((classOf(c) & (kEscape | kLineBreak)) == 0) continue;
        out.append(value.substr(run, i - run));
        run = i + 1;
        if (c == '\r') {
            if (i + 1 < value.size() && value[i + 1] == '\n') {
                out += "\\n";
                ++i;
                run = i + 1;
            } else {
                out += "\\r";
            }
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += '\\';
            out += c;
        }
    }
    out.append(value.substr(run));
}

std::string decodeQuotedPrintable(std::string_view text) {
    const void* first = std::memchr(text.data(), '=', text.size());
    if (first == nullptr) return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '=' && i + 2 < text.size()) {
            const int high = hexValue(text[i + 1]);
            const int low = hexValue(text[i + 2]);
            // "=00" stays: a NUL byte would cut the text short in every consumer of it.
            if (high >= 0 && low >= 0 && (high | low) != 0) {
                out += static_cast<char>(high * 16 + low);
                i += 3;
                continue;
            }
        }
        out += text[i];
        ++i;
    }
    return out;
}

bool needsQuotedPrintable(unsigned char byte) { return (kClasses[byte] & kEncode) != 0; }

bool needsQuotedPrintable(std::string_view value) {
    for (const char c : value) {
        if ((classOf(c) & kEncode) != 0) return true;
    }
    return false;
}

void appendQuotedPrintableEscaped(std::string& out, std::string_view value) {
    std::size_t run = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const unsigned char cls = classOf(value[i]);
        if (cls == 0) continue;
        out.append(value.substr(run, i - run));
        run = i + 1;
        const auto byte = static_cast<unsigned char>(value[i]);
        if ((cls & kEncode) != 0) {
            out += '=';
            out += kHexDigits[byte >> 4];
            out += kHexDigits[byte & 0x0F];
        } else {
            out += '\\';
            out += value[i];
        }
    }
    out.append(value.substr(run));
}

std::string toUpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

bool equalsIgnoringCaseAscii(std::string_view a, std::string_view b) {
    return a.size() == b.size() && toUpperAscii(a) == toUpperAscii(b);
}

}  // namespace orvale::versit_text

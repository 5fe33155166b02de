#include "stores/versit/VersitText.h"

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

bool isSpecial(char c) { return c == ';' || c == ',' || c == '\\' || c == ':'; }

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
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\r') {
            if (i + 1 < value.size() && value[i + 1] == '\n') {
                out += "\\n";
                ++i;
            } else {
                out += "\\r";
            }
        } else if (c == '\n') {
            out += "\\n";
        } else {
            if (isSpecial(c)) out += '\\';
            out += c;
        }
    }
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

bool needsQuotedPrintable(unsigned char byte) {
    if (byte == ' ' || byte == '\t') return false;
    return byte < 33 || byte == '=' || byte > 126;
}

bool needsQuotedPrintable(std::string_view value) {
    for (const char c : value) {
        if (needsQuotedPrintable(static_cast<unsigned char>(c))) return true;
    }
    return false;
}

void appendQuotedPrintableEscaped(std::string& out, std::string_view value) {
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (needsQuotedPrintable(byte)) {
            out += '=';
            out += kHexDigits[byte >> 4];
            out += kHexDigits[byte & 0x0F];
        } else {
            if (isSpecial(c)) out += '\\';
            out += c;
        }
    }
}

std::string toUpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

}  // namespace orvale::versit_text

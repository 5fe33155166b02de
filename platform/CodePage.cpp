#include "platform/CodePage.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <string>

#include "platform/TextConversion.h"

namespace orvale::platform {

namespace {

// The C and POSIX locales report ASCII; ASCII is a subset of UTF-8, and treating them as UTF-8 keeps
// non-ASCII settings intact when a program runs without a locale (tests, the timed start).
bool localeIsUtf8(std::string& codeset) {
    const char* cs = nl_langinfo(CODESET);
    codeset = cs != nullptr ? cs : "";
    return codeset.empty() || codeset == "UTF-8" || codeset == "utf8" || codeset == "ANSI_X3.4-1968" ||
           codeset == "ASCII";
}

// One iconv pass; unconvertible input is replaced by `replacement` (already in the target code set)
// and the converter steps over `inStep` bytes of input.
std::string runIconv(const char* to, const char* from, std::string_view in, std::string_view replacement,
                     std::size_t inStep, bool& ok) {
    ok = false;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return {};
    std::string out;
    std::string buf(in);
    char* inPtr = buf.data();
    std::size_t inLeft = buf.size();
    char chunk[256];
    while (inLeft > 0) {
        char* outPtr = chunk;
        std::size_t outLeft = sizeof chunk;
        const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(chunk, static_cast<std::size_t>(outPtr - chunk));
        if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // EILSEQ or EINVAL (truncated sequence at the end): replace and step over.
            out.append(replacement);
            const std::size_t step = inStep < inLeft ? inStep : inLeft;
            inPtr += step;
            inLeft -= step;
        }
    }
    char* outPtr = chunk;
    std::size_t outLeft = sizeof chunk;
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    out.append(chunk, static_cast<std::size_t>(outPtr - chunk));
    iconv_close(cd);
    ok = true;
    return out;
}

std::u16string fromUtf16LeBytes(std::string_view bytes) {
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                             (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
    return text;
}

}  // namespace

std::u16string multiByteToWide(std::uint32_t codePage, std::string_view bytes) {
    std::string codeset;
    if (codePage == kCodePageUtf8 || localeIsUtf8(codeset)) return utf8ToUtf16(bytes);
    bool ok = false;
    const std::string wide = runIconv("UTF-16LE", codeset.c_str(), bytes, "\xFD\xFF", 1, ok);
    return ok ? fromUtf16LeBytes(wide) : utf8ToUtf16(bytes);
}

std::string wideToMultiByte(std::uint32_t codePage, std::u16string_view text) {
    std::string codeset;
    if (codePage == kCodePageUtf8 || localeIsUtf8(codeset)) return utf16ToUtf8(text);
    bool ok = false;
    // Going through UTF-8 first turns unpaired surrogates into U+FFFD, so iconv only sees valid input.
    const std::string narrow =
        runIconv((codeset + "//TRANSLIT").c_str(), "UTF-8", utf16ToUtf8(text), "?", 1, ok);
    return ok ? narrow : utf16ToUtf8(text);
}

}  // namespace orvale::platform

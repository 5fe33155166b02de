#include "stores/versit/VersitWriter.h"

#include <string_view>

#include "stores/versit/VersitText.h"

namespace orvale::versit_writer {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kQuotedPrintableParameters = ";ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8";
constexpr std::size_t kFoldAt = 75;
// After a fold the next break comes 74 characters of content later: with the fold's space (or the
// soft break's "=") every physical line stays within 75 characters.
constexpr std::size_t kFoldStep = 77;

bool isCharset(const VersitParameter& p) {
    return p.name == "CHARSET" || (p.name.empty() && p.value.starts_with("CHARSET="));
}

void appendProperty(std::string& out, const VersitProperty& property) {
    appendPropertyLine(out, property);
    for (const auto& repeat : property.repeats()) appendPropertyLine(out, repeat);
}

}  // namespace

void appendComponent(std::string& out, const VersitComponent& component) {
    out += "BEGIN:";
    out += component.name();
    out += kLineEnd;
    for (const auto& [name, property] : component.properties()) appendProperty(out, property);
    for (const auto& child : component.children()) appendComponent(out, *child);
    out += "END:";
    out += component.name();
    out += kLineEnd;
}

void appendPropertyLine(std::string& out, const VersitProperty& property) {
    bool quotedPrintable = false;
    if (property.kind() != VersitValueKind::Binary) {
        for (const auto& v : property.values()) {
            if (versit_text::needsQuotedPrintable(v)) {
                quotedPrintable = true;
                break;
            }
        }
    }
    // The line is built in place; only a line long enough to fold is moved out and folded back.
    const std::size_t start = out.size();
    std::string& line = out;
    line += property.name();
    for (const auto& p : property.parameters()) {
        // A quoted-printable line states its charset itself; a second CHARSET from the text this
        // property was read from would contradict it and grow with every read and write.
        if (quotedPrintable && isCharset(p)) continue;
        line += ';';
        if (!p.name.empty()) {
            line += p.name;
            line += '=';
        }
        line += p.value;
    }
    if (quotedPrintable) line += kQuotedPrintableParameters;
    line += ':';
    const auto& values = property.values();
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) line += ';';
        if (quotedPrintable) {
            versit_text::appendQuotedPrintableEscaped(line, values[i]);
        } else {
            versit_text::appendEscaped(line, values[i]);
        }
    }
    // Plain text is not folded: readers differ on whether a fold's space is content, and a word
    // broken at column 75 comes back as two. Quoted-printable lines fold with a soft break that
    // every reader removes, and Base64 has no spaces to lose.
    if ((quotedPrintable || property.kind() == VersitValueKind::Binary) && out.size() - start > kFoldAt) {
        const std::string unfolded = out.substr(start);
        out.resize(start);
        appendFolded(out, unfolded, quotedPrintable);
    }
    out += kLineEnd;
}

void appendFolded(std::string& out, std::string_view line, bool quotedPrintable) {
    const std::string_view fold = quotedPrintable ? std::string_view("=\r\n") : std::string_view("\r\n ");
    if (line.size() <= kFoldAt) {
        out += line;
        return;
    }
    // Break positions are computed on the line as it grows with every inserted fold; `inserted`
    // maps them back onto the unfolded line, which is copied piece by piece.
    std::size_t written = 0;
    std::size_t inserted = 0;
    for (std::size_t i = kFoldAt; i < line.size() + inserted; i += kFoldStep) {
        std::size_t at = i - inserted;
        if (quotedPrintable) {
            // Never split an "=XX" triple: break before the "=" of one that would straddle the fold.
            if (line[at - 1] == '=') {
                at -= 1;
            } else if (line[at - 2] == '=') {
                at -= 2;
            } else if (line[at - 3] == '=') {
                at -= 3;
            }
            i = at + inserted;
        }
        out += line.substr(written, at - written);
        out += fold;
        written = at;
        inserted += fold.size();
    }
    out += line.substr(written);
}

}  // namespace orvale::versit_writer

#include "stores/versit/VersitParser.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "stores/versit/VersitLimits.h"
#include "stores/versit/VersitText.h"

namespace orvale {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kQuotedPrintable = "QUOTED-PRINTABLE";

// Position of the next CR LF at or after `from`, or npos.
std::size_t findLineEnd(std::string_view text, std::size_t from) {
    while (from < text.size()) {
        const void* cr = std::memchr(text.data() + from, '\r', text.size() - from);
        if (cr == nullptr) break;
        const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(cr) - text.data());
        if (at + 1 < text.size() && text[at + 1] == '\n') return at;
        from = at + 1;
    }
    return std::string_view::npos;
}

std::string_view trim(std::string_view s) {
    constexpr std::string_view blanks = " \t\r\n";
    const std::size_t first = s.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    const std::size_t last = s.find_last_not_of(blanks);
    return s.substr(first, last - first + 1);
}

VersitParameter parseParameter(std::string_view text) {
    const std::string upper = versit_text::toUpperAscii(text);
    const std::string_view u(upper);
    const std::size_t eq = versit_text::findUnescaped(u, '=');
    if (eq == std::string_view::npos) return VersitParameter{std::string(), upper};
    // "A=B=C" keeps A and B: a parameter has one value.
    std::string_view value = u.substr(eq + 1);
    value = value.substr(0, versit_text::findUnescaped(value, '='));
    return VersitParameter{std::string(u.substr(0, eq)), std::string(value)};
}

bool isBase64(const VersitParameter& p) {
    if (p.name == "ENCODING") return p.value == "BASE64" || p.value == "B";
    return p.name.empty() && p.value == "BASE64";
}

}  // namespace

void VersitParser::reset() {
    partial_.clear();
    logical_.clear();
    quotedPrintable_ = false;
    top_.clear();
    current_ = nullptr;
    open_ = 0;
    components_ = 0;
    elements_ = 0;
    fed_ = 0;
    overflowed_ = false;
}

void VersitParser::overflow() {
    overflowed_ = true;
    partial_.clear();
    partial_.shrink_to_fit();
    logical_.clear();
    logical_.shrink_to_fit();
    top_.clear();
    current_ = nullptr;
}

bool VersitParser::charge(std::size_t elements) {
    elements_ += elements;
    if (elements_ > versit_limits::kMaxElements) overflow();
    return !overflowed_;
}

void VersitParser::feed(std::string_view chunk) {
    if (overflowed_) return;
    fed_ += chunk.size();
    if (fed_ > versit_limits::kMaxInputBytes) {
        overflow();
        return;
    }
    std::size_t start = 0;
    if (!partial_.empty()) {
        // The line left over from the previous chunk ends in this one; its CR LF may even be split
        // between the two.
        if (partial_.back() == '\r' && !chunk.empty() && chunk.front() == '\n') {
            partial_.pop_back();
            start = 1;
        } else {
            const std::size_t end = findLineEnd(chunk, 0);
            if (end == std::string_view::npos) {
                partial_.append(chunk);
                return;
            }
            partial_.append(chunk.substr(0, end));
            start = end + kLineEnd.size();
        }
        const std::string line = std::exchange(partial_, std::string());
        physicalLine(line);
    }
    for (;;) {
        const std::size_t end = findLineEnd(chunk, start);
        if (end == std::string_view::npos) break;
        physicalLine(chunk.substr(start, end - start));
        start = end + kLineEnd.size();
    }
    partial_.assign(chunk.substr(start));
}

void VersitParser::physicalLine(std::string_view line) {
    if (overflowed_) return;
    const bool startsWithSpace = !line.empty() && line.front() == ' ';
    const bool softBreak = quotedPrintable_ && !logical_.empty() && logical_.back() == '=';
    if (softBreak) {
        // The "=" was the soft break; whatever follows it, a leading space included, is content.
        logical_.pop_back();
        logical_.append(line);
    } else if (startsWithSpace) {
        // A folded line, also after a quoted-printable line whose writer folded with spaces: only
        // the fold's space goes, never a character of the line before.
        logical_.append(line.substr(1));
    } else {
        if (!logical_.empty()) logicalLine(trim(logical_), quotedPrintable_);
        startLogicalLine(line);
    }
}

void VersitParser::startLogicalLine(std::string_view line) {
    logical_.assign(line);
    quotedPrintable_ = false;
    // Only the head (before the first ":") says how the value is encoded; a value that merely
    // mentions the word must not be decoded or cut.
    const std::string_view head = std::string_view(logical_).substr(0, logical_.find(':'));
    const std::size_t word = head.find(kQuotedPrintable);
    if (word == std::string_view::npos) return;
    quotedPrintable_ = true;
    // The encoding parameter itself is no parameter of the property.
    const std::size_t from = logical_.rfind(';', word);
    const std::size_t to = logical_.find_first_of(";:", word + kQuotedPrintable.size());
    if (from != std::string::npos && to != std::string::npos) logical_.erase(from, to - from);
}

void VersitParser::logicalLine(std::string_view line, bool quotedPrintable) {
    if (overflowed_ || line.empty()) return;
    // BEGIN and END are only ever property names: a note reading "Agenda - BEGIN:9am" is a note.
    const std::size_t colon = line.find(':');
    const std::string name = colon == std::string_view::npos ? std::string() : versit_text::toUpperAscii(line.substr(0, colon));
    if (name == "BEGIN") {
        beginComponent(line.substr(colon + 1));
    } else if (name == "END") {
        endComponent();
    } else if (current_ != nullptr) {
        propertyLine(line, quotedPrintable);
    }
}

void VersitParser::beginComponent(std::string_view name) {
    if (++components_ > versit_limits::kMaxComponents || open_ + 1 > versit_limits::kMaxDepth) {
        overflow();
        return;
    }
    if (current_ == nullptr || current_->closed()) {
        // Only a top-level component is current once closed; what begins after it is its sibling.
        VersitComponent* parent = current_ == nullptr ? nullptr : current_->parent();
        current_ = parent == nullptr ? &VersitComponent::append(top_, std::string(name), nullptr)
                                     : &parent->addChild(std::string(name));
    } else {
        current_ = &current_->addChild(std::string(name));
    }
    ++open_;
}

void VersitParser::endComponent() {
    if (current_ == nullptr) return;
    if (!current_->closed()) {
        current_->close();
        --open_;
    }
    if (current_->parent() != nullptr) current_ = current_->parent();
}

void VersitParser::propertyLine(std::string_view line, bool quotedPrintable) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon + 1 == line.size()) return;
    const std::string_view head = line.substr(0, colon);
    std::string_view valuePart = line.substr(colon + 1);
    std::string decoded;
    if (quotedPrintable) {
        decoded = versit_text::decodeQuotedPrintable(valuePart);
        valuePart = decoded;
    }

    const auto valuePieces = versit_text::splitUnescaped(valuePart, ';');
    const std::size_t semi = head.find(';');
    std::vector<std::string_view> parameterPieces;
    if (semi != std::string_view::npos) parameterPieces = versit_text::splitUnescaped(head.substr(semi + 1), ';');
    if (!charge(1 + valuePieces.size() + parameterPieces.size())) return;

    std::vector<std::string> values;
    values.reserve(valuePieces.size());
    for (const auto piece : valuePieces) values.push_back(versit_text::unescape(piece));
    std::vector<VersitParameter> parameters;
    parameters.reserve(parameterPieces.size());
    for (const auto piece : parameterPieces) parameters.push_back(parseParameter(piece));

    VersitValueKind kind = quotedPrintable ? VersitValueKind::EightBit : VersitValueKind::Plain;
    // Base64 stays Base64 when the property is written again: its "=" padding must not turn it
    // into a quoted-printable line that also claims to be Base64.
    if (std::any_of(parameters.begin(), parameters.end(), isBase64)) kind = VersitValueKind::Binary;
    current_->addProperty(VersitProperty(versit_text::toUpperAscii(head.substr(0, semi)), std::move(parameters),
                                         std::move(values), kind));
}

VersitComponentList VersitParser::finish() {
    if (!overflowed_) {
        logicalLine(logical_, quotedPrintable_);
        logicalLine(partial_, false);
    }
    const bool complete = !overflowed_ && !top_.empty() && top_.front()->closed() && open_ == 0;
    VersitComponentList result;
    if (complete) result = std::move(top_);
    reset();
    return result;
}

}  // namespace orvale

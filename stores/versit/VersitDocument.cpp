#include "stores/versit/VersitDocument.h"

#include <algorithm>

#include "stores/versit/VersitText.h"
#include "stores/versit/VersitWriter.h"

namespace orvale {
namespace {

constexpr std::string_view kProductId = "-//Tarnwell Corporation//Orvale for Windows Mobile 1.0.13//EN";

VersitProperty single(std::string name, std::string_view value) {
    return VersitProperty(std::move(name), {}, {std::string(value)}, VersitValueKind::Plain);
}

bool hasHighByte(std::string_view value) {
    return std::any_of(value.begin(), value.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// A name key is the property name and bare parameters kept exactly as written, so that
// "ENCODING=BASE64" is written back unchanged.
VersitProperty fromNameKey(std::string_view nameKey, std::vector<std::string> values, VersitValueKind kind) {
    const auto pieces = versit_text::splitUnescaped(nameKey, ';');
    std::vector<VersitParameter> parameters;
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        if (!pieces[i].empty()) parameters.push_back(VersitParameter{std::string(), std::string(pieces[i])});
    }
    return VersitProperty(std::string(pieces.front()), std::move(parameters), std::move(values), kind);
}

}  // namespace

VersitDocument::VersitDocument(std::string_view outerName, std::string_view innerName, std::string_view version)
    : outerName_(outerName), innerName_(innerName), version_(version) {
    VersitComponent& outer = VersitComponent::append(top_, outerName_, nullptr);
    outer.addProperty(single("VERSION", version_));
    if (innerName_.empty()) {
        receiving_ = &outer;
    } else {
        outer.addProperty(single("PRODID", kProductId));
        receiving_ = &outer.addChild(innerName_);
    }
    lookup_ = receiving_;
}

void VersitDocument::addProperty(std::string_view nameKey, std::string value) {
    if (receiving_ == nullptr) return;
    VersitValueKind kind = VersitValueKind::Plain;
    if (nameKey.starts_with("PHOTO")) {
        kind = VersitValueKind::Binary;
    } else if (hasHighByte(value)) {
        kind = VersitValueKind::EightBit;
    }
    std::vector<std::string> values;
    values.push_back(std::move(value));
    receiving_->addProperty(fromNameKey(nameKey, std::move(values), kind));
}

void VersitDocument::addProperty(std::string_view nameKey, std::vector<std::string> values) {
    if (receiving_ == nullptr) return;
    const bool eightBit = std::any_of(values.begin(), values.end(), [](const std::string& v) { return hasHighByte(v); });
    receiving_->addProperty(
        fromNameKey(nameKey, std::move(values), eightBit ? VersitValueKind::EightBit : VersitValueKind::Plain));
}

std::vector<std::string> VersitDocument::getProperty(std::string_view name) const {
    std::vector<std::string> entries;
    if (lookup_ == nullptr) return entries;
    const VersitProperty* first = lookup_->property(name);
    if (first == nullptr) return entries;
    entries.push_back(first->entryText());
    for (const auto& repeat : first->repeats()) entries.push_back(repeat.entryText());
    return entries;
}

std::optional<std::string> VersitDocument::getValue(std::string_view name) const {
    if (lookup_ == nullptr) return std::nullopt;
    // Values were decoded once, when they were parsed; decoding again would turn a note that says
    // "a=41" into "aA".
    std::string text;
    if (const VersitProperty* p = lookup_->property(name)) text = p->joinedValues();
    if (!innerName_.empty() && !top_.empty() && top_.front().get() != lookup_) {
        if (const VersitProperty* outer = top_.front()->property(name)) text += outer->joinedValues();
    }
    if (text.empty()) return std::nullopt;
    return text;
}

bool VersitDocument::parse(std::string_view text) {
    beginParse();
    feed(text);
    return endParse();
}

void VersitDocument::beginParse() { parser_.reset(); }

void VersitDocument::feed(std::string_view chunk) { parser_.feed(chunk); }

bool VersitDocument::endParse() {
    top_ = parser_.finish();
    lookup_ = nullptr;
    if (!top_.empty()) {
        VersitComponent* outer = top_.front().get();
        if (innerName_.empty()) {
            lookup_ = outer;
        } else {
            for (const auto& child : outer->children()) {
                if (child->name() == innerName_) {
                    lookup_ = child.get();
                    break;
                }
            }
        }
    }
    receiving_ = lookup_;
    return !top_.empty();
}

std::string VersitDocument::serialize() const {
    std::string out;
    out.reserve(1024);
    for (const auto& component : top_) versit_writer::appendComponent(out, *component);
    return out;
}

}  // namespace orvale

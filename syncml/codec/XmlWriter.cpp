#include "syncml/codec/XmlWriter.h"

#include <array>
#include <cstring>
#include <string_view>

#include "syncml/RecordLayout.h"
#include "syncml/codec/DocumentIdentifiers.h"
#include "syncml/codec/RecordWriter.h"

namespace orvale {

namespace {

// Replacement text per byte; null for the bytes that go out unchanged.
constexpr std::array<const char*, 256> buildEscapes() {
    std::array<const char*, 256> t{};
    t['&'] = "&amp;";
    t['<'] = "&lt;";
    t['>'] = "&gt;";
    t['\r'] = "&#13;";
    return t;
}
constexpr std::array<const char*, 256> kEscapes = buildEscapes();

std::string_view namespaceName(Namespace ns, std::uint8_t version) {
    switch (ns) {
        case Namespace::SyncML: return syncmlNamespaceName(version);
        case Namespace::MetInf: return "syncml:metinf";
        case Namespace::DevInf: return "syncml:devinf";
    }
    return {};
}

}  // namespace

XmlWriter::XmlWriter(std::uint8_t version, bool indent, bool showAsReceived)
    : version_(version), indent_(indent), showAsReceived_(showAsReceived) {}

ToolkitCode XmlWriter::put(const void* bytes, std::size_t n) { return out_.put(bytes, n); }

ToolkitCode XmlWriter::put(const char* s) { return put(s, std::strlen(s)); }

ToolkitCode XmlWriter::lineBreak(int depth) {
    if (auto c = put("\n", 1)) return c;
    static constexpr char kSpaces[] = "                                                                ";
    const std::size_t n = static_cast<std::size_t>(depth) * 2;
    return put(kSpaces, n < sizeof kSpaces - 1 ? n : sizeof kSpaces - 1);
}

ToolkitCode XmlWriter::documentHeader() {
    depth_ = 0;
    for (const char* piece : {"<", "?xml version=\"", "1.0", "\" encoding=\"", "UTF-8", "\"?", ">"}) {
        if (auto c = put(piece)) return c;
    }
    return code::Ok;
}

ToolkitCode XmlWriter::open(TagId tag, bool content) {
    const TagInfo& info = tagInfo(tag);
    if (info.token == 0) return code::UnknownTag;
    if (content && depth_ >= kMaxDepth) return code::InvalidTag;
    // The root always names its namespace; below it, only a change of namespace does.
    const bool switches = depth_ == 0 || stack_[depth_ - 1].ns != info.ns;
    std::string_view ns;
    if (switches) {
        ns = namespaceName(info.ns, version_);
        if (ns.empty()) return code::InvalidTag;
    }
    if (indent_) {
        if (depth_ > 0) stack_[depth_ - 1].children = true;
        if (auto c = lineBreak(depth_)) return c;
    }
    if (auto c = put("<", 1)) return c;
    if (auto c = put(info.name.data(), info.name.size())) return c;
    if (switches) {
        if (auto c = put(" xmlns='", 8)) return c;
        if (auto c = put(ns.data(), ns.size())) return c;
        if (auto c = put("'", 1)) return c;
    }
    if (!content) return put("/>", 2);
    stack_[depth_++] = Level{tag, info.ns, false};
    return put(">", 1);
}

ToolkitCode XmlWriter::close() {
    if (depth_ <= 0) return code::InvalidTag;
    const Level& level = stack_[--depth_];
    if (indent_ && level.children)
        if (auto c = lineBreak(depth_)) return c;
    const std::string_view name = tagInfo(level.tag).name;
    if (auto c = put("</", 2)) return c;
    if (auto c = put(name.data(), name.size())) return c;
    if (auto c = put(">", 1)) return c;
    return indent_ && depth_ == 0 ? put("\n", 1) : code::Ok;
}

ToolkitCode XmlWriter::escaped(const std::uint8_t* bytes, std::size_t length) {
    std::size_t run = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const char* replacement = kEscapes[bytes[i]];
        if (replacement == nullptr) continue;
        if (auto c = put(bytes + run, i - run)) return c;
        if (auto c = put(replacement)) return c;
        run = i + 1;
    }
    return put(bytes + run, length - run);
}

ToolkitCode XmlWriter::text(const std::uint8_t* bytes, std::size_t length) { return escaped(bytes, length); }

ToolkitCode XmlWriter::opaque(const std::uint8_t* bytes, std::size_t length) { return escaped(bytes, length); }

ToolkitCode XmlWriter::cdata(const std::uint8_t* bytes, std::size_t length) {
    static constexpr std::string_view kOpen = "<![CDATA[", kEnd = "]]>";
    if (auto c = put(kOpen.data(), kOpen.size())) return c;
    const std::string_view content(reinterpret_cast<const char*>(bytes), length);
    std::size_t run = 0;
    for (std::size_t at = content.find(kEnd); at != std::string_view::npos; at = content.find(kEnd, at + 1)) {
        // "]]" closes this section, ">" starts the next one.
        if (auto c = put(bytes + run, at + 2 - run)) return c;
        if (auto c = put("]]><![CDATA[", 12)) return c;
        run = at + 2;
    }
    if (auto c = put(bytes + run, length - run)) return c;
    return put(kEnd.data(), kEnd.size());
}

ToolkitCode XmlWriter::devInf(const DevInfRecord& record) { return writeRecord(*this, layout::devInf, &record); }

}  // namespace orvale

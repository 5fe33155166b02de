#include "syncml/codec/XmlReader.h"

#include <array>
#include <cstring>

#include "syncml/codec/XmlEntities.h"

namespace orvale {

namespace {

constexpr bool isSpace(std::uint8_t b) { return b == ' ' || b == '\t' || b == '\n' || b == '\r'; }

// Elements whose content is text: it runs up to the matching close tag unless it begins with markup.
constexpr std::array<bool, tag::Count> buildTextElements() {
    std::array<bool, tag::Count> t{};
    for (TagId id : {tag::Cmd, tag::CmdID, tag::CmdRef, tag::Data, tag::Lang, tag::LocName, tag::LocURI, tag::Meta,
                     tag::MsgID, tag::MsgRef, tag::RespURI, tag::SessionID, tag::SourceRef, tag::TargetRef,
                     tag::VerDTD, tag::VerProto, tag::NumberOfChanges, tag::EMI, tag::Format, tag::FreeID,
                     tag::FreeMem, tag::Last, tag::Mark, tag::MaxMsgSize, tag::Next, tag::NextNonce, tag::Size,
                     tag::Type, tag::Version, tag::MaxObjSize, tag::CTType, tag::DataType, tag::DevID,
                     tag::DevTyp, tag::DisplayName, tag::FwV, tag::HwV, tag::Man, tag::MaxGUIDSize, tag::MaxID,
                     tag::MaxMem, tag::Mod, tag::OEM, tag::ParamName, tag::PropName, tag::DevInfSize,
                     tag::DevInfSourceRef, tag::SwV, tag::SyncType, tag::ValEnum, tag::VerCT, tag::DevInfVerDTD,
                     tag::XNam, tag::XVal}) {
        t[id] = true;
    }
    return t;
}
constexpr std::array<bool, tag::Count> kTextElements = buildTextElements();

ToolkitCode namespaceOf(std::string_view value, Namespace& ns) {
    if (value.substr(0, 13) == "SYNCML:SYNCML") {
        ns = Namespace::SyncML;
        return code::Ok;
    }
    struct Entry {
        std::string_view name;
        Namespace ns;
    };
    static constexpr Entry kNamespaces[] = {{"syncml:metinf", Namespace::MetInf},
                                            {"syncml:metinf1.1", Namespace::MetInf},
                                            {"syncml:devinf", Namespace::DevInf},
                                            {"syncml:devinf1.1", Namespace::DevInf}};
    for (const Entry& e : kNamespaces) {
        if (e.name == value) {
            ns = e.ns;
            return code::Ok;
        }
    }
    return code::UnknownNamespace;
}

// The table of the namespace in force first, then the others.
TagId lookupTag(Namespace first, std::string_view name) {
    TagId t = tagByName(first, name);
    for (Namespace ns : {Namespace::SyncML, Namespace::MetInf, Namespace::DevInf}) {
        if (t == tag::None && ns != first) t = tagByName(ns, name);
    }
    return t;
}

}  // namespace

XmlReader::XmlReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

bool XmlReader::startsWith(std::string_view s) const {
    return s.size() <= size_ - pos_ && std::memcmp(data_ + pos_, s.data(), s.size()) == 0;
}

void XmlReader::skipSpace() {
    while (pos_ < size_ && isSpace(data_[pos_])) ++pos_;
}

ToolkitCode XmlReader::skipPast(std::string_view terminator) {
    const std::string_view rest(reinterpret_cast<const char*>(data_) + pos_, size_ - pos_);
    const std::size_t at = rest.find(terminator);
    if (at == std::string_view::npos) {
        pos_ = size_;
        return code::EndOfData;
    }
    pos_ += at + terminator.size();
    return code::Ok;
}

ToolkitCode XmlReader::skipDoctype() {
    // Identifiers in quotes, an internal subset in brackets; none of it is used.
    while (pos_ < size_) {
        const std::uint8_t b = data_[pos_++];
        if (b == '>') return code::Ok;
        if (b == '"' || b == '\'') {
            const char quote[2] = {static_cast<char>(b), 0};
            if (auto c = skipPast(quote)) return c;
        } else if (b == '[') {
            if (auto c = skipPast("]")) return c;
        }
    }
    return code::EndOfData;
}

ToolkitCode XmlReader::readProlog() {
    if (startsWith("\xEF\xBB\xBF")) pos_ += 3;
    skipSpace();
    if (startsWith("<?xml") && size_ - pos_ > 5 && (isSpace(data_[pos_ + 5]) || data_[pos_ + 5] == '?')) {
        pos_ += 5;
        skipSpace();
        std::string_view name;
        if (auto c = readName(name)) return c;
        if (name != "version") return code::MalformedXml;
        if (auto c = skipPast("?>")) return c;
    }
    for (;;) {
        skipSpace();
        if (startsWith("<!--")) {
            if (auto c = skipPast("-->")) return c;
        } else if (startsWith("<!DOCTYPE")) {
            pos_ += 9;
            if (auto c = skipDoctype()) return c;
        } else if (startsWith("<?")) {
            return code::UnsupportedProcessingInstruction;
        } else {
            return pos_ < size_ ? code::Ok : code::EndOfData;
        }
    }
}

ToolkitCode XmlReader::readName(std::string_view& name) {
    const std::size_t start = pos_;
    while (pos_ < size_) {
        const std::uint8_t b = data_[pos_];
        if (isSpace(b) || b == '/' || b == '>' || b == '=' || b == '?') break;
        ++pos_;
    }
    if (pos_ >= size_) return code::EndOfData;
    if (pos_ == start || pos_ - start > kMaxNameLength) return code::MalformedXml;
    name = std::string_view(reinterpret_cast<const char*>(data_) + start, pos_ - start);
    return code::Ok;
}

ToolkitCode XmlReader::expect(char ch) {
    skipSpace();
    if (pos_ >= size_) return code::EndOfData;
    if (data_[pos_] != static_cast<std::uint8_t>(ch)) return code::MalformedXml;
    ++pos_;
    return code::Ok;
}

ToolkitCode XmlReader::stripPrefix(std::string_view& name, bool& prefixed) const {
    const std::size_t colon = name.find(':');
    prefixed = colon != std::string_view::npos;
    if (!prefixed) return code::Ok;
    if (prefix_.empty() || name.substr(0, colon) != prefix_) return code::PrefixMismatch;
    name.remove_prefix(colon + 1);
    return code::Ok;
}

ToolkitCode XmlReader::readAttributes(bool& declared, Namespace& ns, bool& content) {
    for (;;) {
        skipSpace();
        if (pos_ >= size_) return code::EndOfData;
        if (data_[pos_] == '>') {
            ++pos_;
            content = true;
            return code::Ok;
        }
        if (data_[pos_] == '/') {
            if (size_ - pos_ < 2) return code::EndOfData;
            if (data_[pos_ + 1] != '>') return code::MalformedXml;
            pos_ += 2;
            content = false;
            return code::Ok;
        }
        std::string_view name;
        if (auto c = readName(name)) return c;
        if (auto c = expect('=')) return c;
        skipSpace();
        if (pos_ >= size_) return code::EndOfData;
        const std::uint8_t quote = data_[pos_];
        if (quote != '"' && quote != '\'') return code::MalformedXml;
        const std::size_t valueStart = ++pos_;
        const void* close = std::memchr(data_ + pos_, quote, size_ - pos_);
        if (close == nullptr) return code::EndOfData;
        pos_ = static_cast<std::size_t>(static_cast<const std::uint8_t*>(close) - data_);
        const std::string_view value(reinterpret_cast<const char*>(data_) + valueStart, pos_ - valueStart);
        ++pos_;
        if (name.substr(0, 6) == "xmlns:" && name.size() > 6) {
            prefix_ = name.substr(6);
        } else if (name != "xmlns") {
            return code::MalformedXml;
        }
        if (auto c = namespaceOf(value, ns)) return c;
        declared = true;
    }
}

ToolkitCode XmlReader::startTag(Token& t) {
    std::string_view name;
    if (auto c = readName(name)) return c;
    bool declared = false, content = false;
    Namespace ns = depth_ > 0 ? stack_[depth_ - 1].ns : Namespace::SyncML;
    if (auto c = readAttributes(declared, ns, content)) return c;
    bool prefixed = false;
    if (auto c = stripPrefix(name, prefixed)) return c;
    t.tag = lookupTag(ns, name);
    if (t.tag == tag::None) return code::UnknownTag;
    t.kind = Token::Kind::Start;
    t.content = content;
    if (!content) return code::Ok;
    if (depth_ >= kMaxDepth) return code::NotSyncml;
    // Children look names up in the declared namespace, else in the one the name was found in.
    stack_[depth_++] = Level{t.tag, declared ? ns : tagInfo(t.tag).ns, prefixed};
    textElementOpened_ = kTextElements[t.tag];
    return code::Ok;
}

ToolkitCode XmlReader::endTag(Token& t) {
    std::string_view name;
    bool prefixed = false;
    if (auto c = readName(name)) return c;
    if (auto c = expect('>')) return c;
    if (auto c = stripPrefix(name, prefixed)) return c;
    if (depth_ == 0 || tagInfo(stack_[depth_ - 1].tag).name != name) return code::NotSyncml;
    --depth_;
    t.kind = Token::Kind::End;
    return code::Ok;
}

ToolkitCode XmlReader::textRun(Token& t, std::size_t end) {
    t.kind = Token::Kind::Text;
    t.data = data_ + pos_;
    t.size = end - pos_;
    pos_ = end;
    if (std::memchr(t.data, '&', t.size) == nullptr) return code::Ok;
    if (auto c = decodeXmlText(t.data, t.size, decoded_)) return c;
    t.data = reinterpret_cast<const std::uint8_t*>(decoded_.data());
    t.size = decoded_.size();
    return code::Ok;
}

ToolkitCode XmlReader::rawTextElement(Token& t, bool& taken) {
    // Content that begins with markup (after layout white space) is read as tokens: a CDATA section,
    // a MetInf or DevInf tree, or nothing.
    std::size_t first = pos_;
    while (first < size_ && isSpace(data_[first])) ++first;
    taken = first < size_ && data_[first] != '<';
    if (!taken) return code::Ok;
    const Level& open = stack_[depth_ - 1];
    const std::string_view name = tagInfo(open.tag).name;
    char pattern[2 + kMaxNameLength + 1 + kMaxNameLength + 1];
    std::size_t n = 0;
    pattern[n++] = '<';
    pattern[n++] = '/';
    if (open.prefixed) {
        std::memcpy(pattern + n, prefix_.data(), prefix_.size());
        n += prefix_.size();
        pattern[n++] = ':';
    }
    std::memcpy(pattern + n, name.data(), name.size());
    n += name.size();
    pattern[n++] = '>';
    const std::string_view rest(reinterpret_cast<const char*>(data_) + pos_, size_ - pos_);
    const std::size_t at = rest.find(std::string_view(pattern, n));
    if (at == std::string_view::npos) return code::NotSyncml;
    return textRun(t, pos_ + at);
}

ToolkitCode XmlReader::next(Token& t, bool pcdata) {
    t = Token{};
    if (textElementOpened_) {
        textElementOpened_ = false;
        bool taken = false;
        if (auto c = rawTextElement(t, taken)) return c;
        if (taken) return code::Ok;
    }
    for (;;) {
        if (pos_ >= size_) return code::EndOfData;
        if (data_[pos_] != '<') {
            const void* lt = std::memchr(data_ + pos_, '<', size_ - pos_);
            if (lt == nullptr) {
                pos_ = size_;
                return code::EndOfData;
            }
            const std::size_t end = static_cast<std::size_t>(static_cast<const std::uint8_t*>(lt) - data_);
            bool blank = true;
            for (std::size_t i = pos_; i < end && blank; ++i) blank = isSpace(data_[i]);
            if (!pcdata) {
                if (!blank) return code::NotSyncml;
                pos_ = end;
                continue;
            }
            t.blank = blank;
            return textRun(t, end);
        }
        if (startsWith("<!--")) {
            if (auto c = skipPast("-->")) return c;
            continue;
        }
        if (startsWith("<![CDATA[")) {
            if (!pcdata) return code::NotSyncml;
            pos_ += 9;
            const std::size_t start = pos_;
            if (auto c = skipPast("]]>")) return c;
            t.kind = Token::Kind::Cdata;
            t.data = data_ + start;
            t.size = pos_ - 3 - start;
            return code::Ok;
        }
        if (startsWith("<?")) return code::UnsupportedProcessingInstruction;
        if (startsWith("<!")) return code::MalformedXml;
        if (startsWith("</")) {
            pos_ += 2;
            return endTag(t);
        }
        ++pos_;
        return startTag(t);
    }
}

}  // namespace orvale

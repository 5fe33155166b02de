#include "syncml/codec/WbxmlReader.h"

#include <cstring>
#include <string_view>

#include "syncml/codec/MbUint32.h"
#include "syncml/codec/Utf8.h"

namespace orvale {

WbxmlReader::WbxmlReader(const std::uint8_t* data, std::size_t size, Namespace document)
    : data_(data), size_(size), document_(document) {}

ToolkitCode WbxmlReader::mb(std::uint32_t& value) {
    switch (decodeMbUint32(data_, size_, pos_, value)) {
        case MbResult::Ok: return code::Ok;
        case MbResult::Truncated: return code::EndOfData;
        case MbResult::Overlong: return code::InvalidInputPcdata;
    }
    return code::EndOfData;
}

Namespace WbxmlReader::pageNamespace(std::uint8_t page) const {
    if (page != 0) return Namespace::MetInf;
    return document_;
}

ToolkitCode WbxmlReader::readHeader() {
    if (pos_ >= size_) return code::EndOfData;
    const std::uint8_t version = data_[pos_++];
    if ((version >> 4) != 0 || (version & 0x0F) >= 3) return code::UnsupportedWbxmlVersion;
    std::uint32_t publicId = 0, publicIdOffset = 0, charset = 0;
    if (auto c = mb(publicId)) return c;
    const bool inTable = publicId == 0;
    if (inTable)
        if (auto c = mb(publicIdOffset)) return c;
    // A WBXML 1.0 header has no charset; reading one would take the string table length for it.
    if (version != 0x00)
        if (auto c = mb(charset)) return c;
    if (auto c = mb(strtblLength_)) return c;
    if (strtblLength_ > size_ - pos_) return code::EndOfData;
    strtbl_ = data_ + pos_;
    pos_ += strtblLength_;
    if (inTable && publicIdOffset >= strtblLength_) return code::StringTableOffset;
    return code::Ok;
}

ToolkitCode WbxmlReader::literalTag(std::uint32_t offset, TagId& tag) {
    if (offset >= strtblLength_) return code::StringTableOffset;
    const auto* start = strtbl_ + offset;
    const void* nul = std::memchr(start, 0, strtblLength_ - offset);
    // The NUL lies at or after `start`, so the distance is never negative.
    const std::size_t len = nul != nullptr ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - start)
                                           : strtblLength_ - offset;
    const std::string_view name(reinterpret_cast<const char*>(start), len);
    const Namespace current = pageNamespace(tagPage_);
    tag = tagByName(current, name);
    for (Namespace ns : {Namespace::MetInf, Namespace::DevInf, Namespace::SyncML}) {
        if (tag == tag::None) tag = tagByName(ns, name);
    }
    return tag == tag::None ? code::UnknownTag : code::Ok;
}

ToolkitCode WbxmlReader::skipAttributes() {
    for (;;) {
        if (pos_ >= size_) return code::EndOfData;
        const std::uint8_t b = data_[pos_++];
        std::uint32_t v = 0;
        switch (b) {
            case 0x01: return code::Ok;
            case 0x00:
                if (pos_ >= size_) return code::EndOfData;
                ++pos_;  // attribute code page: nothing of SyncML depends on it
                break;
            case 0x03: case 0x40: case 0x41: case 0x42: {
                const void* nul = std::memchr(data_ + pos_, 0, size_ - pos_);
                if (nul == nullptr) return code::EndOfData;
                pos_ = static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - data_) + 1;
                break;
            }
            case 0x02: case 0x04: case 0x80: case 0x81: case 0x82: case 0x83:
                if (auto c = mb(v)) return c;
                break;
            case 0xC3:
                if (auto c = mb(v)) return c;
                if (v > size_ - pos_) return code::EndOfData;
                pos_ += v;
                break;
            default: break;  // attribute start or value token
        }
    }
}

ToolkitCode WbxmlReader::next(Token& t, bool /*pcdata*/) {
    for (;;) {
        if (pos_ >= size_) return code::EndOfData;
        const std::uint8_t b = data_[pos_++];
        t = Token{};
        std::uint32_t v = 0;
        switch (b) {
            case 0x00:
                if (pos_ >= size_) return code::EndOfData;
                tagPage_ = data_[pos_++];
                continue;
            case 0x01: t.kind = Token::Kind::End; return code::Ok;
            case 0x02: {
                if (auto c = mb(v)) return c;
                if (v > 0x10FFFF) return code::InvalidInputPcdata;
                const std::size_t n = encodeUtf8(v, entity_);
                t.kind = Token::Kind::Text;
                t.data = entity_;
                t.size = n;
                return code::Ok;
            }
            case 0x03: {
                const void* nul = std::memchr(data_ + pos_, 0, size_ - pos_);
                if (nul == nullptr) return code::EndOfData;
                t.kind = Token::Kind::Text;
                t.data = data_ + pos_;
                t.size = static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - t.data);
                pos_ += t.size + 1;
                return code::Ok;
            }
            case 0x83: {
                if (auto c = mb(v)) return c;
                if (v >= strtblLength_) return code::StringTableOffset;
                const void* nul = std::memchr(strtbl_ + v, 0, strtblLength_ - v);
                t.kind = Token::Kind::Text;
                t.data = strtbl_ + v;
                t.size = nul != nullptr ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - t.data)
                                        : strtblLength_ - v;
                return code::Ok;
            }
            case 0xC3:
                if (auto c = mb(v)) return c;
                if (v > size_ - pos_) return code::EndOfData;
                t.kind = Token::Kind::Opaque;
                t.data = data_ + pos_;
                t.size = v;
                pos_ += v;
                return code::Ok;
            case 0x04: case 0x44: case 0x84: case 0xC4:
                if (auto c = mb(v)) return c;
                if (auto c = literalTag(v, t.tag)) return c;
                break;
            case 0x40: case 0x41: case 0x42: case 0x43: case 0x80: case 0x81: case 0x82:
            case 0xC0: case 0xC1: case 0xC2:
                return code::GlobalTokenUnavailable;
            default:
                t.tag = tagByToken(pageNamespace(tagPage_), b & 0x3F);
                if (t.tag == tag::None) return code::UnknownTag;
                break;
        }
        t.kind = Token::Kind::Start;
        t.content = (b & 0x40) != 0;
        if ((b & 0x80) != 0)
            if (auto c = skipAttributes()) return c;
        return code::Ok;
    }
}

}  // namespace orvale

#pragma once
// Tokens of a WBXML document: header, string table, tags, strings and opaque data. Every length is
// checked against the end of the input.
#include <cstddef>
#include <cstdint>

#include "syncml/codec/TokenReader.h"

namespace orvale {

class WbxmlReader : public TokenReader {
public:
    // `document`: SyncML (page 0 SyncML, other pages MetInf) or DevInf (page 0 DevInf).
    WbxmlReader(const std::uint8_t* data, std::size_t size, Namespace document);

    ToolkitCode readHeader();
    ToolkitCode next(Token& token, bool pcdata) override;
    std::size_t offset() const override { return pos_; }

private:
    ToolkitCode mb(std::uint32_t& value);
    ToolkitCode skipAttributes();
    ToolkitCode literalTag(std::uint32_t offset, TagId& tag);
    Namespace pageNamespace(std::uint8_t page) const;

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    Namespace document_;
    const std::uint8_t* strtbl_ = nullptr;
    std::uint32_t strtblLength_ = 0;
    std::uint8_t tagPage_ = 0;
    std::uint8_t entity_[4] = {};
};

}  // namespace orvale

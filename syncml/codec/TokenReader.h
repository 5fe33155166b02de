#pragma once
// What the record builder reads from: one implementation per encoding.
#include <cstddef>
#include <cstdint>

#include "syncml/Tags.h"
#include "syncml/ToolkitCodes.h"

namespace orvale {

struct Token {
    enum class Kind : std::uint8_t { Start, End, Text, Opaque, Cdata };
    Kind kind = Kind::End;
    TagId tag = tag::None;
    bool content = false;  // Start: the element has content (closed by an End)
    bool blank = false;    // Text: white space only, followed by markup
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

class TokenReader {
public:
    virtual ~TokenReader() = default;
    // `pcdata`: the caller is inside an element whose content may be text (white space counts).
    virtual ToolkitCode next(Token& token, bool pcdata) = 0;
    // Byte offset of the reader in its input (for error reports).
    virtual std::size_t offset() const = 0;
};

}  // namespace orvale

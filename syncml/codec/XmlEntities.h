#pragma once
// Character content of XML text: the five predefined entities and numeric character references.
#include <cstddef>
#include <cstdint>
#include <string>

#include "syncml/ToolkitCodes.h"

namespace orvale {

// Replaces out with text[0..size) decoded. A reference that is unknown, unterminated, malformed or
// names no XML character gives 0x200C.
ToolkitCode decodeXmlText(const std::uint8_t* text, std::size_t size, std::string& out);

}  // namespace orvale

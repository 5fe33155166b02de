#pragma once
// One message, WBXML or XML, decoded by the toolkit and written again as indented SyncML XML. Device
// information that travels as an opaque WBXML document is decoded and shown as its element tree.
#include <cstddef>
#include <string>

#include "syncml/ToolkitCodes.h"

namespace orvale::dump_tool {

struct DumpResult {
    ToolkitCode code = code::Ok;
    std::size_t offset = 0;  // in the message, where decoding stopped (when code is not 0)
    std::string xml;
};

// Messages larger than this are refused (0x2002) rather than held in memory.
inline constexpr std::size_t kMaxMessageSize = 16u << 20;

// True when the bytes look like XML text (a "<" first, after a byte-order mark and white space).
bool looksLikeXml(const std::string& bytes);

// The toolkit must be initialised with at least kMaxMessageSize of workspace memory.
DumpResult dumpMessage(const std::string& bytes);

}  // namespace orvale::dump_tool

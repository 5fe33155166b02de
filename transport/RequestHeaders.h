#pragma once
// The header block an exchange sends with each message, and its lines as the HTTP library takes
// them.
#include <map>
#include <string>
#include <vector>

#include "syncml/ContentType.h"

namespace orvale {

// Extra headers replace the Content-Type line entirely; without them the block is
// "Content-Type: <MIME type>\r\n", followed by "charset:<charset>\r\n" when the type has one.
std::string buildRequestHeaders(const ContentType& contentType, const std::map<std::string, std::string>& extra);

// The non-empty lines of a header block. Any CR or LF ends a line, so no value can smuggle in a
// line of its own.
std::vector<std::string> headerLines(const std::string& block);

}  // namespace orvale

#pragma once
// A store's anchor as a bare file in the device root: "label:remote:time" with the labels escaped,
// no line end, replaced whole on each save. Parsing the line into an anchor is the anchor's own business.
#include <cstdint>
#include <string>

namespace orvale {

void writeAnchorFile(const std::string& fileName, const std::string& label, const std::string& remote,
                     int64_t time);
// The first line of the file (up to a line feed); empty when the file is missing or empty.
std::string readAnchorLine(const std::string& fileName);

}  // namespace orvale

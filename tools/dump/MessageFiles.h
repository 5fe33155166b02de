#pragma once
// Which files a dump reads: the given files, the ".xml" files of a given capture folder, or with no
// argument the capture folder of the device. Capture files come in exchange order.
#include <filesystem>
#include <string>
#include <vector>

namespace orvale::dump_tool {

// "07_from_client.xml" before "07_from_server.xml" before "100_from_client.xml"; other names after
// those, by name.
bool captureOrder(const std::filesystem::path& a, const std::filesystem::path& b);

// Files of `args` in order, a folder replaced by its ".xml" files; no args: the device's capture folder.
std::vector<std::filesystem::path> messageFiles(const std::vector<std::string>& args);

}  // namespace orvale::dump_tool

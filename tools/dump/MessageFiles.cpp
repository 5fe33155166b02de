#include "tools/dump/MessageFiles.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>
#include <tuple>

#include "platform/DevicePaths.h"
#include "transport/MessageCapture.h"

namespace orvale::dump_tool {

namespace {

// (number, direction) of "NN_from_client.xml" / "NN_from_server.xml"; number -1 for other names.
std::pair<long, int> captureKey(const std::filesystem::path& p) {
    const std::string name = p.filename().string();
    const std::size_t under = name.find("_from_");
    if (under == 0 || under == std::string::npos || under > 9) return {-1, 0};
    if (!std::all_of(name.begin(), name.begin() + static_cast<std::ptrdiff_t>(under), [](char c) { return c >= '0' && c <= '9'; }))
        return {-1, 0};
    const std::string rest = name.substr(under + 6);
    if (rest != "client.xml" && rest != "server.xml") return {-1, 0};
    return {std::strtol(name.c_str(), nullptr, 10), rest == "server.xml" ? 1 : 0};
}

std::vector<std::filesystem::path> folderMessages(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        if (entry.is_regular_file(ec) && entry.path().extension() == ".xml") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end(), captureOrder);
    return files;
}

}  // namespace

bool captureOrder(const std::filesystem::path& a, const std::filesystem::path& b) {
    const auto ka = captureKey(a), kb = captureKey(b);
    const bool ca = ka.first >= 0, cb = kb.first >= 0;
    if (ca != cb) return ca;
    if (ca) return ka < kb;
    return a.filename() < b.filename();
}

std::vector<std::filesystem::path> messageFiles(const std::vector<std::string>& args) {
    if (args.empty()) return folderMessages(platform::hostPath(MessageCapture::kLastSessionPath));
    std::vector<std::filesystem::path> files;
    for (const std::string& a : args) {
        std::error_code ec;
        if (std::filesystem::is_directory(a, ec)) {
            const auto inside = folderMessages(a);
            files.insert(files.end(), inside.begin(), inside.end());
        } else {
            files.emplace_back(a);
        }
    }
    return files;
}

}  // namespace orvale::dump_tool

#include "support/TempDeviceRoot.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace orvale::test {

TempDeviceRoot::TempDeviceRoot() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "orvale-root-XXXXXX").string();
    if (mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
    if (const char* prev = std::getenv("ORVALE_DEVICE_ROOT")) {
        previous_ = prev;
        hadPrevious_ = true;
    }
    setenv("ORVALE_DEVICE_ROOT", path_.c_str(), 1);
}

TempDeviceRoot::~TempDeviceRoot() {
    if (hadPrevious_) {
        setenv("ORVALE_DEVICE_ROOT", previous_.c_str(), 1);
    } else {
        unsetenv("ORVALE_DEVICE_ROOT");
    }
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string readFileBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFileBytes(const std::filesystem::path& p, const std::string& bytes) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> vcalendarItems(const std::string& text) {
    std::vector<std::string> items;
    constexpr std::string_view kEnd = "END:VCALENDAR\r\n";
    for (std::size_t at = 0, end; (end = text.find(kEnd, at)) != std::string::npos; at = end + kEnd.size())
        items.push_back(text.substr(at, end + kEnd.size() - at));
    return items;
}

}  // namespace orvale::test

#pragma once
// A fresh device root for one test: created empty, exported as ORVALE_DEVICE_ROOT, removed after.
#include <filesystem>
#include <string>
#include <vector>

namespace orvale::test {

class TempDeviceRoot {
public:
    TempDeviceRoot();
    ~TempDeviceRoot();
    TempDeviceRoot(const TempDeviceRoot&) = delete;
    TempDeviceRoot& operator=(const TempDeviceRoot&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    std::string previous_;
    bool hadPrevious_ = false;
};

// Whole file as bytes; empty when it cannot be read.
std::string readFileBytes(const std::filesystem::path& p);
void writeFileBytes(const std::filesystem::path& p, const std::string& bytes);
// The vCalendars of a text one after the other, each from its start to its END:VCALENDAR line.
std::vector<std::string> vcalendarItems(const std::string& text);

}  // namespace orvale::test

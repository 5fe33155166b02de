#pragma once
// The licence agreement the About screen offers: "License.txt" in the application data folder,
// single-byte text of the default code page. The program keeps that file a copy of the text
// installed beside it, as the device's installer once put it there.
#include <filesystem>
#include <string>
#include <string_view>

namespace orvale {

inline constexpr std::string_view kLicenceDevicePath = "\\Application Data\\Orvale\\License.txt";
// A licence is a page or two; a file beyond this is not one, and is not read.
inline constexpr std::size_t kMaxLicenceBytes = 256 * 1024;

// The whole file as wide text; empty when it cannot be read or is too large.
std::u16string readLicenceText();

// The installed text for this program: "License.txt" beside the program, else in
// ../share/orvale/ from it; empty path when there is none.
std::filesystem::path installedLicenceFile(const std::filesystem::path& programFile);

// Copies `source` over the device's licence file when that is missing or differs. False when
// nothing could be copied.
bool placeLicenceText(const std::filesystem::path& source);

}  // namespace orvale

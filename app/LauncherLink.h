#pragma once
// The Launcher's device path, "\Application Data\Orvale\Launcher.exe", is a symbolic link in the
// device root to the orvale-launcher installed beside the main program; the main program keeps it
// pointing there whenever it arms the Launcher.
#include <filesystem>
#include <string>
#include <string_view>

namespace orvale {

inline constexpr std::u16string_view kLauncherDevicePath = u"\\Application Data\\Orvale\\Launcher.exe";
inline constexpr std::string_view kLauncherProgramName = "orvale-launcher";

// Points the link at orvale-launcher beside `mainProgram`, unless it already points there. False,
// with the reason in `problem`, when there is no orvale-launcher to point at (a main program run
// from somewhere without its Launcher) or the link could not be made: a start armed for it would
// then fail when it is due, where nobody sees it.
bool keepLauncherLink(const std::filesystem::path& mainProgram, std::string* problem = nullptr);

}  // namespace orvale

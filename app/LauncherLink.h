#pragma once
// The Launcher's device path, "\Application Data\Orvale\Launcher.exe", is a symbolic link in the
// device root to the orvale-launcher installed beside the main program; the main program keeps it
// pointing there whenever it arms the Launcher.
#include <filesystem>
#include <string_view>

namespace orvale {

inline constexpr std::u16string_view kLauncherDevicePath = u"\\Application Data\\Orvale\\Launcher.exe";
inline constexpr std::string_view kLauncherProgramName = "orvale-launcher";

// Points the link at orvale-launcher beside `mainProgram`. Leaves it as it is when there is no
// such file (a main program run from somewhere without its Launcher) or when it already points
// there. False when the link could not be made.
bool keepLauncherLink(const std::filesystem::path& mainProgram);

}  // namespace orvale

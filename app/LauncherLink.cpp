#include "app/LauncherLink.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/DevicePaths.h"
#include "platform/Process.h"

namespace orvale {

bool keepLauncherLink(const std::filesystem::path& mainProgram) {
    const std::filesystem::path target = mainProgram.parent_path() / kLauncherProgramName;
    if (mainProgram.empty() || !platform::isExecutableFile(target)) return true;
    const std::filesystem::path link = platform::hostPath(kLauncherDevicePath);
    std::error_code ec;
    if (std::filesystem::is_symlink(link, ec) && std::filesystem::read_symlink(link, ec) == target && !ec)
        return true;
    if (!std::filesystem::is_directory(link.parent_path(), ec)) {
        std::filesystem::create_directories(link.parent_path(), ec);
        ::chmod(link.parent_path().c_str(), 0700);  // as the folder Conf.dat makes for itself
    }
    // A new link renamed over the old one, so that a Launcher starting meanwhile finds one or the other.
    const std::filesystem::path fresh = link.string() + ".new-" + std::to_string(::getpid());
    std::filesystem::remove(fresh, ec);
    if (::symlink(target.c_str(), fresh.c_str()) != 0) return false;
    if (std::rename(fresh.c_str(), link.c_str()) != 0) {
        std::filesystem::remove(fresh, ec);
        return false;
    }
    return true;
}

}  // namespace orvale

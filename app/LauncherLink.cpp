#include "app/LauncherLink.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/DevicePaths.h"
#include "platform/FileAccess.h"
#include "platform/Process.h"

namespace orvale {

namespace {
bool refused(std::string* problem, const std::string& why) {
    if (problem != nullptr) *problem = why;
    return false;
}
}  // namespace

bool keepLauncherLink(const std::filesystem::path& mainProgram, std::string* problem) {
    const std::filesystem::path target = mainProgram.parent_path() / kLauncherProgramName;
    if (mainProgram.empty()) return refused(problem, "the main program's own path is not known");
    if (!platform::isExecutableFile(target))
        return refused(problem, "there is no " + std::string(kLauncherProgramName) +
                                    " beside the main program (" + target.string() + ")");
    const std::filesystem::path link = platform::hostPath(kLauncherDevicePath);
    std::error_code ec;
    if (std::filesystem::is_symlink(link, ec) && std::filesystem::read_symlink(link, ec) == target && !ec)
        return true;
    platform::createPrivateFolders(link.parent_path());  // as the folder Conf.dat makes for itself
    // A new link renamed over the old one, so that a Launcher starting meanwhile finds one or the other.
    const std::filesystem::path fresh = link.string() + ".new-" + std::to_string(::getpid());
    std::filesystem::remove(fresh, ec);
    if (::symlink(target.c_str(), fresh.c_str()) != 0 || std::rename(fresh.c_str(), link.c_str()) != 0) {
        const std::string why = std::strerror(errno);
        std::filesystem::remove(fresh, ec);
        return refused(problem, "cannot make the link " + link.string() + ": " + why);
    }
    return true;
}

}  // namespace orvale

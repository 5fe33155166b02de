#include "platform/DevicePaths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "platform/FileAccess.h"
#include "platform/TextConversion.h"

namespace orvale::platform {

namespace {
const char* nonEmptyEnv(const char* name) {
    const char* v = std::getenv(name);
    return (v != nullptr && *v != '\0') ? v : nullptr;
}
}  // namespace

std::filesystem::path deviceRoot() {
    if (const char* root = nonEmptyEnv("ORVALE_DEVICE_ROOT")) return std::filesystem::path(root);
    if (const char* xdg = nonEmptyEnv("XDG_DATA_HOME")) return std::filesystem::path(xdg) / "orvale";
    if (const char* home = nonEmptyEnv("HOME")) return std::filesystem::path(home) / ".local/share/orvale";
    return {};
}

namespace {

std::string quoted(const std::filesystem::path& p) {
    std::string out = "'";
    for (char c : p.string()) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Judged as ssh judges the folders of its keys: ours alone, written by nobody else.
std::string folderProblem(const std::filesystem::path& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) return {};
    if (st.st_uid != ::geteuid()) {
        return "the device folder " + folder.string() + " belongs to another user (uid " + std::to_string(st.st_uid) +
               "), who could change what Orvale runs; use a folder of your own (set ORVALE_DEVICE_ROOT) or move it "
               "aside";
    }
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        return "the device folder " + folder.string() +
               " may be written by other users, who could change what Orvale runs; remove their write permission: "
               "chmod go-w " + quoted(folder);
    }
    return {};
}

}  // namespace

std::string deviceRootProblem() {
    const std::filesystem::path root = deviceRoot();
    if (root.empty()) return "no device folder: neither HOME, XDG_DATA_HOME nor ORVALE_DEVICE_ROOT is set; set one of them";
    for (const std::filesystem::path& folder : {root, root / "Application Data", root / "Application Data" / "Orvale"}) {
        if (std::string problem = folderProblem(folder); !problem.empty()) return problem;
    }
    return {};
}

std::string createDeviceRoot() {
    const std::filesystem::path root = deviceRoot();
    if (root.empty()) return deviceRootProblem();
    std::error_code ec;
    if (std::filesystem::is_directory(root, ec)) return deviceRootProblem();
    if (!createPrivateFolders(root)) {
        return "the device folder " + root.string() + " cannot be created: " + std::error_code(errno, std::generic_category()).message();
    }
    return deviceRootProblem();
}

std::filesystem::path hostPath(std::string_view devicePath) {
    std::filesystem::path out = deviceRoot();
    std::size_t pos = 0;
    while (pos <= devicePath.size()) {
        std::size_t end = devicePath.find_first_of("\\/", pos);
        if (end == std::string_view::npos) end = devicePath.size();
        std::string_view part = devicePath.substr(pos, end - pos);
        if (!part.empty() && part != "." && part != "..") out /= std::string(part);
        pos = end + 1;
    }
    return out;
}

std::filesystem::path hostPath(std::u16string_view devicePath) { return hostPath(utf16ToUtf8(devicePath)); }

}  // namespace orvale::platform

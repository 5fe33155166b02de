#pragma once
// The device's file system lives below one host folder (the device root). Every device path in
// the program goes through hostPath(); nothing else turns device paths into host paths.
#include <filesystem>
#include <string>
#include <string_view>

namespace orvale::platform {

// $ORVALE_DEVICE_ROOT when set and not empty, else $XDG_DATA_HOME/orvale, else ~/.local/share/orvale;
// empty when none of them is set (there is no shared fallback: a folder every user may create would
// hand the settings and the scheduled program to whoever made it first).
// Read on every call so that tests can point a process at a fresh root.
std::filesystem::path deviceRoot();

// Empty when the device root may be used, else what is wrong and how to mend it: no root at all, or
// the root or the settings folder below it ("Application Data/Orvale") owned by another user or
// writable by group or others (whoever may write there may replace what a sync or the scheduled
// start runs). Folders not made yet are not judged.
std::string deviceRootProblem();

// Creates the device root when it is missing (mode 0700, with any missing parents), as every
// program does before it uses the device. Empty when the root is there and safe to use
// (deviceRootProblem), else what went wrong, naming the folder.
std::string createDeviceRoot();

// "\Application Data\Orvale\Conf.dat" -> <root>/Application Data/Orvale/Conf.dat.
// A bare name ("Logs.dat") resolves in the root. Components "." and ".." are dropped so that no
// device path can name a file outside the root.
std::filesystem::path hostPath(std::string_view devicePath);
std::filesystem::path hostPath(std::u16string_view devicePath);

}  // namespace orvale::platform

#pragma once
// The device's file system lives below one host folder (the device root). Every device path in
// the program goes through hostPath(); nothing else turns device paths into host paths.
#include <filesystem>
#include <string>
#include <string_view>

namespace orvale::platform {

// $ORVALE_DEVICE_ROOT when set and not empty, else $XDG_DATA_HOME/orvale, else ~/.local/share/orvale.
// Read on every call so that tests can point a process at a fresh root.
std::filesystem::path deviceRoot();

// Creates the device root when it is missing (mode 0700, with any missing parents), as every
// program does before it uses the device. Empty when the root is there, else what went wrong,
// naming the folder.
std::string createDeviceRoot();

// "\Application Data\Orvale\Conf.dat" -> <root>/Application Data/Orvale/Conf.dat.
// A bare name ("Logs.dat") resolves in the root. Components "." and ".." are dropped so that no
// device path can name a file outside the root.
std::filesystem::path hostPath(std::string_view devicePath);
std::filesystem::path hostPath(std::u16string_view devicePath);

}  // namespace orvale::platform

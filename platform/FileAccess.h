#pragma once
// Whole-file reads and writes on host paths. Writes go to a temporary file that is renamed over the
// target, so another process reading the file (the Launcher reads Conf.dat without coordination)
// sees either the old or the new content, never a mix.
#include <sys/types.h>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace orvale::platform {

// Creates missing parent folders (mode 0700). The file gets exactly `mode`, also when it existed
// with wider permissions. False when the file cannot be written.
bool writeWholeFile(const std::filesystem::path& path, std::string_view bytes, mode_t mode);

// Creates the folder and any missing parents, each new one with mode 0700 whatever the umask (a
// folder that others may write is refused as a device folder). True when the folder is there.
bool createPrivateFolders(const std::filesystem::path& folder);

// Makes the folder's entries (a file just renamed into it) durable. False when it cannot.
bool syncFolder(const std::filesystem::path& folder);

// At most `maxBytes` from the start of the file; nullopt when it cannot be opened.
std::optional<std::string> readFilePrefix(const std::filesystem::path& path, std::size_t maxBytes);

}  // namespace orvale::platform

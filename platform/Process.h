#pragma once
// The running program's own file and starting other programs.
#include <filesystem>
#include <string>
#include <vector>

namespace orvale::platform {

// Full path of the running program's file; empty when the system does not tell.
std::filesystem::path modulePath();

// The path the running program was started by, made absolute but with its links kept: a program
// started through a symbolic link sees the link's path, as a device program sees the file it was
// loaded from. modulePath() when the system does not tell.
std::filesystem::path startedPath();

// A regular file (after links) that this process may execute.
bool isExecutableFile(const std::filesystem::path& path);

// Starts `program` with `arguments` as a process of its own (its own session, not a child that
// this process must reap). False when the program cannot be started.
bool startProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments);

}  // namespace orvale::platform

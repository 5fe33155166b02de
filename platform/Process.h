#pragma once
// The running program's own file and starting other programs.
#include <filesystem>
#include <string>
#include <vector>

namespace orvale::platform {

// Full path of the running program's file; empty when the system does not tell.
std::filesystem::path modulePath();

// Starts `program` with `arguments` as a process of its own (its own session, not a child that
// this process must reap). False when the program cannot be started.
bool startProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments);

}  // namespace orvale::platform

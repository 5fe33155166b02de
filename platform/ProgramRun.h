#pragma once
// Running a helper program of the host (the `at` commands) and reading what it prints. Unlike
// startProgram, the caller waits for it, and what it prints is bounded.
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvale::platform {

struct ProgramOutput {
    int exitCode = -1;  // -1 when it was ended by a signal (or by the time bound)
    std::string out;
    std::string err;
};

struct ProgramRunOptions {
    std::string_view input;  // given on its standard input, which is then closed
    // Set in its environment, on top of this process's own.
    std::vector<std::pair<std::string, std::string>> environment;
    std::size_t maxOutput = 1 << 20;              // of each stream; the rest is read and dropped
    std::chrono::milliseconds timeLimit{30'000};  // then it is killed
};

// Runs `program` (looked up in PATH) with `arguments` in the folder "/" and waits for it. nullopt
// when it cannot be started.
std::optional<ProgramOutput> runProgramAndWait(const std::string& program,
                                               const std::vector<std::string>& arguments,
                                               const ProgramRunOptions& options);

}  // namespace orvale::platform

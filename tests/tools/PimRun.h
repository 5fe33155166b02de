#pragma once
// Runs orvale-pim with arguments on the current device root and keeps what it printed.
#include <filesystem>
#include <string>
#include <vector>

namespace orvale::test {

struct PimRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Any program of tools/ (its path), the same way; `input` is its standard input.
PimRun runProgram(const std::string& program, const std::vector<std::string>& args, const std::filesystem::path& scratch,
                  const std::string& input = {});
PimRun runPim(const std::vector<std::string>& args, const std::filesystem::path& scratch);

// The keys an import printed, one per line.
std::vector<std::string> printedLines(const std::string& out);

}  // namespace orvale::test

#include "PimRun.h"

#include <sys/wait.h>

#include <cstdlib>
#include <sstream>

#include "support/TempDeviceRoot.h"

namespace orvale::test {

namespace {
std::string quoted(const std::string& s) {
    std::string q = "'";
    for (const char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}
}  // namespace

PimRun runPim(const std::vector<std::string>& args, const std::filesystem::path& scratch) {
    return runProgram(ORVALE_PIM, args, scratch);
}

PimRun runProgram(const std::string& program, const std::vector<std::string>& args, const std::filesystem::path& scratch,
                  const std::string& input) {
    const auto out = scratch / "run.out";
    const auto err = scratch / "run.err";
    const auto in = scratch / "run.in";
    writeFileBytes(in, input);
    std::string command = quoted(program);
    for (const auto& a : args) command += " " + quoted(a);
    command += " >" + quoted(out.string()) + " 2>" + quoted(err.string()) + " <" + quoted(in.string());
    const int status = std::system(command.c_str());
    PimRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = readFileBytes(out);
    run.err = readFileBytes(err);
    return run;
}

std::vector<std::string> printedLines(const std::string& out) {
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace orvale::test

// orvale-dump: captured or given SyncML messages, WBXML or XML, printed as indented SyncML XML through
// the program's own decoder and XML codec, nested device information included.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/DiagnosticLog.h"
#include "syncml/Toolkit.h"
#include "tools/dump/MessageDump.h"
#include "tools/dump/MessageFiles.h"

namespace {

using namespace orvale::dump_tool;

constexpr const char* kHelp =
    "usage: orvale-dump [FILE|FOLDER]...\n"
    "       orvale-dump --log\n"
    "       orvale-dump --help | --version\n"
    "\n"
    "Prints each SyncML message (WBXML or XML, told apart by its first byte) as indented SyncML XML.\n"
    "A FOLDER stands for its .xml files in exchange order; with no argument the capture folder of the\n"
    "last session in $ORVALE_DEVICE_ROOT is read. Device information sent as an opaque WBXML document\n"
    "is shown as its element tree. With more than one file, each is headed by \"==> FILE <==\".\n"
    "\n"
    "A message that does not decode is reported on standard error with the toolkit's error code and\n"
    "the byte offset where decoding stopped. An empty file (an exchange without a reply) is noted.\n"
    "\n"
    "--log prints the last sync run's log (Application Data/Orvale/Logs in $ORVALE_DEVICE_ROOT);\n"
    "exit code 3 when no run has written one.\n"
    "\n"
    "exit codes: 0 every message printed, 1 a message does not decode, 2 wrong arguments,\n"
    "3 a file cannot be read\n";

enum ExitCode : int { kOk = 0, kUndecodable = 1, kUsage = 2, kUnreadable = 3 };

// False when the file cannot be read; a file beyond the size limit is not read at all.
bool readFile(const std::filesystem::path& p, std::string& out, bool& tooLarge) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(p, ec);
    tooLarge = !ec && size > kMaxMessageSize;
    if (ec || tooLarge) return !ec;
    std::ifstream in(p, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    out = s.str();
    return !in.bad();
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string& a : args) {
        if (a == "-h" || a == "--help") {
            std::cout << kHelp;
            return kOk;
        }
        if (a == "--version") {
            std::cout << "orvale-dump " ORVALE_VERSION "\n";
            return kOk;
        }
        if (a == "--log") {
            if (args.size() != 1) {
                std::cerr << "orvale-dump: --log takes no other argument\n";
                return kUsage;
            }
            const auto log = orvale::readLastRunLog(std::size_t{64} << 20);
            if (!log) {
                std::cerr << "orvale-dump: no sync run has written a log yet\n";
                return kUnreadable;
            }
            std::cout << *log;
            return kOk;
        }
        if (!a.empty() && a[0] == '-') {
            std::cerr << "orvale-dump: unknown option " << a << "\n" << kHelp;
            return kUsage;
        }
    }
    const std::vector<std::filesystem::path> files = messageFiles(args);
    if (files.empty()) {
        std::cerr << "orvale-dump: no messages to print\n";
        return kUsage;
    }
    orvale::toolkit::initToolkit(static_cast<std::uint32_t>(kMaxMessageSize));
    int status = kOk;
    for (const auto& file : files) {
        if (files.size() > 1) std::cout << "==> " << file.string() << " <==\n";
        std::string bytes;
        bool tooLarge = false;
        if (!readFile(file, bytes, tooLarge)) {
            std::cerr << "orvale-dump: " << file.string() << ": cannot be read\n";
            status = status == kOk ? kUnreadable : status;
            continue;
        }
        if (tooLarge) {
            std::cerr << "orvale-dump: " << file.string() << ": larger than any message (" << (kMaxMessageSize >> 20)
                      << " MiB)\n";
            status = kUndecodable;
            continue;
        }
        if (bytes.empty()) {
            std::cout << "(empty: no message)\n";
            continue;
        }
        const DumpResult r = dumpMessage(bytes);
        if (r.code != orvale::code::Ok) {
            char line[96];
            std::snprintf(line, sizeof line, ": error 0x%04X at byte %zu\n", static_cast<unsigned>(r.code), r.offset);
            std::cerr << "orvale-dump: " << file.string() << line;
            status = kUndecodable;
            continue;
        }
        std::cout << r.xml;
    }
    orvale::toolkit::terminateToolkit();
    return status;
}

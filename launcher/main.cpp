// orvale-launcher: started by the timed-start service with "AppRunAtTime"; arms its next start and
// starts `orvale autosync`. Without that argument it changes nothing.
#include <iostream>
#include <string>
#include <vector>

#include "app/ConfigRecord.h"
#include "launcher/LauncherRun.h"
#include "platform/DevicePaths.h"

namespace {

constexpr const char* kHelp =
    "usage: orvale-launcher AppRunAtTime\n"
    "\n"
    "The background sync's scheduled starter. The at queue starts it with the argument AppRunAtTime\n"
    "when a background sync is due; it then arms its next start from Conf.dat's interval and starts\n"
    "`orvale autosync` unless Orvale's window is open. Background sync is switched on and off in\n"
    "Orvale's settings or with orvale-config.\n"
    "\n"
    "With any other argument, or none, it changes nothing and starts nothing. The exit code is 0, but 6\n"
    "when the device folder is missing or another user owns or may write it, and 3 when Conf.dat is\n"
    "damaged (the reason on stderr; nothing is armed or started then).\n";

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (!arguments.empty() && arguments[0] == orvale::launcher::kAppRunAtTime) {
        // Whatever a folder another user may write holds must not be started as this user.
        if (const std::string problem = orvale::platform::deviceRootProblem(); !problem.empty()) {
            std::cerr << "orvale-launcher: " << problem << std::endl;
            // The code orvale and orvale-config give for the same problem.
            return 6;
        }
        if (orvale::ConfigRecord probe; probe.read() == orvale::ConfigLoad::Damaged) {
            std::cerr << "orvale-launcher: " << orvale::kDamagedConfigText << std::endl;
            return 3;
        }
    }
    const int code = orvale::launcher::runLauncher(arguments, orvale::launcher::systemLauncherServices());
    // Help is only words on the terminal: the run above has already done nothing for these
    // arguments, and the exit code stays 0.
    if (!arguments.empty() && (arguments[0] == "--help" || arguments[0] == "-h")) std::cout << kHelp;
    if (!arguments.empty() && arguments[0] == "--version")
        std::cout << "orvale-launcher " ORVALE_VERSION "\n";
    return code;
}

// orvale: no argument runs the screens, exactly "autosync" one background run.
#include <malloc.h>

#include <cstring>
#include <iostream>

#include <memory>

#include "app/BackgroundShell.h"
#include "app/ClientApp.h"
#include "app/ConfigRecord.h"
#include "app/ScreensModule.h"
#include "platform/DevicePaths.h"

namespace {

constexpr const char* kHelp =
    "usage: orvale             the screens: set-up, sync, settings, log, About\n"
    "       orvale autosync    one background sync without any screen, then exit\n"
    "       orvale --help | --version\n"
    "\n"
    "Syncs the contacts, calendar and tasks of the device store in $ORVALE_DEVICE_ROOT (default\n"
    "$XDG_DATA_HOME/orvale, else ~/.local/share/orvale) with a SyncML server. The mode is the whole\n"
    "command line: \"autosync\" exactly (case matters) is the background run, anything else the\n"
    "screens. A background run in progress makes a second start exit: with a notice, or silently\n"
    "for another \"autosync\". ORVALE_CA_FILE names a PEM file of extra trusted certificate\n"
    "authorities. The screens show a run's outcome and its cause. \"orvale autosync\" exits with 0\n"
    "when every chosen folder completed, else with 10 + the run's result and one line on stderr\n"
    "saying why: 11 authentication or initialisation failed, 12 the run ended by an error, 13 the\n"
    "server was not reached (or the run was cancelled), 14 a folder or the device store failed (also\n"
    "when the changes could not be recorded), 15 nothing to sync (no settings or no chosen folder).\n"
    "Every run writes a plain-text log into Application Data/Orvale/Logs (the last 10 kept;\n"
    "orvale-config set log-runs=N, log-names=off); orvale-dump --log prints the last one. The screens\n"
    "are the module " ORVALE_SCREENS_MODULE " beside the program or in " ORVALE_SCREENS_INSTALLED_DIR "/ from its\n"
    "folder; when it cannot be loaded, the reason is on stderr and the exit code is 1. A device folder\n"
    "that is missing a home or that another user owns or may write: the reason on stderr, exit code 2.\n"
    "A damaged Conf.dat: said on stderr; a background run then exits with 3, the screens run setup.\n";

}  // namespace

int main(int argc, char** argv) {
    // Only the single argument --help or --version is taken here, before the application object
    // exists, so it touches no device state; every other command line reaches it unchanged.
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::cout << kHelp;
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << "orvale " ORVALE_VERSION "\n";
        return 0;
    }
#ifdef M_TRIM_THRESHOLD
    // A run allocates and frees a message's worth of elements and item texts per message; with the
    // allocator's default the heap top went back to the system after each one and was asked for
    // again with the next, a system call pair per message that cost a received item a tenth of its
    // time. A few megabytes kept at the top are nothing against that.
    mallopt(M_TRIM_THRESHOLD, 8 << 20);
    mallopt(M_TOP_PAD, 1 << 20);
#endif
    const std::u16string commandLine = orvale::ClientApp::commandLineOf(argc, argv);
    // Before anything of the device is read: a folder another user may write may hold anything.
    if (const std::string problem = orvale::platform::deviceRootProblem(); !problem.empty()) {
        std::cerr << "orvale: " << problem << std::endl;
        return 2;
    }
    if (orvale::ConfigRecord probe; probe.read() == orvale::ConfigLoad::Damaged) {
        std::cerr << "orvale: " << orvale::kDamagedConfigText << std::endl;
        if (orvale::ClientApp::isAutosyncCommandLine(commandLine)) return 3;
    }
    // A background run shows nothing and loads no screens. Any other start loads them before the
    // application object exists, so that a broken installation fails without having touched another
    // instance's windows.
    orvale::ScreensEntry screens = nullptr;
    if (!orvale::ClientApp::isAutosyncCommandLine(commandLine)) {
        std::string error;
        screens = orvale::loadScreensModule(error);
        if (screens == nullptr) {
            std::cerr << "orvale: " << error << std::endl;
            return 1;
        }
    }
    // The application object comes first: it decides whether this process may run at all.
    orvale::ClientApp app;
    std::unique_ptr<orvale::AppShell> shell;
    orvale::BackgroundShell* background = nullptr;
    if (screens != nullptr) {
        shell.reset(screens(&argc, argv));
    } else {
        background = new orvale::BackgroundShell();
        shell.reset(background);
    }
    app.initInstance(commandLine, *shell);
    return background != nullptr ? background->exitStatus() : 0;
}

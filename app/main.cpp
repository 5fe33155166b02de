// orvale: no argument runs the screens, exactly "autosync" one background run; nothing else.
#include <malloc.h>

#include <cstdlib>
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
    "$XDG_DATA_HOME/orvale, else ~/.local/share/orvale) with a SyncML server. \"autosync\" exactly (case\n"
    "matters) is the background run; any other argument is refused. A background run in progress\n"
    "makes a second start exit: with a notice, or silently for another \"autosync\". ORVALE_CA_FILE\n"
    "names a PEM file of extra trusted certificate authorities. The screens need a display (DISPLAY or\n"
    "WAYLAND_DISPLAY, or QT_QPA_PLATFORM); they are the module " ORVALE_SCREENS_MODULE " beside the\n"
    "program or in " ORVALE_SCREENS_INSTALLED_DIR "/ from its folder. They show a run's outcome and its\n"
    "cause. Every run writes a plain-text log into Application Data/Orvale/Logs (the last 10 kept;\n"
    "orvale-config set log-runs=N, log-names=off); orvale-dump --log prints the last one.\n"
    "\n"
    "exit codes: 0 done (the screens were closed, or every chosen folder of a background run\n"
    "completed); 1 the screens cannot be shown (no display, or their module cannot be loaded; the\n"
    "reason is on stderr); 2 a command line other than the ones above; 3 a background run found\n"
    "Conf.dat damaged (the screens run setup instead); 6 no device folder (no home), or one that\n"
    "another user owns or that group or others may write. A background run that did not complete\n"
    "exits with 10 + its result and one line on stderr saying why: 11 authentication or\n"
    "initialisation failed, 12 the run ended by an error, 13 the server was not reached (or the run\n"
    "was cancelled), 14 a folder or the device store failed (also when the changes could not be\n"
    "recorded), 15 nothing to sync (no settings or no chosen folder).\n";

constexpr int kExitNoScreens = 1;
constexpr int kExitUsage = 2;
constexpr int kExitDamagedSettings = 3;
constexpr int kExitUnsafeDevice = 6;

// Qt aborts the whole process when it finds no display, with a text about reinstalling the
// application; a person who started the program from a console is told what to do instead.
bool displayAvailable() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    const std::u16string commandLine = orvale::ClientApp::commandLineOf(argc, argv);
    using Mode = orvale::ClientApp::CommandLine;
    // Decided before the application object exists, so that a wrong command line touches no
    // device state and no other instance.
    const Mode mode = orvale::ClientApp::classify(commandLine, argc - 1);
    switch (mode) {
        case Mode::Help: std::cout << kHelp; return 0;
        case Mode::Version: std::cout << "orvale " ORVALE_VERSION "\n"; return 0;
        case Mode::Usage:
            std::cerr << "orvale: unknown command line \"" << (argc > 1 ? argv[1] : "") << (argc > 2 ? " ..." : "")
                      << "\"; usage: orvale | orvale autosync | orvale --help | orvale --version\n";
            return kExitUsage;
        case Mode::Screens:
            if (!displayAvailable()) {
                std::cerr << "orvale: no display to show the screens on (DISPLAY and WAYLAND_DISPLAY are unset); "
                             "\"orvale autosync\" syncs without screens\n";
                return kExitNoScreens;
            }
            break;
        case Mode::Autosync: break;
    }
#ifdef M_TRIM_THRESHOLD
    // A run allocates and frees a message's worth of elements and item texts per message; with the
    // allocator's default the heap top went back to the system after each one and was asked for
    // again with the next, a system call pair per message that cost a received item a tenth of its
    // time. A few megabytes kept at the top are nothing against that.
    mallopt(M_TRIM_THRESHOLD, 8 << 20);
    mallopt(M_TOP_PAD, 1 << 20);
#endif
    // Before anything of the device is read: a folder another user may write may hold anything.
    if (const std::string problem = orvale::platform::deviceRootProblem(); !problem.empty()) {
        std::cerr << "orvale: " << problem << std::endl;
        return kExitUnsafeDevice;
    }
    if (orvale::ConfigRecord probe; probe.read() == orvale::ConfigLoad::Damaged) {
        std::cerr << "orvale: " << orvale::kDamagedConfigText << std::endl;
        if (mode == Mode::Autosync) return kExitDamagedSettings;
    }
    // A background run shows nothing and loads no screens. Any other start loads them before the
    // application object exists, so that a broken installation fails without having touched another
    // instance's windows.
    orvale::ScreensEntry screens = nullptr;
    if (mode == Mode::Screens) {
        std::string error;
        screens = orvale::loadScreensModule(error);
        if (screens == nullptr) {
            std::cerr << "orvale: " << error << std::endl;
            return kExitNoScreens;
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

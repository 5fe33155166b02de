#pragma once
// The Launcher's one run: started by the timed-start service, it arms its own next start and starts
// the main program in background mode unless the main program's window is open.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/TimedStartScheduler.h"
#include "platform/SystemTime.h"

namespace orvale::launcher {

inline constexpr std::string_view kAppRunAtTime = "AppRunAtTime";
inline constexpr std::u16string_view kMainWindowTitle = u"Orvale";
inline constexpr std::string_view kAutosyncArgument = "autosync";
inline constexpr int kStartDelayMs = 3000;

// What the run needs from the device; the real one is systemLauncherServices().
class LauncherServices {
  public:
    virtual ~LauncherServices() = default;
    virtual void powerOn() = 0;
    virtual platform::SystemTime localNow() = 0;
    virtual std::u16string ownPath() = 0;
    virtual TimedStartScheduler& scheduler() = 0;
    virtual bool windowExists(std::u16string_view title) = 0;
    virtual void sleepMs(int ms) = 0;
    virtual void startProgram(std::u16string_view path, std::string_view argument) = 0;
};

LauncherServices& systemLauncherServices();

// `arguments` are those after the program name. Always 0.
int runLauncher(const std::vector<std::string>& arguments, LauncherServices& services);

}  // namespace orvale::launcher

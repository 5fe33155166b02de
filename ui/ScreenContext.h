#pragma once
// What the screens need from outside: how runs and server tests meet the server, who arms the
// background start, and the layout the platform asks for. The program passes the real ones; tests
// pass scripted runs and a recording scheduler.
#include <filesystem>

#include "app/RunEnvironment.h"

namespace orvale {
class TimedStartScheduler;
}

namespace orvale::ui {

struct ScreenContext {
    RunEnvironment runs = RunEnvironment::standard();
    // Null: saving the settings arms nothing. The program's shell puts the real one here.
    TimedStartScheduler* scheduler = nullptr;
    // The main program that background sync starts, with its orvale-launcher beside it; empty: the
    // running program.
    std::filesystem::path mainProgram;
    // "SmartPhone": no touch screen; the pages follow the focus instead of tap notifications.
    bool smartPhone = false;
};

}  // namespace orvale::ui

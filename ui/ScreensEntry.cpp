// The entry of the screens module (see app/ScreensModule.h).
#include "app/ScreensModule.h"
#include "ui/QtAppShell.h"

extern "C" __attribute__((visibility("default"))) orvale::AppShell* orvale_screens_shell(int* argc, char** argv) {
    return new orvale::ui::QtAppShell(*argc, argv);
}

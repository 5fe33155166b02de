#pragma once
// The screens are a module of their own, loaded only when the program shows them: a background run
// then maps none of the toolkit's libraries. The module uses the program's single copy of every
// process-wide state (configuration, window registry, instance mutex); it brings only the screens.
#include <filesystem>
#include <string>

#include "app/ClientApp.h"

// The module's one entry: a new shell for the screens, owned by the caller. QApplication keeps
// argc and argv, so both must outlive the shell.
extern "C" orvale::AppShell* orvale_screens_shell(int* argc, char** argv);

namespace orvale {

using ScreensEntry = AppShell* (*)(int* argc, char** argv);

// The module beside the program (a build tree), else in the installation's private library folder
// relative to the program's folder.
std::filesystem::path screensModulePath(const std::filesystem::path& program);

// Loads the module for good (it is never unloaded: the toolkit does not support that) and returns
// its entry; null with `error` naming the file and the loader's reason when it cannot.
ScreensEntry loadScreensModule(std::string& error);

}  // namespace orvale

#include "app/ScreensModule.h"

#include <dlfcn.h>

#include "platform/Process.h"

namespace orvale {

std::filesystem::path screensModulePath(const std::filesystem::path& program) {
    const std::filesystem::path folder = program.parent_path();
    const std::filesystem::path beside = folder / ORVALE_SCREENS_MODULE;
    std::error_code ec;
    if (std::filesystem::exists(beside, ec)) return beside;
    return (folder / ORVALE_SCREENS_INSTALLED_DIR / ORVALE_SCREENS_MODULE).lexically_normal();
}

ScreensEntry loadScreensModule(std::string& error) {
    const std::filesystem::path path = screensModulePath(platform::modulePath());
    // RTLD_NOW: a module that does not match this program fails here, with the symbol named, and
    // not in the middle of a screen.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = dlerror();
        error = "cannot load the screens module " + path.string() + ": " + (why ? why : "unknown error");
        return nullptr;
    }
    dlerror();
    void* entry = dlsym(handle, "orvale_screens_shell");
    if (entry == nullptr) {
        const char* why = dlerror();
        error = "the screens module " + path.string() + " has no entry: " + (why ? why : "unknown error");
        return nullptr;
    }
    return reinterpret_cast<ScreensEntry>(entry);
}

}  // namespace orvale

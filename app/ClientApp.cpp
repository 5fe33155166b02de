#include "app/ClientApp.h"

#include "platform/PlatformType.h"
#include "platform/StringTable.h"
#include "platform/TextConversion.h"
#include "platform/WindowRegistry.h"

namespace orvale {

namespace {
constexpr std::size_t kCaptionCompareChars = 255;

void destroyWindowsCaptioned(std::u16string_view caption) {
    for (const platform::WindowEntry& w : platform::topLevelWindows()) {
        if (std::u16string_view(w.caption).substr(0, kCaptionCompareChars) == caption)
            platform::destroyWindow(w);
    }
}
}  // namespace

ClientApp::ClientApp() {
    int lastError = 0;
    mutex_ = platform::NamedMutex::create(kInstanceMutexName, true, lastError);
    if (lastError != platform::kErrorAlreadyExists) return;
    // A running instance with its main window open is a user's instance: this start replaces it. One
    // without a window is a background run, which must not be disturbed.
    if (platform::findWindow(kMainWindowCaption)) {
        destroyWindowsCaptioned(kMainWindowCaption);
    } else {
        anotherInstance_ = 1;
    }
}

bool ClientApp::initInstance(std::u16string_view commandLine, AppShell& shell) {
    const bool autosync = isAutosyncCommandLine(commandLine);
    if (anotherInstance_ == 1) {
        // A scheduled start never overlaps a running instance, and says nothing about it.
        if (autosync) return false;
        if (auto stale = platform::findWindow(kAutosyncCaption)) platform::destroyWindow(*stale);
        shell.showNotice(kAutosyncCaption, platform::loadString(platform::StringId::SyncingInBackground));
        return false;
    }
    registryKey_ = std::u16string(kRegistryKeyName);
    std::unique_ptr<MainDialog> dialog = shell.createMainDialog(*this);
    mainWindow_ = dialog.get();
    platformType_ = platform::platformType();
    if (autosync) {
        mainWindow_ = nullptr;
        dialog->runBackgroundSync();
    } else {
        dialog->runModal();
    }
    mainWindow_ = nullptr;
    dialog.reset();
    return false;
}

bool ClientApp::preTranslateKeyUp(int virtualKey) {
    if (virtualKey == kEndKey) {
        if (auto main = platform::findWindow(kMainWindowCaption)) platform::sendCloseMessage(*main);
    }
    return false;
}

bool ClientApp::isAutosyncCommandLine(std::u16string_view commandLine) {
    return commandLine == kAutosyncCommandLine;
}

ClientApp::CommandLine ClientApp::classify(std::u16string_view commandLine, int argumentCount) {
    if (argumentCount == 0) return CommandLine::Screens;
    if (argumentCount > 1) return CommandLine::Usage;
    if (isAutosyncCommandLine(commandLine)) return CommandLine::Autosync;
    if (commandLine == u"--help") return CommandLine::Help;
    if (commandLine == u"--version") return CommandLine::Version;
    return CommandLine::Usage;
}

std::u16string ClientApp::commandLineOf(int argc, const char* const* argv) {
    std::u16string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += u' ';
        line += platform::utf8ToUtf16(argv[i]);
    }
    return line;
}

}  // namespace orvale

#pragma once
// The main program's application object: whether this process may run at all (one instance per
// device), in which mode, and the End key.
#include <memory>
#include <string>
#include <string_view>

#include "platform/NamedMutex.h"

namespace orvale {

inline constexpr std::string_view kInstanceMutexName = "Orvale_Mutex";
inline constexpr std::u16string_view kMainWindowCaption = u"Orvale";
inline constexpr std::u16string_view kAutosyncCaption = u"Autosync";
inline constexpr std::u16string_view kAutosyncCommandLine = u"autosync";
inline constexpr std::u16string_view kRegistryKeyName = u"Halverd Windows Mobile";
inline constexpr int kEndKey = 0x73;

class ClientApp;

// The main screen as the application object sees it. The screens live above this library, so the
// program hands them in through AppShell.
class MainDialog {
  public:
    virtual ~MainDialog() = default;
    // Shows the main screen; returns when it has closed.
    virtual void runModal() = 0;
    // The background run, without any screen, on the calling (UI) thread; returns when it is over.
    virtual void runBackgroundSync() = 0;
};

class AppShell {
  public:
    virtual ~AppShell() = default;
    virtual std::unique_ptr<MainDialog> createMainDialog(ClientApp& app) = 0;
    // A message box without owner window, brought to the foreground; returns when dismissed.
    virtual void showNotice(std::u16string_view caption, std::u16string_view text) = 0;
};

class ClientApp {
  public:
    // Takes the instance mutex; when another instance holds it, destroys that instance's main windows
    // or, when it has none (a background run), remembers that another instance is running.
    ClientApp();
    ClientApp(const ClientApp&) = delete;
    ClientApp& operator=(const ClientApp&) = delete;

    // The start-up operation. Always false: the process ends when it returns.
    bool initInstance(std::u16string_view commandLine, AppShell& shell);

    // The message pre-filter's key-up check: the End key sends the close message to the main window.
    // Returns false so that default handling continues.
    bool preTranslateKeyUp(int virtualKey);

    bool anotherInstance() const { return anotherInstance_ != 0; }
    const std::u16string& platformType() const { return platformType_; }
    const std::u16string& registryKey() const { return registryKey_; }
    // The dialog of this run while initInstance runs it; null in background mode, as no screen shows.
    MainDialog* mainWindow() const { return mainWindow_; }

    // Background mode is the whole command line "autosync", compared case-sensitively.
    static bool isAutosyncCommandLine(std::u16string_view commandLine);
    // The program takes no argument (the screens), exactly "autosync", "--help" or "--version";
    // any other command line ("Autosync", "-h", a misspelt option) is a usage error, so that a
    // mistyped background start never opens the screens instead.
    enum class CommandLine { Screens, Autosync, Help, Version, Usage };
    static CommandLine classify(std::u16string_view commandLine, int argumentCount);
    // The command line as the program received it: the arguments after the program name, joined by
    // single spaces.
    static std::u16string commandLineOf(int argc, const char* const* argv);

  private:
    std::unique_ptr<platform::NamedMutex> mutex_;
    std::int32_t anotherInstance_ = 0;
    std::u16string platformType_;
    std::u16string registryKey_;
    MainDialog* mainWindow_ = nullptr;
};

}  // namespace orvale

#include "app/BackgroundShell.h"

#include <iostream>

#include "app/BackgroundSync.h"
#include "app/KeepAwake.h"
#include "platform/TextConversion.h"

namespace orvale {

namespace {

class BackgroundDialog : public MainDialog {
  public:
    explicit BackgroundDialog(int& exitStatus) : exitStatus_(exitStatus) {}
    ~BackgroundDialog() override { stopKeepAwake(keepAwake_); }

    // The program hands this shell only the "autosync" command line, which never opens the main
    // screen.
    void runModal() override {}
    void runBackgroundSync() override { exitStatus_ = orvale::runBackgroundSync(keepAwake_); }

  private:
    int& exitStatus_;
    KeepAwakeSlot keepAwake_;
};

}  // namespace

std::unique_ptr<MainDialog> BackgroundShell::createMainDialog(ClientApp&) {
    return std::make_unique<BackgroundDialog>(exitStatus_);
}

void BackgroundShell::showNotice(std::u16string_view caption, std::u16string_view text) {
    std::cerr << platform::utf16ToUtf8(caption) << ": " << platform::utf16ToUtf8(text) << std::endl;
}

}  // namespace orvale

#pragma once
// The shell of a background run ("orvale autosync"). It shows no screen, so the program does not
// load the screens module, nor the toolkit libraries behind it, for a run that never uses them.
#include "app/ClientApp.h"

namespace orvale {

class BackgroundShell : public AppShell {
  public:
    std::unique_ptr<MainDialog> createMainDialog(ClientApp& app) override;
    // There is no window to put it in: the notice goes to stderr.
    void showNotice(std::u16string_view caption, std::u16string_view text) override;

    // The background run's exit status (BackgroundSync.h); 0 when no run was made.
    int exitStatus() const { return exitStatus_; }

  private:
    int exitStatus_ = 0;
};

}  // namespace orvale

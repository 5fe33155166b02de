#pragma once
// The program's screens as the application object needs them. The Qt application is created only
// when something is shown, so a background run needs no display.
#include <QApplication>
#include <memory>

#include "app/ClientApp.h"
#include "ui/ScreenContext.h"
#include "ui/WindowRequestPump.h"

namespace orvale::ui {

class QtAppShell : public AppShell {
  public:
    // The screens arm the Launcher through the real timed start unless told otherwise.
    QtAppShell(int& argc, char** argv);
    ~QtAppShell() override;

    std::unique_ptr<MainDialog> createMainDialog(ClientApp& app) override;
    // A message box, listed in the window registry under its caption; also written to stderr.
    void showNotice(std::u16string_view caption, std::u16string_view text) override;

    ScreenContext& context() { return context_; }

    // The Qt application (themed) and the request pump, created on first use.
    QApplication& application();
    WindowRequestPump& pump();

  private:
    int& argc_;
    char** argv_;
    std::unique_ptr<QApplication> app_;
    std::unique_ptr<WindowRequestPump> pump_;
    std::unique_ptr<QObject> endKeyFilter_;
    std::unique_ptr<QObject> script_;
    ClientApp* client_ = nullptr;
    ScreenContext context_;
};

}  // namespace orvale::ui

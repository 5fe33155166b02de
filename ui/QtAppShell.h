#pragma once
// The program's screens as the application object needs them. The Qt application is created only
// when something is shown, so a background run needs no display.
#include <QApplication>
#include <memory>

#include "app/ClientApp.h"
#include "ui/WindowRequestPump.h"

namespace orvale::ui {

class QtAppShell : public AppShell {
  public:
    QtAppShell(int& argc, char** argv) : argc_(argc), argv_(argv) {}
    ~QtAppShell() override;

    std::unique_ptr<MainDialog> createMainDialog(ClientApp& app) override;
    // A message box, listed in the window registry under its caption; also written to stderr.
    void showNotice(std::u16string_view caption, std::u16string_view text) override;

    // The Qt application and the request pump, created on first use.
    QApplication& application();
    WindowRequestPump& pump();

  private:
    int& argc_;
    char** argv_;
    std::unique_ptr<QApplication> app_;
    std::unique_ptr<WindowRequestPump> pump_;
    std::unique_ptr<QObject> endKeyFilter_;
    ClientApp* client_ = nullptr;
};

}  // namespace orvale::ui

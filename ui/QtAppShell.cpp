#include "ui/QtAppShell.h"

#include <QMessageBox>
#include <cstdlib>
#include <iostream>

#include "app/BackgroundSync.h"
#include "app/KeepAwake.h"
#include "app/LicenceText.h"
#include "app/TimedStartScheduler.h"
#include "platform/Process.h"
#include "platform/TextConversion.h"
#include "ui/EndKeyFilter.h"
#include "ui/MainScreen.h"
#include "ui/RegisteredWindow.h"
#include "ui/Theme.h"
#include "ui/automation/UiScript.h"

namespace orvale::ui {

namespace {

class QtMainDialog : public MainDialog {
  public:
    QtMainDialog(QtAppShell& shell, ClientApp& app) : shell_(shell), app_(app) {}
    ~QtMainDialog() override { stopKeepAwake(keepAwake_); }

    void runModal() override {
        shell_.application();
        // The device's installer put the licence into the application data folder; here the
        // program keeps it there from the copy installed beside it.
        if (auto source = installedLicenceFile(platform::modulePath()); !source.empty()) placeLicenceText(source);
        shell_.context().smartPhone = app_.platformType() == u"SmartPhone";
        MainScreen screen(shell_.context());
        shell_.pump().watch();
        if (screen.openScreen()) screen.exec();
    }

    void runBackgroundSync() override { orvale::runBackgroundSync(keepAwake_); }

  private:
    QtAppShell& shell_;
    ClientApp& app_;
    KeepAwakeSlot keepAwake_;
};

}  // namespace

QtAppShell::QtAppShell(int& argc, char** argv) : argc_(argc), argv_(argv) {
    context_.scheduler = &standardTimedStartScheduler();
}

QtAppShell::~QtAppShell() {
    if (app_ && endKeyFilter_) app_->removeEventFilter(endKeyFilter_.get());
    script_.reset();
    endKeyFilter_.reset();
    pump_.reset();
    app_.reset();
}

QApplication& QtAppShell::application() {
    if (!app_) {
        app_ = std::make_unique<QApplication>(argc_, argv_);
        theme::apply(*app_);
        if (client_ != nullptr) {
            endKeyFilter_ = std::make_unique<EndKeyFilter>(*client_);
            app_->installEventFilter(endKeyFilter_.get());
        }
        if (const char* script = std::getenv(kUiScriptVariable); script != nullptr && *script != '\0')
            script_ = UiScript::start(script);
    }
    return *app_;
}

WindowRequestPump& QtAppShell::pump() {
    application();
    if (!pump_) pump_ = std::make_unique<WindowRequestPump>();
    return *pump_;
}

std::unique_ptr<MainDialog> QtAppShell::createMainDialog(ClientApp& app) {
    client_ = &app;
    return std::make_unique<QtMainDialog>(*this, app);
}

void QtAppShell::showNotice(std::u16string_view caption, std::u16string_view text) {
    std::cerr << platform::utf16ToUtf8(caption) << ": " << platform::utf16ToUtf8(text) << std::endl;
    application();
    QMessageBox box(QMessageBox::Information, QString::fromStdU16String(std::u16string(caption)),
                    QString::fromStdU16String(std::u16string(text)), QMessageBox::Ok);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    RegisteredWindow registered(box, caption);
    pump().watch();
    box.raise();
    box.activateWindow();
    box.exec();
}

}  // namespace orvale::ui

#include "ui/QtAppShell.h"

#include <QMessageBox>
#include <iostream>

#include "app/BackgroundSync.h"
#include "app/KeepAwake.h"
#include "platform/TextConversion.h"
#include "ui/EndKeyFilter.h"
#include "ui/PlaceholderMainWindow.h"
#include "ui/RegisteredWindow.h"

namespace orvale::ui {

namespace {

class PlaceholderMainDialog : public MainDialog {
  public:
    explicit PlaceholderMainDialog(QtAppShell& shell) : shell_(shell) {}
    ~PlaceholderMainDialog() override { stopKeepAwake(keepAwake_); }

    void runModal() override {
        shell_.application();
        PlaceholderMainWindow window;
        shell_.pump().watch();
        window.exec();
    }

    void runBackgroundSync() override { orvale::runBackgroundSync(keepAwake_); }

  private:
    QtAppShell& shell_;
    KeepAwakeSlot keepAwake_;
};

}  // namespace

QtAppShell::~QtAppShell() {
    if (app_ && endKeyFilter_) app_->removeEventFilter(endKeyFilter_.get());
    endKeyFilter_.reset();
    pump_.reset();
    app_.reset();
}

QApplication& QtAppShell::application() {
    if (!app_) {
        app_ = std::make_unique<QApplication>(argc_, argv_);
        if (client_ != nullptr) {
            endKeyFilter_ = std::make_unique<EndKeyFilter>(*client_);
            app_->installEventFilter(endKeyFilter_.get());
        }
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
    return std::make_unique<PlaceholderMainDialog>(*this);
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

#pragma once
// Lists a dialog in the device's window registry under its caption, so that other processes can
// find it, destroy it or send it the close message.
#include <QDialog>
#include <QPointer>
#include <string_view>

#include "platform/WindowRegistry.h"

namespace orvale::ui {

class RegisteredWindow : public platform::WindowHandler {
  public:
    RegisteredWindow(QDialog& dialog, std::u16string_view caption);
    const platform::WindowRegistration& registration() const { return registration_; }

    void destroyRequested() override;
    void closeRequested() override;

  private:
    QPointer<QDialog> dialog_;
    platform::WindowRegistration registration_;
};

}  // namespace orvale::ui

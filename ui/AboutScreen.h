#pragma once
// Who made the program and which version it is; "View License" shows the licence agreement.
#include "ui/ScreenDialog.h"

namespace orvale::ui {

class AboutScreen : public ScreenDialog {
  public:
    explicit AboutScreen(QWidget* parent = nullptr);
    void viewLicence();

  protected:
    void rightKey() override;
};

}  // namespace orvale::ui

#pragma once
// The main window until the real screens arrive: captioned "Orvale", listed in the window registry,
// and closed or destroyed on request from other processes.
#include <QDialog>
#include <memory>

#include "ui/RegisteredWindow.h"

namespace orvale::ui {

class PlaceholderMainWindow : public QDialog {
  public:
    PlaceholderMainWindow();

  private:
    std::unique_ptr<RegisteredWindow> registered_;
};

}  // namespace orvale::ui

#pragma once
// The summary of the last sync run written with logging on ("Logs.dat"), its first 1024 characters.
#include "ui/TextViewer.h"

namespace orvale::ui {

class LogViewer : public TextViewer {
  public:
    explicit LogViewer(QWidget* parent = nullptr);
};

// The last run's diagnostic log, scrollable; "Summary" opens the Logs.dat viewer. Without any run
// log it says so.
class RunLogViewer : public TextViewer {
  public:
    explicit RunLogViewer(QWidget* parent = nullptr);

  protected:
    void leftKey() override;
};

// The licence agreement in the application data folder.
class LicenceViewer : public TextViewer {
  public:
    explicit LicenceViewer(QWidget* parent = nullptr);
};

}  // namespace orvale::ui

#pragma once
// The message pre-filter: sees every key release of the UI thread and gives the End key to the
// application object.
#include <QObject>

#include "app/ClientApp.h"

namespace orvale::ui {

class EndKeyFilter : public QObject {
  public:
    explicit EndKeyFilter(ClientApp& app) : app_(app) {}
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    ClientApp& app_;
};

}  // namespace orvale::ui

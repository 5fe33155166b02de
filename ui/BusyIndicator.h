#pragma once
// A small turning ring: the screen is alive while something runs behind it.
#include <QBasicTimer>
#include <QWidget>

namespace orvale::ui {

class BusyIndicator : public QWidget {
  public:
    explicit BusyIndicator(QWidget* parent = nullptr);
    void setRunning(bool running);
    bool running() const { return timer_.isActive(); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

  private:
    QBasicTimer timer_;
    int angle_ = 0;
};

}  // namespace orvale::ui

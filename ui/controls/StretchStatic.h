#pragma once
// One of the program's pictures stretched over the whole area.
#include <QPixmap>
#include <QWidget>

namespace orvale::ui {

class StretchStatic : public QWidget {
  public:
    explicit StretchStatic(int imageId, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int imageId_;
    QPixmap cache_;
};

}  // namespace orvale::ui

#pragma once
// A screen that shows one text, read-only and scrolling; Done (or the OK key) closes it.
#include "ui/ScreenDialog.h"

class QPlainTextEdit;

namespace orvale::ui {

class TextViewer : public ScreenDialog {
  public:
    QPlainTextEdit* text() const { return text_; }

  protected:
    TextViewer(const QString& objectName, const QString& title, const QString& text, QWidget* parent);

  private:
    QPlainTextEdit* text_;
};

}  // namespace orvale::ui

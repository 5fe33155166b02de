#pragma once
// What every screen has: a header with its title (and an optional header button), a body on a
// plain panel, and the soft-key bar. One subclass per screen. The left key rejects and the right
// key accepts unless a screen says otherwise; Escape is the device's back key (the left key's
// rejection), Return the OK key (the right key).
#include <QDialog>

class QHBoxLayout;
class QVBoxLayout;

namespace orvale::ui {

class ImageButton;
class SoftKeyBar;
class StaticEx;

class ScreenDialog : public QDialog {
  public:
    ScreenDialog(const QString& objectName, const QString& title, QWidget* parent);

    SoftKeyBar* softKeys() const { return softKeys_; }
    StaticEx* titleLabel() const { return title_; }

  protected:
    QVBoxLayout* body() const { return body_; }
    QWidget* bodyPanel() const { return bodyPanel_; }
    // Puts a button at the right end of the header; the screen connects it.
    ImageButton* addHeaderButton(int image, const QString& name, const QString& accessibleName);
    // A small picture left of the title (the main screen's mark).
    void addHeaderLogo();

    virtual void leftKey();
    virtual void rightKey();

  private:
    QWidget* header_;
    QHBoxLayout* headerLayout_;
    StaticEx* title_;
    QWidget* bodyPanel_;
    QVBoxLayout* body_;
    SoftKeyBar* softKeys_;
};

// A modal information box over `parent`; returns when dismissed.
void showMessage(QWidget* parent, const QString& text);
// The same box without waiting for it: what runs meanwhile (a sync) goes on. It goes when dismissed.
QWidget* showNotice(QWidget* parent, const QString& text);
// A modal question over `parent` with the keys Yes and No; true for Yes.
bool askConfirmation(QWidget* parent, const QString& text);

}  // namespace orvale::ui

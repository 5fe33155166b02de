#pragma once
// Driving the screens in tests and in the screenshot tour: a player for sequences of modal screens,
// key and click helpers, and pictures of what a screen shows.
#include <QElapsedTimer>
#include <QObject>
#include <QPixmap>
#include <QStringList>
#include <functional>
#include <ostream>
#include <vector>

class QWidget;

// Readable QStrings in test failures.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace orvale::test {

// Acts on modal screens as they come up, one step per screen, in order. Each step waits until the
// topmost modal screen has the given object name; its action then runs from the event loop, so an
// action may open the next screen and the script goes on inside that screen's loop.
class ModalScript : public QObject {
  public:
    using Act = std::function<void(QWidget* screen)>;
    ModalScript& then(const QString& screen, Act act);
    // Message boxes are acknowledged with OK and their texts kept.
    ModalScript& thenMessage();
    void start();
    bool done() const { return next_ >= steps_.size(); }
    const QStringList& visited() const { return visited_; }
    const QStringList& messages() const { return messages_; }

  protected:
    void timerEvent(QTimerEvent* event) override;

  private:
    struct Step {
        QString screen;
        Act act;
    };
    static constexpr qint64 kPatienceMs = 10'000;
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    bool pending_ = false;
    int timer_ = 0;
    QElapsedTimer stalled_;
    QStringList visited_;
    QStringList messages_;
};

// The named control of `screen`; fails the test when there is none.
QWidget* child(QWidget* screen, const QString& name);
// A real click (press and release) in the middle of the control.
void click(QWidget* widget);
void clickChild(QWidget* screen, const QString& name);
void typeInto(QWidget* screen, const QString& name, const QString& text);
// The text of a label, button or field.
QString textOf(QWidget* screen, const QString& name);
// Runs the event loop until `condition` holds or `ms` pass.
bool waitFor(const std::function<bool()>& condition, int ms = 5000);

// What the screen shows; with an overlay (a message box, a menu) drawn over it, the screen dimmed.
QPixmap picture(QWidget* screen, QWidget* overlay = nullptr);
// Saves a picture under `folder` as NAME.png; the folder is created when missing.
bool savePicture(const QPixmap& picture, const QString& folder, const QString& name);
// Tests keep pictures of the states they reach in the build folder ($ORVALE_SCREENSHOTS, else
// <build>/screenshots/tests).
void keepPicture(QWidget* screen, const QString& name, QWidget* overlay = nullptr);

}  // namespace orvale::test

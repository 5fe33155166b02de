#pragma once
// A key-and-click script played into the program's own screens, for end-to-end tests of the real
// program. It is off unless $ORVALE_UI_SCRIPT names a script file. It can do only what a person
// at the keyboard can do: focus a field, type, press keys, click, wait until a screen or a text
// appears, and print what the screens show. One command per line ('#' starts a comment):
//   wait SCREEN            until the screen (object name) is the topmost one
//   waittext NAME TEXT     until the named control on the topmost screen shows TEXT exactly
//   focus NAME | click NAME | type TEXT | key KEYS (e.g. Return, F2, Ctrl+A) | sleep MS
//   timeout SECONDS        for the waits that follow (default 60)
//   dump                   prints "screen=SCREEN" and NAME=TEXT for every named control shown
// A wait that times out prints what is shown to stderr and ends the process with status 3.
#include <QObject>
#include <QStringList>
#include <memory>

class QWidget;

namespace orvale::ui {

inline constexpr const char* kUiScriptVariable = "ORVALE_UI_SCRIPT";

class UiScript : public QObject {
  public:
    // Reads the file and starts playing once the event loop runs; an unreadable file ends the
    // process with status 3.
    static std::unique_ptr<QObject> start(const char* path);

    // Every named control the screen shows, as NAME=TEXT lines (a password as stars).
    static QStringList describe(QWidget* screen);

  protected:
    void timerEvent(QTimerEvent* event) override;

  private:
    explicit UiScript(QStringList lines);
    bool ready(const QString& command, const QString& argument);
    void execute(const QString& command, const QString& argument);
    [[noreturn]] void fail(const QString& why);

    QStringList lines_;
    int next_ = 0;
    int timer_ = 0;
    qint64 waitSince_ = -1;
    qint64 timeoutMs_ = 60'000;
    qint64 sleepUntil_ = 0;
    bool pending_ = false;
};

}  // namespace orvale::ui

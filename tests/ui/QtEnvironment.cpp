// One Qt application for the whole test program, on the offscreen platform, themed as the program is.
// Qt's complaints about objects used from the wrong thread fail the test that caused them: the
// screens must only ever be touched on the UI thread.
#include <gtest/gtest.h>

#include <QApplication>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "ui/Theme.h"

namespace {

void failOnThreadMisuse(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg) return;
    if (message.contains(QLatin1String("thread"), Qt::CaseInsensitive)) ADD_FAILURE() << "Qt: " << message.toStdString();
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

class QtEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        qInstallMessageHandler(failOnThreadMisuse);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        app_ = std::make_unique<QApplication>(argc_, argv_);
        orvale::ui::theme::apply(*app_);
    }
    void TearDown() override { app_.reset(); }

  private:
    int argc_ = 1;
    char name_[9] = "ui_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

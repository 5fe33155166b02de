// One Qt application for the whole test program, on the offscreen platform, themed as the program is.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <memory>

#include "ui/Theme.h"

namespace {

class QtEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
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

// The label, panel and HTML tests need an application object for widgets and a started drawing
// layer.
#include "gdiplus_lifetime.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

class WidgetEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        GdiplusStartupInput input;
        ASSERT_EQ(GdiplusStartup(&token, &input, nullptr), GpStatus::Ok);
        app = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override {
        app.reset();
        GdiplusShutdown(token);
    }

private:
    int argc = 1;
    char name[20] = "smooth_widget_tests";
    char *argv[2] = {name, nullptr};
    std::unique_ptr<QApplication> app;
    std::uintptr_t token = 0;
};

[[maybe_unused]] const auto *const environment =
    ::testing::AddGlobalTestEnvironment(new WidgetEnvironment);

} // namespace

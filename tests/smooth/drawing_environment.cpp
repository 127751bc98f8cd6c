// Every drawing test needs an application object (fonts) and a started drawing layer; the label,
// panel and HTML tests (built with ZORVANE_WIDGET_TESTS) need one for widgets.
#include "gdiplus_lifetime.h"

#ifdef ZORVANE_WIDGET_TESTS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

#include <gtest/gtest.h>

#include <memory>

namespace {

class DrawingLayerEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        GdiplusStartupInput input;
        ASSERT_EQ(GdiplusStartup(&token, &input, nullptr), GpStatus::Ok);
        app = std::make_unique<TestApplication>(argc, argv);
    }
    void TearDown() override {
        app.reset();
        GdiplusShutdown(token);
    }

private:
    int argc = 1;
    char name[16] = "smooth_tests";
    char *argv[2] = {name, nullptr};
    std::unique_ptr<TestApplication> app;
    std::uintptr_t token = 0;
};

[[maybe_unused]] const auto *const environment =
    ::testing::AddGlobalTestEnvironment(new DrawingLayerEnvironment);

} // namespace

// Every drawing test needs an application object (fonts) and a started drawing layer.
#include "gdiplus_lifetime.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

class DrawingLayerEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        GdiplusStartupInput input;
        ASSERT_EQ(GdiplusStartup(&token, &input, nullptr), GpStatus::Ok);
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    void TearDown() override {
        app.reset();
        GdiplusShutdown(token);
    }

private:
    int argc = 1;
    char name[16] = "smooth_tests";
    char *argv[2] = {name, nullptr};
    std::unique_ptr<QGuiApplication> app;
    std::uintptr_t token = 0;
};

[[maybe_unused]] const auto *const environment =
    ::testing::AddGlobalTestEnvironment(new DrawingLayerEnvironment);

} // namespace

// The updater's entry point: the drawing layer, the application, its title, the window and the
// message loop.
#include "Unit1.h"
#include "application_start.h"
#include "font_configuration_preload.h"

#include "gdiplus_lifetime.h"

#include <QApplication>

#include <cstdint>

int main(int argc, char *argv[]) {
    // The drawing layer starts before any window exists and stops after the last one is gone.
    std::uintptr_t drawingToken = 0;
    GdiplusStartupInput drawingInput;
    GdiplusStartup(&drawingToken, &drawingInput, nullptr);
    int result = 0;
    {
        FontConfigurationPreload fontConfiguration; // while the application object is built
        QApplication application(argc, argv);
        fontConfiguration.Wait();
        NameUpdaterApplication();

        TForm1 form;
        Form1 = &form;
        ShowUpdaterWindow(form);
        result = QApplication::exec();
        Form1 = nullptr;
    }
    GdiplusShutdown(drawingToken);
    return result;
}

// The updater's entry point: the drawing layer, the application, its title, the window and the
// message loop.
#include "Unit1.h"
#include "window_texts.h"

#include "gdiplus_lifetime.h"

#include <QApplication>
#include <QIcon>

#include <cstdint>

int main(int argc, char *argv[]) {
    // The drawing layer starts before any window exists and stops after the last one is gone.
    std::uintptr_t drawingToken = 0;
    GdiplusStartupInput drawingInput;
    GdiplusStartup(&drawingToken, &drawingInput, nullptr);
    int result = 0;
    {
        QApplication application(argc, argv);
        // Every top-level Qt window has its own task-bar button; the main window is the one
        // shown.
        QApplication::setApplicationDisplayName(QString());
        QApplication::setApplicationName(WindowText::ApplicationTitle());
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/zorvane/zorvane-updater.ico")));

        TForm1 form;
        Form1 = &form;
        form.show();
        result = QApplication::exec();
        Form1 = nullptr;
    }
    GdiplusShutdown(drawingToken);
    return result;
}

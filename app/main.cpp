// The updater's entry point: the elevated copy's install when asked for; otherwise the drawing
// layer, the application, its title, the window and the message loop, then the updater's own
// update, finished without a window.
#include "Unit1.h"
#include "application_start.h"
#include "elevated_copy.h"
#include "font_configuration_preload.h"

#include "gdiplus_lifetime.h"
#include "own_program.h"
#include "self_update_thread.h"

#include <QApplication>

#include <chrono>
#include <cstdint>

namespace {

/// How long the process outlives its window for the updater's own update: what has not arrived
/// by then is kept for the next press.
constexpr std::chrono::minutes kSelfUpdateGrace{3};

} // namespace

int main(int argc, char *argv[]) {
    // The elevated copy a press started for a folder the player cannot write: it installs and
    // ends, with no window and no application object.
    if (const auto status = RunElevatedCopyIfAsked(argc, argv))
        return *status;
    // The drawing layer starts before any window exists and stops after the last one is gone.
    std::uintptr_t drawingToken = 0;
    GdiplusStartupInput drawingInput;
    GdiplusStartup(&drawingToken, &drawingInput, nullptr);
    int result = 0;
    // Started by a successful press; it lives on after the window and the application.
    TSelfUpdateThread selfUpdate;
    {
        // The font configuration, and what the window's missing faces fall back to, are read
        // while the application object is built.
        FontConfigurationPreload fontConfiguration(TForm1::PrepareFaces);
        QApplication application(argc, argv);
        fontConfiguration.Wait();
        NameUpdaterApplication();

        UpdaterServices services = UpdaterServices::System();
        services.SelfUpdate = &selfUpdate;
        // The file an earlier run replaced while it ran is no longer in use.
        platform::RemoveReplacedProgram(services.OwnProgram);
        TForm1 form(std::move(services));
        Form1 = &form;
        ShowUpdaterWindow(form);
        result = QApplication::exec();
        fontConfiguration.Join();
        Form1 = nullptr;
    }
    // The window is gone; the player waits for nothing more.
    selfUpdate.Finish(kSelfUpdateGrace);
    GdiplusShutdown(drawingToken);
    return result;
}

#pragma once

#include "gdiplus_types.h"

#include <QStringList>

#include <cstdint>

/// What the program asks of the drawing layer at start-up.
struct GdiplusStartupInput {
    std::uint32_t GdiplusVersion = 1;
    void *DebugEventCallback = nullptr;
    bool SuppressBackgroundThread = true;
    bool SuppressExternalCodecs = false;
};

/// What the drawing layer hands back at start-up; nothing here needs a background thread, so
/// both hooks stay empty.
struct GdiplusStartupOutput {
    void *NotificationHook = nullptr;
    void *NotificationUnhook = nullptr;
};

/// Starts the drawing layer once for the program and stores a token for GdiplusShutdown.
///
/// Needs no application object, so it may run first in main. It fills the gamma tables and
/// turns on the cache of installed font families (filled at the first lookup, which needs the
/// application object). Wrappers also work without it, only slower. Version other than 1
/// gives UnsupportedGdiplusVersion; a missing token or input gives InvalidParameter.
GpStatus GdiplusStartup(std::uintptr_t *token, const GdiplusStartupInput *input,
                        GdiplusStartupOutput *output);

/// Ends what GdiplusStartup began for this token: the font-family cache is dropped. A token
/// that is not the live one is ignored.
void GdiplusShutdown(std::uintptr_t token);

/// True between a successful GdiplusStartup and its GdiplusShutdown.
bool GdiplusStarted();

/// The installed font families; cached while the layer is started, read afresh from the font
/// database otherwise. Main thread only, after the application object exists.
const QStringList &InstalledFontFamilies();

#pragma once

#include <QWidget>

#include <functional>

/// Names the application: no display name (every top-level window has its own task-bar button
/// and the main window is the one shown) and the application title. Main thread, after the
/// application object exists.
void NameUpdaterApplication();

/// Shows the updater's main window; once the first frame is on screen, gives the application its
/// icon and prepares the message boxes: decoding the icon's twelve pictures (and loading the
/// image plugin that reads them) and a box's icon and fonts are work the first frame does not
/// need. Main thread.
void ShowUpdaterWindow(QWidget &window);

/// Runs `work` on the main thread after `window` has painted for the first time, on the turn
/// of the event loop after the one that painted it. Nothing runs if the window goes first.
void RunAfterFirstFrame(QWidget &window, std::function<void()> work);

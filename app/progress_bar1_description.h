#pragma once

#include "TsuiProgressBar.h"

/// Gives a skinned progress bar the main window's ProgressBar1 values, in the order a stored
/// window description sets them: place and size, then WinXP, caption settings, range 0 to 100 at
/// 0, horizontal, the frame and white track colours, and last the window's own copy of the WinXP
/// picture.
///
/// The explicit frame, track and picture hold because nothing re-applies the style after them.
void ApplyProgressBar1Description(TsuiProgressBar &bar);

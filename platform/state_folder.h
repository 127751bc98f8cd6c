#pragma once

#include <filesystem>

namespace platform {

/// The updater's own folder for what it must remember between runs (the release floor, the
/// support log): `%LOCALAPPDATA%\Zorvane` on Windows, `${XDG_STATE_HOME:-~/.local/state}/zorvane`
/// elsewhere (XDG_STATE_HOME only when it is an absolute path). Not created here; empty when
/// the system names no such place.
std::filesystem::path UpdaterStateFolder();

} // namespace platform

#pragma once

#include <filesystem>
#include <system_error>

namespace platform {

/// The file this process was started from, by its real path (Linux: /proc/self/exe, links
/// resolved; Windows: GetModuleFileNameW), whatever the player named it. Empty when the system
/// does not say.
std::filesystem::path OwnProgramPath();

/// "<program>.old": where a program replaced while it ran stays until the next start.
std::filesystem::path ReplacedProgramPath(const std::filesystem::path &program);

/// Puts `newProgram` (complete, in the same folder) in the place of `program`, which may be
/// running: `program` is renamed to "<program>.old" (replacing what was there), then `newProgram`
/// takes its name with its permission bits. Renaming a running executable is allowed on
/// Windows, overwriting it is not; POSIX allows both. When the second rename fails the first is
/// undone. False, with `error` set, when `program` is not replaced: it is then as it was and
/// `newProgram` is where it was.
bool SwapInNewProgram(const std::filesystem::path &newProgram, const std::filesystem::path &program,
                      std::error_code &error);

/// Removes "<program>.old" when it is a plain file of this user (never a link, a folder or a
/// file with another name elsewhere). Windows refuses while the replaced program still runs;
/// the next start tries again. Never throws.
void RemoveReplacedProgram(const std::filesystem::path &program);

} // namespace platform

#pragma once

#include "process_seam.h"

#include <functional>
#include <string>
#include <string_view>

namespace platform {

/// Longest executable name a snapshot entry carries, in UTF-16 code units.
inline constexpr std::size_t kMaxExeNameLength = 260;

/// True when a snapshot's executable name matches `exeName`: its file-name part (after the last
/// "\", on POSIX also "/", or after a leading drive prefix such as "C:") or the whole name,
/// compared with only the ASCII letters upper-cased. An empty `exeName` matches nothing.
bool ExeNameMatches(std::u16string_view entryName, std::u16string_view exeName);

/// Told of each process `TerminateProcessByName` tried to end, and whether it was ended.
using TerminationReport = std::function<void(const ProcessEntry &process, bool ended)>;

/// Ends every running process whose executable is named `exeName`, each only if it still runs
/// under the name the snapshot gave when the seam opens it. Returns the success of the
/// last termination attempted, false when nothing matched. `report` (when set) hears of each
/// attempt; what it throws ends the walk. Does not wait for the processes to end and does not
/// spare the calling process. Never throws.
bool TerminateProcessByName(ProcessSeam &processes, const std::u16string &exeName,
                            const TerminationReport &report = {});

} // namespace platform

#pragma once

#include "update_download.h"
#include "update_log.h"

#include <filesystem>
#include <functional>

/// Puts the complete new client in `temporary` (beside `target`) in the place of `target`, with
/// the old client's permissions, after `beforeReplace` has ended the running client. `Replaced`
/// or `ReplaceFailed` (then `temporary` is where it was); `log` hears which, and why.
TUpdateOutcome InstallNewClient(const std::filesystem::path &temporary,
                                const std::filesystem::path &target,
                                const std::function<void()> &beforeReplace, const TUpdateLog &log);

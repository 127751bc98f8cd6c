#pragma once

#include <functional>
#include <optional>
#include <stop_token>

namespace platform {

/// Runs `work` on a thread of its own and waits for its answer, or until `stop` is requested:
/// then returns nothing at once and leaves the work to finish unobserved.
///
/// For blocking system calls that offer no way to cancel them (a forced connection, a name
/// look-up): the caller is free to go, and the call's thread ends by itself when the system call
/// returns. `work` must therefore own everything it touches (copy its arguments in). Without a
/// stop source (`stop.stop_possible()` false) `work` runs on the caller's thread. An exception
/// from `work` reads as false.
std::optional<bool> CallAbandonably(std::function<bool()> work, std::stop_token stop);

} // namespace platform

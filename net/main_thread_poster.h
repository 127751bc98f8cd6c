#pragma once

#include <functional>

namespace net {

/// Runs `call` later on the main Qt thread (a queued call to the application object); runs it at
/// once on the calling thread when no Qt application exists. Never waits for it.
void PostToQtMainThread(std::function<void()> call);

} // namespace net

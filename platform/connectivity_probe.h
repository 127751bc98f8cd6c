#pragma once

#include "internet_seam.h"

#include <array>
#include <string>

namespace platform {

/// The three addresses tried, in order, when the system reports itself offline.
using ConnectionTestTable = std::array<std::u16string, 3>;

/// Decides whether the internet can be reached: the system's connected state first, then (when
/// offline mode is set or no connection is reported) the connected-state option, then at most
/// three forced connections to `testUrls` in table order. Never throws.
bool IsInternetConnected(InternetSeam &internet, const ConnectionTestTable &testUrls);

} // namespace platform

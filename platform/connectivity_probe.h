#pragma once

#include "internet_seam.h"

#include <array>
#include <stop_token>
#include <string>

namespace platform {

/// The three addresses tried, in order, when the system reports itself offline.
using ConnectionTestTable = std::array<std::u16string, 3>;

/// Decides whether the internet can be reached: the system's connected state first, then (when
/// offline mode is set or no connection is reported) the connected-state option, then at most
/// three forced connections to `testUrls` in table order. A requested `stop` ends it early with
/// false, also during a forced connection. Never throws.
bool IsInternetConnected(InternetSeam &internet, const ConnectionTestTable &testUrls,
                         std::stop_token stop = {});

/// Whether one given server can be reached: a forced connection to `url`, whatever the system
/// says of its connection. For an updater pointed at a server of its own (a local or staging
/// publisher), which needs no internet. A requested `stop` gives false at once. Never throws.
bool IsServerReachable(InternetSeam &internet, const std::u16string &url,
                       std::stop_token stop = {});

} // namespace platform

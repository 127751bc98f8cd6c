#pragma once

#include <cstdint>
#include <stop_token>
#include <string>

namespace platform {

/// Offline-mode bit of the connection flags.
inline constexpr std::uint32_t kConnectionOffline = 0x20;
/// "Connected" bit of the connected-state option.
inline constexpr std::uint32_t kConnectedStateConnected = 0x1;

/// The operating system's view of the internet connection.
class InternetSeam {
public:
    virtual ~InternetSeam() = default;

    /// True when the system has a connection; fills the connection flags.
    virtual bool GetConnectedState(std::uint32_t &flags) = 0;
    /// Reads the connected-state option into `state`; false when the query fails.
    virtual bool QueryConnectedState(std::uint32_t &state) = 0;
    /// Forces a connection to the address's host; true when one could be made. Returns false
    /// promptly once `stop` is requested, even while the system is still trying.
    virtual bool CheckConnection(const std::u16string &url, std::stop_token stop) = 0;
};

/// The real implementation for this operating system (WinInet on Windows, routes and TCP on
/// POSIX). Stateless and safe to use from any thread.
InternetSeam &SystemInternet();

} // namespace platform

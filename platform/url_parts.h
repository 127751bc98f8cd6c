#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

/// The parts of a web address that a connection needs.
struct UrlParts {
    std::string Scheme; ///< lower case, "http" when the address names none
    std::string Host;   ///< without brackets for an IPv6 literal
    std::uint16_t Port = 0;
};

/// Splits "scheme://host[:port][/path]" (an IPv6 host in brackets); nothing when the address
/// has no host, a bad port or an unknown scheme without a port.
std::optional<UrlParts> ParseUrl(const std::u16string &url);

} // namespace platform

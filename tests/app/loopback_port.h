#pragma once

#include <cstdint>

namespace testsupport {

/// An unused loopback port, as the kernel hands out for port 0.
std::uint16_t FreeLoopbackPort();
/// True when something accepts TCP connections on 127.0.0.1:`port`.
bool LoopbackAccepts(std::uint16_t port);

} // namespace testsupport

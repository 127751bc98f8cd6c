#pragma once

namespace verify {

/// Initialises libsodium once per process (thread-safe). Throws `std::runtime_error` when the
/// library cannot start (no source of randomness), which leaves nothing verifiable.
void EnsureSodium();

} // namespace verify

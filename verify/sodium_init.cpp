// libsodium's one-time set-up, shared by the parser and the checks.
#include "sodium_init.h"

#include <sodium.h>

#include <mutex>
#include <stdexcept>

namespace verify {

void EnsureSodium() {
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] { ready = sodium_init() >= 0; });
    if (!ready)
        throw std::runtime_error("libsodium could not be initialised");
}

} // namespace verify

#pragma once

// Clients for tests: bytes that do not compress away, and new releases of them.
#include <cstddef>
#include <random>
#include <string>

namespace harness {

/// `size` pseudo-random bytes from `seed`: a client that compresses as little as real code.
inline std::string RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char &byte : bytes)
        byte = static_cast<char>(random() & 0xFF);
    return bytes;
}

/// `old` with a few places changed: three stretches of `stretch` bytes overwritten and one
/// inserted, so everything after the insertion moves, as in a rebuilt program.
inline std::string ChangedInPlaces(std::string old, std::size_t stretch, unsigned seed) {
    for (const double at : {0.2, 0.5, 0.8})
        old.replace(static_cast<std::size_t>(double(old.size()) * at), stretch,
                    RandomBytes(stretch, seed++));
    old.insert(old.size() / 3, RandomBytes(stretch / 2, seed));
    return old;
}

} // namespace harness

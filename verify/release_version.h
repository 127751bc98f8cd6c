#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <optional>
#include <string_view>

namespace verify {

/// A program's version "X.Y.Z": three numbers, ordered number by number (1.10.0 is above 1.9.9).
struct ReleaseVersion {
    std::array<std::uint32_t, 3> Numbers{};

    friend auto operator<=>(const ReleaseVersion &, const ReleaseVersion &) = default;
};

/// Reads "X.Y.Z": exactly three non-empty runs of ASCII digits (at most nine each) joined by
/// dots, nothing before, between or after them. Nothing for anything else ("1.2", "1.2.3.4",
/// "v1.2.3", "1.2.3 ", "+1.2.3").
std::optional<ReleaseVersion> ParseReleaseVersion(std::string_view text);

} // namespace verify

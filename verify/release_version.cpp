// Program versions as a signature's trusted comment gives them ("version:X.Y.Z").
#include "release_version.h"

namespace verify {

std::optional<ReleaseVersion> ParseReleaseVersion(std::string_view text) {
    // Nine digits always fit in 32 bits, and no real version needs more.
    constexpr std::size_t kMaxDigits = 9;
    ReleaseVersion version;
    for (std::size_t index = 0; index < version.Numbers.size(); ++index) {
        const std::size_t end = text.find_first_not_of("0123456789");
        const std::size_t digits = end == text.npos ? text.size() : end;
        if (digits == 0 || digits > kMaxDigits)
            return std::nullopt;
        std::uint32_t number = 0;
        for (const char c : text.substr(0, digits))
            number = number * 10 + static_cast<std::uint32_t>(c - '0');
        version.Numbers[index] = number;
        text.remove_prefix(digits);
        const bool last = index + 1 == version.Numbers.size();
        if (last != text.empty() || (!last && text.front() != '.'))
            return std::nullopt;
        if (!last)
            text.remove_prefix(1);
    }
    return version;
}

} // namespace verify

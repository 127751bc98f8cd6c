#pragma once

#include <string_view>

namespace verify {

/// The publisher's minisign public key text this program was built with (the CMake cache
/// variable ZORVANE_PUBLISHER_KEY), or an empty text when it was built without one.
std::string_view BuiltInPublisherKey();

} // namespace verify

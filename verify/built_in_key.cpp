// The build-time key, alone in its file so that changing it rebuilds one object.
#include "built_in_key.h"

namespace verify {

std::string_view BuiltInPublisherKey() { return ZORVANE_PUBLISHER_KEY; }

} // namespace verify

#include "../state_folder.h"

#include <cstdlib>

#include <pwd.h>
#include <unistd.h>

namespace platform {

std::filesystem::path UpdaterStateFolder() {
    if (const char *state = std::getenv("XDG_STATE_HOME");
        state && std::filesystem::path(state).is_absolute())
        return std::filesystem::path(state) / "zorvane";
    const char *home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd *user = ::getpwuid(::geteuid());
        home = user ? user->pw_dir : nullptr;
    }
    if (!home || !std::filesystem::path(home).is_absolute())
        return {};
    return std::filesystem::path(home) / ".local" / "state" / "zorvane";
}

} // namespace platform

// Elevation on POSIX: none. A folder the player cannot write stays the player's business there;
// the update ends in its usual warning.
#include "../elevation_seam.h"

#include <cerrno>

namespace platform {

namespace {

class PosixElevation final : public ElevationSeam {
public:
    bool Available() override { return false; }
    ElevatedRun RunElevated(const std::filesystem::path &, const std::u16string &,
                            const std::filesystem::path &, std::uintptr_t,
                            std::stop_token) override {
        ElevatedRun run;
        run.SystemError = ENOTSUP;
        return run;
    }
};

} // namespace

ElevationSeam &SystemElevation() {
    static PosixElevation elevation;
    return elevation;
}

} // namespace platform

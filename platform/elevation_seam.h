#pragma once

#include <cstdint>
#include <filesystem>
#include <stop_token>
#include <string>

namespace platform {

/// How a program started with administrator rights came out, as far as its starter can tell.
struct ElevatedRun {
    enum class TEnd {
        Exited,     ///< it ran and ended with `ExitCode`
        NotStarted, ///< the player declined, or the system could not start it (`SystemError`)
        Abandoned,  ///< the wait was stopped while it ran; it goes on alone
    };
    TEnd End = TEnd::NotStarted;
    int ExitCode = 0;
    /// Why it did not start: the system's error code (Windows: ERROR_CANCELLED when declined).
    std::uint32_t SystemError = 0;
};

/// Running a program with administrator rights for one step the player's own rights do not
/// allow, and waiting for its exit status.
class ElevationSeam {
public:
    virtual ~ElevationSeam() = default;

    /// Whether this system can start a program elevated at all.
    virtual bool Available() = 0;
    /// Starts `program` elevated with the one argument `argument` in `folder` (its working
    /// folder), asking the player's consent over the window `owner` (0 for none), and waits for
    /// it to end. Blocks: call it off the main thread. `stop` ends the wait, never the program.
    virtual ElevatedRun RunElevated(const std::filesystem::path &program,
                                    const std::u16string &argument,
                                    const std::filesystem::path &folder, std::uintptr_t owner,
                                    std::stop_token stop) = 0;
};

/// The real implementation for this operating system. Windows: ShellExecuteExW with "runas".
/// POSIX: not available (nothing is started). Safe to use from any thread.
ElevationSeam &SystemElevation();

} // namespace platform

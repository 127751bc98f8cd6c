// The updater's own file: replacing it while it runs, and removing what the replace left.
#include "own_program.h"

#include "file_replace.h"
#include "own_files.h"

#include <chrono>

namespace platform {

std::filesystem::path ReplacedProgramPath(const std::filesystem::path &program) {
    std::filesystem::path old = program;
    old += ".old";
    return old;
}

bool SwapInNewProgram(const std::filesystem::path &newProgram, const std::filesystem::path &program,
                      std::error_code &error) {
    // Downloads are written readable by their owner only: the new program takes the running
    // one's permission bits (never a set-id bit).
    const auto permissions = std::filesystem::status(program, error).permissions();
    if (error)
        return false;
    std::filesystem::permissions(newProgram, permissions & std::filesystem::perms::all,
                                 std::filesystem::perm_options::replace, error);
    if (error)
        return false;
    // Nothing waits to let go of these files: no retries.
    constexpr std::chrono::milliseconds kNoRetry{0};
    const std::filesystem::path old = ReplacedProgramPath(program);
    if (!ReplaceFileAtomically(program, old, error, kNoRetry))
        return false;
    if (ReplaceFileAtomically(newProgram, program, error, kNoRetry))
        return true;
    std::error_code restoreError;
    ReplaceFileAtomically(old, program, restoreError, kReplaceRetryPeriod);
    return false;
}

void RemoveReplacedProgram(const std::filesystem::path &program) {
    if (program.empty())
        return;
    const std::filesystem::path old = ReplacedProgramPath(program);
    std::error_code ignored;
    // Removing a name never follows a link; the check keeps anything but our own file.
    if (IsOwnPlainFile(old))
        std::filesystem::remove(old, ignored);
}

} // namespace platform

// The last step of an update: the new client takes the old one's place.
#include "client_install.h"

#include "file_replace.h"
#include "own_files.h"

#include <system_error>

TUpdateOutcome InstallNewClient(const std::filesystem::path &temporary,
                                const std::filesystem::path &target,
                                const std::function<void()> &beforeReplace, const TUpdateLog &log) {
    // The file was written readable by its owner only; it takes the old client's permissions.
    if (const auto permissions = platform::ClientPermissions(target)) {
        std::error_code error;
        std::filesystem::permissions(temporary, *permissions,
                                     std::filesystem::perm_options::replace, error);
        if (error) {
            LogLine(log, "install failed: the new client's permissions: " + ErrorCodeText(error));
            return TUpdateOutcome::ReplaceFailed;
        }
    }
    if (beforeReplace)
        beforeReplace();
    std::error_code error;
    const bool replaced = platform::ReplaceFileAtomically(temporary, target, error);
    LogLine(log, replaced ? "installed the new client"
                          : "install failed: replacing the client: " + ErrorCodeText(error));
    return replaced ? TUpdateOutcome::Replaced : TUpdateOutcome::ReplaceFailed;
}

#include "file_replace.h"

#include <atomic>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace platform {

namespace {

unsigned long CurrentProcessId() {
#ifdef _WIN32
    return ::GetCurrentProcessId();
#else
    return static_cast<unsigned long>(::getpid());
#endif
}

} // namespace

std::filesystem::path TemporaryPathBeside(const std::filesystem::path &target) {
    static std::atomic<unsigned> counter{0};
    std::filesystem::path temporary = target;
    // Appended piece by piece: GCC 12 at -O3 reports a false -Wrestrict on `"." + std::string`.
    std::string suffix = ".";
    suffix += std::to_string(CurrentProcessId());
    suffix += '-';
    suffix += std::to_string(++counter);
    suffix += ".part";
    temporary += suffix;
    return temporary;
}

} // namespace platform

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
    // Appended piece by piece: GCC 12 at -O3 warns wrongly about overlapping copies (-Wrestrict)
    // in a chain of std::string additions.
    std::string suffix(".");
    suffix.append(std::to_string(CurrentProcessId()));
    suffix.push_back('-');
    suffix.append(std::to_string(++counter));
    suffix.append(".part");
    std::filesystem::path temporary = target;
    temporary += suffix;
    return temporary;
}

} // namespace platform

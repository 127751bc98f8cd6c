// The running program's file on Linux: the link the kernel keeps to it.
#include "../own_program.h"

namespace platform {

std::filesystem::path OwnProgramPath() {
    std::error_code error;
    std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    // A program whose file was removed or replaced while it ran reads "<path> (deleted)".
    if (error || !path.is_absolute() || !std::filesystem::is_regular_file(path, error))
        return {};
    return path;
}

} // namespace platform

#pragma once

#include <cstdint>
#include <string>

namespace platform {

/// The desktop shell: opens a web address in the browser or starts a program.
class ShellSeam {
public:
    virtual ~ShellSeam() = default;

    /// Opens `target` the way the shell's "open" verb would: a web address in the browser, a
    /// file by starting it. Returns at once; true when the shell accepted the request. `owner`
    /// is the native handle of the window the request comes from (0 for none); on Windows the
    /// shell places its own messages over it.
    virtual bool Open(const std::u16string &target, std::uintptr_t owner = 0) = 0;
};

/// The real implementation for this operating system. Safe to use from any thread.
ShellSeam &SystemShell();

} // namespace platform

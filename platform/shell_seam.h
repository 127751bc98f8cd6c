#pragma once

#include <string>

namespace platform {

/// The desktop shell: opens a web address in the browser or starts a program.
class ShellSeam {
public:
    virtual ~ShellSeam() = default;

    /// Opens `target` the way the shell's "open" verb would: a web address in the browser, a
    /// file by starting it. Returns at once; true when the shell accepted the request.
    virtual bool Open(const std::u16string &target) = 0;
};

/// The real implementation for this operating system. Safe to use from any thread.
ShellSeam &SystemShell();

} // namespace platform

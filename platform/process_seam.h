#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

/// One running process as a snapshot reports it.
struct ProcessEntry {
    std::uint32_t ProcessId = 0;
    /// The executable's name as the operating system reports it (UTF-16).
    std::u16string ExeFile;
};

/// The operating system's process list and process ending.
class ProcessSeam {
public:
    virtual ~ProcessSeam() = default;

    /// All running processes, in the operating system's order; nothing when no snapshot can be
    /// taken. A process may appear under more than one name.
    virtual std::optional<std::vector<ProcessEntry>> Snapshot() = 0;
    /// Starts ending the process a snapshot listed as `process`, once it is opened and found to
    /// still run under that name (its id may have been reused since the snapshot); false when it
    /// cannot be opened, runs under another name now, or cannot be ended. Does not wait.
    virtual bool Terminate(const ProcessEntry &process) = 0;
};

/// The real implementation for this operating system. Safe to use from any thread.
ProcessSeam &SystemProcesses();

} // namespace platform

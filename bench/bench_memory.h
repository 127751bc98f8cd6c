#pragma once

// The benchmarks' memory figures, from the process's own /proc/self files (Linux).
#include <cstdlib>
#include <fstream>
#include <string>

namespace bench {

/// One of the process's /proc/self/status sizes ("VmRSS", "VmHWM") in MiB.
inline double StatusMiB(const std::string &field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field + ":", 0) == 0)
            return std::atof(line.c_str() + field.size() + 1) / 1024.0;
    return 0;
}

/// Makes VmHWM (the peak RSS) start again from the current RSS.
inline void ResetPeakRss() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

} // namespace bench

#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <system_error>

class TServerList;

/// Where the engine writes its lines of the support log (see platform/support_log.h): the
/// download's way and size, the verification's verdict, the install's result. Empty: nowhere.
/// Called on the engine's thread; it must not throw.
using TUpdateLog = std::function<void(const std::string &line)>;

/// Writes `line` to `log` when there is one.
inline void LogLine(const TUpdateLog &log, const std::string &line) {
    if (log)
        log(line);
}

/// A system error as the support log gives it: "the message (code N)".
std::string ErrorCodeText(const std::error_code &error);

/// How the support log names server `server` of `servers`: "publisher BASE" for the first,
/// "mirror BASE" for the others.
std::string ServerLogName(const TServerList &servers, std::size_t server);

/// The milliseconds since it was made, for "N bytes in T ms".
class TStopwatch {
public:
    std::int64_t Milliseconds() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - start_)
            .count();
    }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

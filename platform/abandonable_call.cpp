#include "abandonable_call.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace platform {

namespace {

bool RunGuarded(const std::function<bool()> &work) {
    try {
        return work();
    } catch (...) {
        return false;
    }
}

} // namespace

std::optional<bool> CallAbandonably(std::function<bool()> work, std::stop_token stop) {
    if (!stop.stop_possible())
        return RunGuarded(work);
    if (stop.stop_requested())
        return std::nullopt;

    // Shared with the call's thread, which may outlive this function.
    struct Answer {
        std::mutex mutex;
        std::condition_variable_any ready;
        std::optional<bool> value;
    };
    const auto answer = std::make_shared<Answer>();
    try {
        std::thread([answer, work = std::move(work)] {
            const bool value = RunGuarded(work);
            {
                std::lock_guard lock(answer->mutex);
                answer->value = value;
            }
            answer->ready.notify_all();
        }).detach();
    } catch (const std::system_error &) {
        return std::nullopt; // no thread to be had: treat as not reached
    }
    std::unique_lock lock(answer->mutex);
    if (!answer->ready.wait(lock, stop, [&] { return answer->value.has_value(); }))
        return std::nullopt;
    return answer->value;
}

} // namespace platform

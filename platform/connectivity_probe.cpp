#include "connectivity_probe.h"

namespace platform {

bool IsInternetConnected(InternetSeam &internet, const ConnectionTestTable &testUrls,
                         std::stop_token stop) {
    try {
        std::uint32_t flags = 0;
        if (internet.GetConnectedState(flags) && (flags & kConnectionOffline) == 0)
            return true;

        std::uint32_t state = 0;
        if (!internet.QueryConnectedState(state) || (state & kConnectedStateConnected) == 0)
            return false;

        for (const std::u16string &url : testUrls) {
            if (stop.stop_requested())
                return false;
            if (internet.CheckConnection(url, stop))
                return true;
        }
        return false;
    } catch (...) {
        return false;
    }
}

bool IsServerReachable(InternetSeam &internet, const std::u16string &url, std::stop_token stop) {
    try {
        return !stop.stop_requested() && internet.CheckConnection(url, stop);
    } catch (...) {
        return false;
    }
}

} // namespace platform

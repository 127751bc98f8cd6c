#include "connectivity_probe.h"

namespace platform {

bool IsInternetConnected(InternetSeam &internet, const ConnectionTestTable &testUrls) {
    try {
        std::uint32_t flags = 0;
        if (internet.GetConnectedState(flags) && (flags & kConnectionOffline) == 0)
            return true;

        std::uint32_t state = 0;
        if (!internet.QueryConnectedState(state) || (state & kConnectedStateConnected) == 0)
            return false;

        for (const std::u16string &url : testUrls) {
            if (internet.CheckConnection(url))
                return true;
        }
        return false;
    } catch (...) {
        return false;
    }
}

} // namespace platform

// Internet state on Windows: WinInet.
#include "../abandonable_call.h"
#include "../internet_seam.h"
#include "../url_parts.h"

// windows.h must come before the other Windows headers.
#include <windows.h>

#include <wininet.h>

namespace platform {

namespace {

class Win32Internet final : public InternetSeam {
public:
    bool GetConnectedState(std::uint32_t &flags) override {
        DWORD value = 0;
        const BOOL connected = ::InternetGetConnectedState(&value, 0);
        flags = value;
        return connected != FALSE;
    }

    bool QueryConnectedState(std::uint32_t &state) override {
        DWORD value = 0;
        DWORD length = sizeof value; // 4
        const BOOL ok =
            ::InternetQueryOptionW(nullptr, INTERNET_OPTION_CONNECTED_STATE, &value, &length);
        state = value;
        return ok != FALSE;
    }

    bool CheckConnection(const std::u16string &url, std::stop_token stop) override {
        // An address without a host would make WinInet guess; fail it without a network call.
        if (!ParseUrl(url))
            return false;
        // WinInet's forced connection cannot be cancelled and may take the system's whole
        // connection time-out: a stop leaves it behind on its own thread.
        return CallAbandonably(
                   [url] {
                       return ::InternetCheckConnectionW(reinterpret_cast<LPCWSTR>(url.c_str()),
                                                         FLAG_ICC_FORCE_CONNECTION, 0) != FALSE;
                   },
                   stop)
            .value_or(false);
    }
};

} // namespace

InternetSeam &SystemInternet() {
    static Win32Internet internet;
    return internet;
}

} // namespace platform

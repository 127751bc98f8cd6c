// Proxies on Windows: the current user's settings, read through WinHTTP. A fixed proxy is
// applied with its bypass list; an automatic configuration script or automatic detection is
// resolved by WinHTTP for the request's address.
#include "../manual_proxy.h"
#include "../proxy_seam.h"
#include "../text_encoding.h"

// windows.h must come before the other Windows headers.
#include <windows.h>

#include <winhttp.h>

#include <optional>

namespace platform {

namespace {

/// Frees a string WinHTTP allocated for the caller.
struct GlobalString {
    LPWSTR text = nullptr;
    ~GlobalString() {
        if (text)
            ::GlobalFree(text);
    }
    std::u16string Value() const {
        return text ? std::u16string(reinterpret_cast<const char16_t *>(text)) : std::u16string();
    }
};

struct SessionHandle {
    HINTERNET handle = nullptr;
    ~SessionHandle() {
        if (handle)
            ::WinHttpCloseHandle(handle);
    }
};

/// How long WinHTTP may take to find and fetch a configuration script.
constexpr int kScriptTimeoutMs = 5000;

/// The answer of the automatic configuration (script or detection) for `url`; nothing when
/// WinHTTP gives none (no script found, the script failed).
std::optional<std::string> AutomaticProxyFor(const std::string &url, bool detect,
                                             const std::u16string &scriptUrl) {
    SessionHandle session;
    session.handle = ::WinHttpOpen(L"Zorvane Updater", WINHTTP_ACCESS_TYPE_NO_PROXY,
                                   WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    if (!session.handle)
        return std::nullopt;
    ::WinHttpSetTimeouts(session.handle, kScriptTimeoutMs, kScriptTimeoutMs, kScriptTimeoutMs,
                         kScriptTimeoutMs);
    WINHTTP_AUTOPROXY_OPTIONS options{};
    if (!scriptUrl.empty()) {
        options.dwFlags |= WINHTTP_AUTOPROXY_CONFIG_URL;
        options.lpszAutoConfigUrl = reinterpret_cast<LPCWSTR>(scriptUrl.c_str());
    }
    if (detect) {
        options.dwFlags |= WINHTTP_AUTOPROXY_AUTO_DETECT;
        options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
    }
    options.fAutoLogonIfChallenged = TRUE;
    const std::u16string wideUrl = Utf8ToUtf16(url);
    WINHTTP_PROXY_INFO info{};
    if (!::WinHttpGetProxyForUrl(session.handle, reinterpret_cast<LPCWSTR>(wideUrl.c_str()),
                                 &options, &info))
        return std::nullopt;
    GlobalString proxy{info.lpszProxy};
    GlobalString bypass{info.lpszProxyBypass};
    if (info.dwAccessType != WINHTTP_ACCESS_TYPE_NAMED_PROXY || !proxy.text)
        return std::string(); // the script says: direct
    // The script's list may name several proxies; the first one that fits is taken.
    return ManualProxyFor({proxy.Value(), bypass.Value()}, url);
}

class Win32Proxy final : public ProxySeam {
public:
    std::optional<std::string> ProxyFor(const std::string &url) override {
        try {
            WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config{};
            if (!::WinHttpGetIEProxyConfigForCurrentUser(&config))
                return std::string();
            GlobalString scriptUrl{config.lpszAutoConfigUrl};
            GlobalString proxy{config.lpszProxy};
            GlobalString bypass{config.lpszProxyBypass};
            if (config.fAutoDetect || scriptUrl.text) {
                if (auto automatic =
                        AutomaticProxyFor(url, config.fAutoDetect != FALSE, scriptUrl.Value()))
                    return automatic;
            }
            // No automatic answer: the fixed proxy when one is set, else a direct connection.
            if (proxy.text)
                return ManualProxyFor({proxy.Value(), bypass.Value()}, url);
            return std::string();
        } catch (...) {
            return std::string();
        }
    }
};

} // namespace

ProxySeam &SystemProxy() {
    static Win32Proxy proxy;
    return proxy;
}

} // namespace platform

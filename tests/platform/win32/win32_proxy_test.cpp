// The proxy of the current user's settings, written into the registry the way the Internet
// Options dialog stores them, and read back through WinHTTP.
#include "proxy_seam.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

const wchar_t kConnections[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections";

/// The stored connection settings: a version, a counter, the kind flags, then the proxy list,
/// the bypass list and the configuration script's address, each an 8-bit string after its
/// 32-bit length.
std::vector<std::uint8_t> ConnectionSettings(std::uint32_t flags, const std::string &proxy,
                                             const std::string &bypass) {
    std::vector<std::uint8_t> blob;
    const auto put32 = [&](std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            blob.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    const auto putText = [&](const std::string &text) {
        put32(static_cast<std::uint32_t>(text.size()));
        blob.insert(blob.end(), text.begin(), text.end());
    };
    put32(0x46);
    put32(1);
    put32(flags);
    putText(proxy);
    putText(bypass);
    putText("");
    for (int i = 0; i < 8; ++i)
        put32(0);
    return blob;
}

/// Stores the settings for the current user; puts back what was there before (or nothing) at the
/// end, so the machine's own settings survive the test.
class StoredProxySettings {
public:
    StoredProxySettings(const std::string &proxy, const std::string &bypass) {
        constexpr std::uint32_t kDirect = 1, kProxy = 2;
        const auto blob = ConnectionSettings(kDirect | kProxy, proxy, bypass);
        DWORD size = 0;
        if (::RegGetValueW(HKEY_CURRENT_USER, kConnections, kValue, RRF_RT_REG_BINARY, nullptr,
                           nullptr, &size) == ERROR_SUCCESS) {
            saved_.emplace(size);
            if (::RegGetValueW(HKEY_CURRENT_USER, kConnections, kValue, RRF_RT_REG_BINARY, nullptr,
                               saved_->data(), &size) != ERROR_SUCCESS)
                return; // unreadable: leave it alone
            saved_->resize(size);
        }
        ok_ = Write(blob);
    }
    ~StoredProxySettings() {
        if (!ok_)
            return;
        if (saved_)
            Write(*saved_);
        else
            ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kConnections, kValue);
    }
    bool Ok() const { return ok_; }

private:
    static constexpr wchar_t kValue[] = L"DefaultConnectionSettings";

    /// Makes the key when it is missing, as on a fresh account.
    static bool Write(const std::vector<std::uint8_t> &blob) {
        return ::RegSetKeyValueW(HKEY_CURRENT_USER, kConnections, kValue, REG_BINARY, blob.data(),
                                 static_cast<DWORD>(blob.size())) == ERROR_SUCCESS;
    }

    bool ok_ = false;
    std::optional<std::vector<std::uint8_t>> saved_;
};

TEST(Win32Proxy, TheUsersFixedProxyAndBypassListApplyPerRequest) {
    StoredProxySettings settings("http=127.0.0.1:3128;https=127.0.0.1:3129",
                                 "*.intranet.example;<local>");
    ASSERT_TRUE(settings.Ok());
    auto &proxy = platform::SystemProxy();
    EXPECT_EQ(proxy.ProxyFor("http://zorvane.example/program_download/x.exe"),
              "http://127.0.0.1:3128");
    EXPECT_EQ(proxy.ProxyFor("https://zorvane.example/x"), "http://127.0.0.1:3129");
    EXPECT_EQ(proxy.ProxyFor("http://files.intranet.example/x"), "");
    EXPECT_EQ(proxy.ProxyFor("http://fileserver/x"), "") << "<local>: a name without a dot";
}

TEST(Win32Proxy, TheUsersEarlierSettingsComeBackAfterTheTest) {
    StoredProxySettings earlier("127.0.0.1:3130", "");
    ASSERT_TRUE(earlier.Ok());
    { StoredProxySettings during("127.0.0.1:3131", ""); }
    EXPECT_EQ(platform::SystemProxy().ProxyFor("http://zorvane.example/x"),
              "http://127.0.0.1:3130");
}

} // namespace

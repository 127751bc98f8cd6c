// Proxies on POSIX: the environment's proxy variables (http_proxy, https_proxy, all_proxy,
// no_proxy, in the cases curl reads), which the HTTP library reads itself for every request.
#include "../proxy_seam.h"

namespace platform {

namespace {

class PosixProxy final : public ProxySeam {
public:
    std::optional<std::string> ProxyFor(const std::string &) override { return std::nullopt; }
};

} // namespace

ProxySeam &SystemProxy() {
    static PosixProxy proxy;
    return proxy;
}

} // namespace platform

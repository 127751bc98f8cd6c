#pragma once

#include "scratch_folder.h"

#include <cstdint>
#include <filesystem>
#include <string>

#include <sys/types.h>

namespace testsupport {

/// A real nginx serving a folder on 127.0.0.1 with a configuration of its own in a temporary
/// folder (`daemon off`, its own pid, log and temp paths), for tests and benchmarks.
///
/// Started as root nginx runs its workers as another user, so the served folder and the folders
/// above it are made readable by others. The server is stopped and its folder removed on
/// destruction.
class NginxServer {
public:
    enum class Scheme { Http, Https };

    /// Starts nginx on a free loopback port; `extraServerConfig` goes into the server block.
    /// With `Scheme::Https` it speaks TLS with a certificate for 127.0.0.1 (and no other name)
    /// issued by a certificate authority made for this server alone: see `CaCertificates()`.
    explicit NginxServer(const std::string &extraServerConfig = "", Scheme scheme = Scheme::Http);
    ~NginxServer();
    NginxServer(const NginxServer &) = delete;
    NginxServer &operator=(const NginxServer &) = delete;

    /// False when nginx could not be started; `Error()` says why.
    bool Running() const { return pid_ > 0; }
    const std::string &Error() const { return error_; }
    /// The folder served as the site root.
    const std::filesystem::path &Root() const { return root_; }
    std::uint16_t Port() const { return port_; }
    /// "http://127.0.0.1:PORT" or "https://127.0.0.1:PORT".
    std::string BaseUrl() const;
    /// Writes `bytes` as the file at `relativePath` under the root (folders made readable by
    /// nginx's workers on the way) and returns its path.
    std::filesystem::path Serve(const std::filesystem::path &relativePath,
                                const std::string &bytes) const;
    /// The certificate of the authority that issued an https server's certificate.
    std::filesystem::path CaCertificates() const { return folder_ / "authority.pem"; }

private:
    bool MakeCertificates();
    bool StartOn(std::uint16_t port, const std::string &extraServerConfig);
    void Stop();

    harness::ScratchFolder scratch_;
    const std::filesystem::path folder_ = scratch_.Path();
    const std::filesystem::path root_ = folder_ / "www";
    Scheme scheme_ = Scheme::Http;
    std::uint16_t port_ = 0;
    pid_t pid_ = -1;
    std::string error_;
};

} // namespace testsupport

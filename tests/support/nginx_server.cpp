#include "nginx_server.h"

#include "loopback_port.h"

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

namespace testsupport {

namespace {

/// Readable and searchable by all: nginx's workers run as another user when it starts as root.
constexpr auto kReadable = std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                           std::filesystem::perms::group_exec |
                           std::filesystem::perms::others_read |
                           std::filesystem::perms::others_exec;

} // namespace

NginxServer::NginxServer(const std::string &extraServerConfig, Scheme scheme) : scheme_(scheme) {
    std::filesystem::create_directories(root_);
    std::filesystem::create_directories(folder_ / "logs");
    std::filesystem::permissions(folder_, kReadable);
    std::filesystem::permissions(root_, kReadable);
    if (scheme_ == Scheme::Https && !MakeCertificates())
        return;
    for (int attempt = 0; attempt < 5 && pid_ <= 0; ++attempt)
        StartOn(FreeLoopbackPort(), extraServerConfig);
}

NginxServer::~NginxServer() {
    Stop();
}

std::string NginxServer::BaseUrl() const {
    return (scheme_ == Scheme::Https ? "https://127.0.0.1:" : "http://127.0.0.1:") +
           std::to_string(port_);
}

std::filesystem::path NginxServer::Serve(const std::filesystem::path &relativePath,
                                         const std::string &bytes) const {
    const std::filesystem::path file = root_ / relativePath;
    std::filesystem::create_directories(file.parent_path());
    for (auto folder = file.parent_path(); folder != root_; folder = folder.parent_path())
        std::filesystem::permissions(folder, kReadable);
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
}

bool NginxServer::MakeCertificates() {
    // An authority, then a server key and a certificate for the loopback address it signs.
    std::ofstream(folder_ / "server.ext") << "subjectAltName = IP:127.0.0.1\n"
                                          << "basicConstraints = CA:FALSE\n"
                                          << "extendedKeyUsage = serverAuth\n";
    const std::string in = "cd '" + folder_.string() + "' && ";
    const std::string key = " -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";
    const std::string commands =
        in + "openssl req -x509" + key +
        " -keyout authority.key -out authority.pem -days 2 -subj '/CN=Zorvane test authority'" +
        " && openssl req" + key + " -keyout server.key -out server.csr -subj '/CN=127.0.0.1'" +
        " && openssl x509 -req -in server.csr -CA authority.pem -CAkey authority.key" +
        " -CAcreateserial -days 2 -extfile server.ext -out server.pem";
    if (std::system((commands + " >logs/openssl.log 2>&1").c_str()) != 0) {
        std::ifstream log(folder_ / "logs/openssl.log");
        error_ = "openssl could not make the certificates: " +
                 std::string(std::istreambuf_iterator<char>(log), {});
        return false;
    }
    return true;
}

bool NginxServer::StartOn(std::uint16_t port, const std::string &extraServerConfig) {
    const std::filesystem::path config = folder_ / "nginx.conf";
    const std::string token = RandomToken();
    std::ofstream(config) << "daemon off;\n"
                          << "worker_processes 1;\n"
                          << "pid " << (folder_ / "nginx.pid").string() << ";\n"
                          << "error_log " << (folder_ / "logs/error.log").string() << ";\n"
                          << "events { worker_connections 64; }\n"
                          << "http {\n"
                          << "  access_log off;\n"
                          << "  default_type application/octet-stream;\n"
                          << "  sendfile on;\n"
                          << "  client_body_temp_path " << (folder_ / "client_temp").string()
                          << ";\n"
                          << "  proxy_temp_path " << (folder_ / "proxy_temp").string() << ";\n"
                          << "  fastcgi_temp_path " << (folder_ / "fastcgi_temp").string() << ";\n"
                          << "  uwsgi_temp_path " << (folder_ / "uwsgi_temp").string() << ";\n"
                          << "  scgi_temp_path " << (folder_ / "scgi_temp").string() << ";\n"
                          << "  server {\n"
                          << "    listen 127.0.0.1:" << port
                          << (scheme_ == Scheme::Https ? " ssl" : "") << ";\n"
                          << (scheme_ == Scheme::Https
                                  ? "    ssl_certificate " + (folder_ / "server.pem").string() +
                                        ";\n    ssl_certificate_key " +
                                        (folder_ / "server.key").string() + ";\n"
                                  : std::string())
                          << "    root " << root_.string()
                          << ";\n"
                          // Unlogged: tests read the access log as the updater's requests.
                          << "    location = /zorvane-ready { access_log off; return 200 \""
                          << token << "\"; }\n"
                          << extraServerConfig << "\n"
                          << "  }\n"
                          << "}\n";
    const pid_t child = ::fork();
    if (child == 0) {
        ::execlp("nginx", "nginx", "-c", config.c_str(), "-p", folder_.c_str(),
                 static_cast<char *>(nullptr));
        ::execl("/usr/sbin/nginx", "nginx", "-c", config.c_str(), "-p", folder_.c_str(),
                static_cast<char *>(nullptr));
        ::_exit(127);
    }
    if (child < 0) {
        error_ = "fork failed";
        return false;
    }
    port_ = port;
    switch (WaitForKnownReply(
        child, {BaseUrl() + "/zorvane-ready", token, "", "",
                scheme_ == Scheme::Https ? CaCertificates() : std::filesystem::path()})) {
    case StartOutcome::Answering:
        pid_ = child;
        return true;
    case StartOutcome::Exited: {
        std::ifstream log(folder_ / "logs/error.log");
        error_.assign(std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>());
        if (error_.empty())
            error_ = "nginx exited at once (is it installed?)";
        return false;
    }
    case StartOutcome::Silent:
        break;
    }
    error_ = "nginx did not give its known reply";
    return false;
}

void NginxServer::Stop() {
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

} // namespace testsupport

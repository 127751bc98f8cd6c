#include "loopback_port.h"

#include <curl/curl.h>

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <random>
#include <thread>

namespace testsupport {

namespace {

std::size_t Append(char *data, std::size_t size, std::size_t count, void *body) {
    static_cast<std::string *>(body)->append(data, size * count);
    return size * count;
}

/// True when one GET gives `reply`'s body with a 200. Bounded to a second: a server that accepts
/// and stays silent is not ready either.
bool Answers(const KnownReply &reply) {
    const std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(),
                                                                   &curl_easy_cleanup);
    if (!curl)
        return false;
    std::string body;
    curl_easy_setopt(curl.get(), CURLOPT_URL, reply.url.c_str());
    // Set even when empty: the machine's proxy variables must not decide where this goes.
    curl_easy_setopt(curl.get(), CURLOPT_PROXY, reply.proxy.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_NOPROXY, "");
    if (!reply.proxyCredentials.empty())
        curl_easy_setopt(curl.get(), CURLOPT_PROXYUSERPWD, reply.proxyCredentials.c_str());
    if (!reply.caFile.empty())
        curl_easy_setopt(curl.get(), CURLOPT_CAINFO, reply.caFile.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT_MS, 1000L);
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, &Append);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &body);
    long status = 0;
    return curl_easy_perform(curl.get()) == CURLE_OK &&
           curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status) == CURLE_OK &&
           status == 200 && body == reply.body;
}

} // namespace

std::uint16_t FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    std::uint16_t port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

std::string RandomToken() {
    std::random_device random;
    static const char digits[] = "0123456789abcdef";
    std::string token;
    for (int i = 0; i < 32; ++i)
        token += digits[random() % 16];
    return token;
}

StartOutcome WaitForKnownReply(pid_t child, const KnownReply &reply,
                               std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (::waitpid(child, nullptr, WNOHANG) == child)
            return StartOutcome::Exited;
        if (Answers(reply))
            return StartOutcome::Answering;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    return StartOutcome::Silent;
}

} // namespace testsupport

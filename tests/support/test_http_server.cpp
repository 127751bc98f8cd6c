// The loopback test server: one thread accepts, one thread per connection serves a scripted reply.
#include "test_http_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <stdexcept>

namespace testsupport {

namespace {

/// How long a connection may take to send its request before the server gives up on it.
constexpr std::chrono::milliseconds kRequestTimeout{5000};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool HasHeaderNamed(const std::vector<std::pair<std::string, std::string>> &headers,
                    const std::string &name) {
    return std::any_of(headers.begin(), headers.end(),
                       [&](const auto &h) { return Lower(h.first) == Lower(name); });
}

std::string Hex(std::size_t value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%zx", value);
    return buffer;
}

/// The bytes after the header block: the body itself, or its chunked framing.
std::string BodyPart(const ScriptedReply &reply) {
    if (!reply.chunked)
        return reply.body;
    std::string out;
    std::size_t offset = 0;
    std::size_t index = 0;
    while (offset < reply.body.size()) {
        std::size_t size = reply.chunkSizes.empty()
                               ? reply.body.size()
                               : reply.chunkSizes[std::min(index, reply.chunkSizes.size() - 1)];
        size = std::max<std::size_t>(1, std::min(size, reply.body.size() - offset));
        out += Hex(size) + "\r\n";
        out.append(reply.body, offset, size);
        out += "\r\n";
        offset += size;
        ++index;
    }
    out += "0\r\n\r\n";
    return out;
}

std::string HeaderBlock(const ScriptedReply &reply) {
    std::string out = reply.statusLine + "\r\n";
    for (const auto &[name, value] : reply.headers)
        out.append(name).append(": ").append(value).append("\r\n");
    if (reply.chunked && !HasHeaderNamed(reply.headers, "Transfer-Encoding"))
        out += "Transfer-Encoding: chunked\r\n";
    if (!reply.chunked && reply.autoContentLength &&
        !HasHeaderNamed(reply.headers, "Content-Length"))
        out += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
    if (reply.autoConnectionClose && !HasHeaderNamed(reply.headers, "Connection"))
        out += "Connection: close\r\n";
    out += "\r\n";
    return out;
}

} // namespace

ScriptedReply ScriptedReply::Status(int code, const std::string &reason, std::string body) {
    ScriptedReply reply;
    reply.statusLine = "HTTP/1.1 " + std::to_string(code) + " " + reason;
    reply.headers = {{"Content-Type", "text/plain"}};
    reply.body = std::move(body);
    return reply;
}

ScriptedReply ScriptedReply::Ok(std::string body, std::string contentType) {
    ScriptedReply reply;
    reply.headers = {{"Content-Type", std::move(contentType)}};
    reply.body = std::move(body);
    return reply;
}

ScriptedReply ScriptedReply::FromByte(const std::string &whole, std::size_t from,
                                      const std::string &etag) {
    ScriptedReply reply = Ok(whole.substr(from));
    if (from > 0) {
        reply.statusLine = "HTTP/1.1 206 Partial Content";
        reply.headers.push_back({"Content-Range", "bytes " + std::to_string(from) + "-" +
                                                      std::to_string(whole.size() - 1) + "/" +
                                                      std::to_string(whole.size())});
    }
    reply.headers.push_back({"ETag", etag});
    reply.headers.push_back({"Accept-Ranges", "bytes"});
    return reply;
}

ScriptedReply ScriptedReply::Redirect(int code, const std::string &location) {
    ScriptedReply reply;
    reply.statusLine = "HTTP/1.1 " + std::to_string(code) + " Found";
    reply.headers = {{"Location", location}, {"Content-Type", "text/html"}};
    reply.body = "<html><body>Moved</body></html>";
    return reply;
}

std::string RecordedRequest::Header(const std::string &name) const {
    for (const auto &[headerName, value] : headers)
        if (Lower(headerName) == Lower(name))
            return value;
    return "";
}

bool RecordedRequest::HasHeader(const std::string &name) const {
    return HasHeaderNamed(headers, name);
}

std::string PatternBytes(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 31 + i / 251) & 0xFF);
    return bytes;
}

void OfferNoPatches(TestHttpServer &server) {
    server.AnswerAlways(".from-", ScriptedReply::Status(404, "Not Found"));
}

TestHttpServer::TestHttpServer() {
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        throw std::runtime_error("test server: pipe failed");
    wakeRead_ = pipeFds[0];
    wakeWrite_ = pipeFds[1];

    listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0)
        throw std::runtime_error("test server: socket failed");
    const int yes = 1;
    setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (bind(listenFd_, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
        listen(listenFd_, 16) != 0)
        throw std::runtime_error("test server: bind or listen failed");
    socklen_t length = sizeof address;
    getsockname(listenFd_, reinterpret_cast<sockaddr *>(&address), &length);
    port_ = ntohs(address.sin_port);

    acceptor_ = std::thread([this] { AcceptLoop(); });
}

TestHttpServer::~TestHttpServer() {
    Stop();
    close(wakeRead_);
    close(wakeWrite_);
}

std::string TestHttpServer::Url(const std::string &path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void TestHttpServer::Enqueue(ScriptedReply reply) {
    std::lock_guard lock(mutex_);
    script_.push_back(std::move(reply));
}

void TestHttpServer::AnswerAlways(std::string marker, ScriptedReply reply) {
    std::lock_guard lock(mutex_);
    standing_.emplace_back(std::move(marker), std::move(reply));
}

std::vector<RecordedRequest> TestHttpServer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::size_t TestHttpServer::Connections() const {
    std::lock_guard lock(mutex_);
    return connections_;
}

void TestHttpServer::Stop() {
    {
        std::lock_guard lock(mutex_);
        if (stopping_)
            return;
        stopping_ = true;
    }
    const char byte = 1;
    [[maybe_unused]] const auto written = write(wakeWrite_, &byte, 1);
    if (acceptor_.joinable())
        acceptor_.join();
    // No new worker can appear now: the acceptor has ended.
    for (auto &worker : workers_)
        worker.join();
    workers_.clear();
    close(listenFd_);
    listenFd_ = -1;
}

void TestHttpServer::AcceptLoop() {
    for (;;) {
        pollfd fds[2] = {{wakeRead_, POLLIN, 0}, {listenFd_, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[0].revents)
            return;
        if (!(fds[1].revents & POLLIN))
            continue;
        const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        std::lock_guard lock(mutex_);
        ++connections_;
        workers_.emplace_back([this, fd] { Serve(fd); });
    }
}

void TestHttpServer::Serve(int fd) {
    RecordedRequest request;
    if (ReadRequest(fd, request)) {
        ScriptedReply reply;
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(request);
            const auto standing =
                std::find_if(standing_.begin(), standing_.end(), [&](const auto &answer) {
                    return request.requestLine.find(answer.first) != std::string::npos;
                });
            if (standing != standing_.end()) {
                reply = standing->second;
            } else if (script_.empty()) {
                reply = ScriptedReply::Status(500, "No Scripted Reply", "no scripted reply");
            } else {
                reply = std::move(script_.front());
                script_.pop_front();
            }
        }
        SendReply(fd, reply);
    }
    shutdown(fd, SHUT_WR);
    close(fd);
}

bool TestHttpServer::ReadRequest(int fd, RecordedRequest &request) {
    std::string received;
    const auto deadline = std::chrono::steady_clock::now() + kRequestTimeout;
    std::size_t end;
    while ((end = received.find("\r\n\r\n")) == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd fds[2] = {{wakeRead_, POLLIN, 0}, {fd, POLLIN, 0}};
        if (poll(fds, 2, static_cast<int>(left.count())) <= 0 || fds[0].revents)
            return false;
        char buffer[4096];
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            return false;
        received.append(buffer, static_cast<std::size_t>(n));
    }

    std::size_t lineStart = 0;
    bool first = true;
    while (lineStart < end) {
        std::size_t lineEnd = received.find("\r\n", lineStart);
        const std::string line = received.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 2;
        if (first) {
            request.requestLine = line;
            first = false;
            continue;
        }
        const auto colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        std::string value = line.substr(colon + 1);
        value.erase(0, value.find_first_not_of(' '));
        request.headers.emplace_back(line.substr(0, colon), value);
    }
    return true;
}

bool TestHttpServer::SendAll(int fd, const char *data, std::size_t len) {
    while (len > 0) {
        pollfd fds[2] = {{wakeRead_, POLLIN, 0}, {fd, POLLOUT, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (fds[0].revents)
            return false;
        if (fds[1].revents & (POLLERR | POLLHUP))
            return false;
        const ssize_t n = send(fd, data, len, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
                continue;
            return false;
        }
        data += n;
        len -= static_cast<std::size_t>(n);
    }
    return true;
}

bool TestHttpServer::Pause(int fd, std::chrono::milliseconds duration) {
    const bool forever = duration.count() < 0;
    const auto deadline = std::chrono::steady_clock::now() + duration;
    for (;;) {
        int timeout = -1;
        if (!forever) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return true;
            timeout = static_cast<int>(left.count());
        }
        pollfd fds[2] = {{wakeRead_, POLLIN, 0}, {fd, POLLIN, 0}};
        const int ready = poll(fds, 2, timeout);
        if (ready < 0 && errno != EINTR)
            return false;
        if (fds[0].revents)
            return false;
        if (fds[1].revents) {
            // The client sent more (dropped) or left, which ends the pause.
            char buffer[1024];
            if (recv(fd, buffer, sizeof buffer, MSG_DONTWAIT) <= 0)
                return false;
        }
    }
}

void TestHttpServer::SendReply(int fd, const ScriptedReply &reply) {
    constexpr auto kForever = std::chrono::milliseconds(-1);
    if (reply.closeWithoutReply)
        return;
    if (!reply.raw.empty()) {
        SendAll(fd, reply.raw.data(), reply.raw.size());
        return;
    }
    if (reply.stallBeforeHeaders) {
        Pause(fd, kForever);
        return;
    }
    const std::string head = HeaderBlock(reply);
    if (!SendAll(fd, head.data(), head.size()))
        return;

    const std::string body = BodyPart(reply);
    const std::size_t limit =
        std::min({body.size(), reply.closeAfterBodyBytes, reply.stallAfterBodyBytes});
    const std::size_t piece = reply.paceBytes > 0 ? reply.paceBytes : limit;
    std::size_t sent = 0;
    while (sent < limit) {
        const std::size_t n =
            std::min(sent == 0 ? std::max(piece, reply.paceAfterBytes) : piece, limit - sent);
        if (!SendAll(fd, body.data() + sent, n))
            return;
        sent += n;
        if (reply.paceBytes > 0 && sent < limit && !Pause(fd, reply.paceInterval))
            return;
    }
    const bool stalls = reply.stallAfterBodyBytes <= body.size() &&
                        reply.stallAfterBodyBytes < reply.closeAfterBodyBytes;
    if (stalls)
        Pause(fd, kForever);
}

} // namespace testsupport

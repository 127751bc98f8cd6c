#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace testsupport {

/// One scripted reply of the loopback server.
struct ScriptedReply {
    /// Sent first, then "\r\n".
    std::string statusLine = "HTTP/1.1 200 OK";
    /// Sent in order as "Name: value".
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;

    /// Adds "Content-Length: body.size()" unless the body is chunked or `headers` has one.
    bool autoContentLength = true;
    /// Adds "Connection: close" unless `headers` has a Connection header; the server closes the
    /// connection after every reply anyway.
    bool autoConnectionClose = true;

    /// Sends the body chunked ("Transfer-Encoding: chunked" is added) in chunks of these sizes,
    /// the last size repeated; ends with the zero chunk.
    bool chunked = false;
    std::vector<std::size_t> chunkSizes;

    /// When set, sent instead of everything above, byte for byte (garbage, odd framing).
    std::string raw;
    /// Closes the connection without sending a byte.
    bool closeWithoutReply = false;

    /// Pacing: at most `paceBytes` bytes of the body part, then a pause of `paceInterval`.
    std::size_t paceBytes = 0;
    std::chrono::milliseconds paceInterval{0};
    /// Sends this many bytes of the body part at once before the pacing starts.
    std::size_t paceAfterBytes = 0;

    /// Closes the connection after this many bytes of the body part (wire bytes after the
    /// header block, chunk framing included).
    std::size_t closeAfterBodyBytes = SIZE_MAX;
    /// Stops sending after this many bytes of the body part and keeps the connection open, silent,
    /// until the client leaves or the server stops. 0 stalls right after the header block;
    /// `stallBeforeHeaders` stalls before the status line.
    std::size_t stallAfterBodyBytes = SIZE_MAX;
    bool stallBeforeHeaders = false;

    /// A reply with this status and body and a Content-Type of text/plain.
    static ScriptedReply Status(int code, const std::string &reason, std::string body = "");
    /// 200 OK with `body` and a Content-Length.
    static ScriptedReply Ok(std::string body, std::string contentType = "application/octet-stream");
    /// `whole` from byte `from` on with a strong ETag `etag` and byte ranges: 200 with all of it
    /// for 0, else 206 with its Content-Range.
    static ScriptedReply FromByte(const std::string &whole, std::size_t from,
                                  const std::string &etag);
    /// A redirect to `location` with a small HTML body.
    static ScriptedReply Redirect(int code, const std::string &location);
};

/// A request as the server received it.
struct RecordedRequest {
    std::string requestLine;
    std::vector<std::pair<std::string, std::string>> headers;

    /// The value of the first header named `name` (case-insensitive), or "" when absent.
    std::string Header(const std::string &name) const;
    bool HasHeader(const std::string &name) const;
};

/// A small HTTP/1.1 server on 127.0.0.1 and an ephemeral port, inside the test process, on our
/// own sockets. Each connection carries one request and gets the next scripted reply (or a 500
/// when none is left), then is closed. Every thread ends when the server is stopped or destroyed,
/// stalls and pacing included.
class TestHttpServer {
public:
    TestHttpServer();
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer &) = delete;
    TestHttpServer &operator=(const TestHttpServer &) = delete;

    std::uint16_t Port() const { return port_; }
    /// "http://127.0.0.1:PORT" followed by `path`.
    std::string Url(const std::string &path = "/") const;

    /// Appends a reply to the script; replies are used in order, one per request.
    void Enqueue(ScriptedReply reply);
    /// Answers every request whose request line contains `marker` with `reply`, without using
    /// the script: for a request the flow makes on the side, such as asking for a patch.
    void AnswerAlways(std::string marker, ScriptedReply reply);
    /// The requests received so far, in order of arrival.
    std::vector<RecordedRequest> Requests() const;
    /// Number of connections accepted so far.
    std::size_t Connections() const;

    /// Stops accepting, ends every connection (stalled ones too) and joins all threads.
    void Stop();

private:
    void AcceptLoop();
    void Serve(int fd);
    bool ReadRequest(int fd, RecordedRequest &request);
    bool SendAll(int fd, const char *data, std::size_t len);
    bool Pause(int fd, std::chrono::milliseconds duration);
    void SendReply(int fd, const ScriptedReply &reply);

    int listenFd_ = -1;
    int wakeRead_ = -1; // readable once the server stops: every wait polls it
    int wakeWrite_ = -1;
    std::uint16_t port_ = 0;

    mutable std::mutex mutex_;
    bool stopping_ = false;
    std::deque<ScriptedReply> script_;
    std::vector<std::pair<std::string, ScriptedReply>> standing_;
    std::vector<RecordedRequest> requests_;
    std::vector<int> openFds_;
    std::vector<std::thread> workers_;
    std::size_t connections_ = 0;
    std::thread acceptor_;
};

/// Makes `server` answer every request for a patch ("NAME.from-HASH.zst") with 404: it offers
/// none, so every run downloads the whole file.
void OfferNoPatches(TestHttpServer &server);

/// `size` bytes of a repeating, position-dependent pattern (so a lost or doubled piece shows).
std::string PatternBytes(std::size_t size);

} // namespace testsupport

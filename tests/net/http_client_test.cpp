// TIdHTTP against the loopback test server: outcomes, progress brackets, request headers,
// cookies, time-outs and cancellation.
#include "TIdHTTP.h"
#include "http_test_support.h"
#include "test_http_server.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <stdexcept>
#include <thread>
#include <tuple>

using namespace std::chrono_literals;
using testsupport::PatternBytes;
using testsupport::ScriptedReply;
using testsupport::TestHttpServer;
using Clock = std::chrono::steady_clock;

namespace {

/// A loopback port with nothing listening on it.
std::uint16_t ClosedPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

class HttpClient : public ::testing::Test {
protected:
    void SetUp() override {
        http.SetStallTimeout(5s); // a hang fails the test quickly instead of after 30 s
        log.Attach(http);
    }

    /// Runs Get and returns the protocol error it raised (fails the test when it raised none).
    EIdHTTPProtocolError ExpectProtocolError(const std::string &path) {
        try {
            http.Get(server.Url(path), sink);
        } catch (const EIdHTTPProtocolError &e) {
            return e;
        }
        ADD_FAILURE() << "no protocol error";
        return EIdHTTPProtocolError(0, "", "");
    }

    TestHttpServer server;
    TIdHTTP http;
    TIdMemorySink sink;
    WorkEventLog log;
};

TEST_F(HttpClient, SucceedsWithTheBodyOfA200Reply) {
    server.Enqueue(ScriptedReply::Ok("1.0.2", "text/plain"));
    http.Get(server.Url("/ver.php"), sink);
    EXPECT_EQ(sink.Data(), "1.0.2");
    EXPECT_EQ(http.ResponseCode(), 200);
    EXPECT_EQ(http.ResponseText(), "OK");
    EXPECT_EQ(http.ResponseContentType(), "text/plain");
}

TEST_F(HttpClient, RepliesOutsideTheSuccessRangeRaiseProtocolErrorsAndWriteNothing) {
    server.Enqueue(ScriptedReply::Status(404, "Not Found", "no such file here"));
    server.Enqueue(ScriptedReply::Status(500, "Internal Server Error", PatternBytes(100000)));
    server.Enqueue(ScriptedReply::Redirect(302, server.Url("/elsewhere")));
    const std::pair<int, const char *> expected[] = {
        {404, "Not Found"}, {500, "Internal Server Error"}, {302, "Found"}};
    for (const auto &[code, reason] : expected) {
        const auto error = ExpectProtocolError("/file");
        EXPECT_EQ(error.ErrorCode(), code);
        EXPECT_EQ(error.Reason(), reason);
        EXPECT_EQ(error.Kind(), TIdHTTPErrorKind::ProtocolError);
        EXPECT_EQ(http.ResponseCode(), code);
    }
    EXPECT_EQ(sink.Size(), 0u);
    EXPECT_TRUE(log.events.empty()) << "an error page must raise no progress event";
    EXPECT_EQ(server.Requests().size(), 3u) << "the redirect must not be followed";
}

TEST_F(HttpClient, ConnectionRefusedRaisesCannotConnect) {
    const std::string url = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/";
    EXPECT_THROW(http.Get(url, sink), EIdCannotConnect);
    EXPECT_TRUE(log.events.empty());
    EXPECT_EQ(http.ResponseCode(), 0);
}

TEST_F(HttpClient, BodyCutShortRaisesConnectionLostAfterWorkEnd) {
    ScriptedReply reply = ScriptedReply::Ok(PatternBytes(10000));
    reply.closeAfterBodyBytes = 4000;
    server.Enqueue(reply);
    std::size_t eventsWhenCaught = 0;
    try {
        http.Get(server.Url("/file"), sink);
        FAIL() << "Get succeeded on a short body";
    } catch (const EIdConnectionLost &) {
        eventsWhenCaught = log.events.size();
    }
    // OnWorkEnd was already raised when the exception arrived here.
    ASSERT_GE(eventsWhenCaught, 2u);
    EXPECT_EQ(log.events.front().kind, WorkEventLog::Begin);
    EXPECT_EQ(log.events.front().value, 10000);
    EXPECT_EQ(log.events[eventsWhenCaught - 1].kind, WorkEventLog::End);
    EXPECT_EQ(log.CountOf(WorkEventLog::End), 1);
}

TEST_F(HttpClient, StalledServerFailsAfterTheStallTimeout) {
    ScriptedReply reply = ScriptedReply::Ok(PatternBytes(10000));
    reply.stallAfterBodyBytes = 100;
    server.Enqueue(reply);
    http.SetStallTimeout(400ms);
    const auto start = Clock::now();
    EXPECT_THROW(http.Get(server.Url("/file"), sink), EIdStalled);
    const auto elapsed = Clock::now() - start;
    EXPECT_GE(elapsed, 350ms);
    EXPECT_LT(elapsed, 1500ms);
    EXPECT_EQ(sink.Size(), 100u);
    EXPECT_EQ(log.events.back().kind, WorkEventLog::End);
}

TEST_F(HttpClient, ATransferUnderTheSpeedFloorStallsHoweverOftenItsBytesCome) {
    EXPECT_EQ(TIdHTTP().SpeedFloor(), 1024) << "on by default";
    // A piece every 100 ms, far inside the stall time-out, for longer than the floor's 1 s period.
    const std::tuple<std::int64_t, std::size_t, std::size_t, std::size_t, bool> cases[] = {
        {1024, 0, 1, 20, true},      // 10 bytes/s
        {1024, 5000, 1, 5025, true}, // 10 bytes/s after a good first period
        {0, 0, 1, 15, false},        // 10 bytes/s with the floor off
        {100, 0, 100, 1500, false},  // 1000 bytes/s
    };
    for (const auto &[floor, burst, piece, size, stalls] : cases) {
        ScriptedReply reply = ScriptedReply::Ok(PatternBytes(size));
        reply.paceAfterBytes = burst;
        reply.paceBytes = piece;
        reply.paceInterval = 100ms;
        server.Enqueue(reply);
        http.SetSpeedFloor(floor, 1s);
        if (stalls)
            EXPECT_THROW(http.Get(server.Url("/drip"), sink), EIdStalled) << burst;
        else
            EXPECT_NO_THROW(http.Get(server.Url("/drip"), sink)) << floor;
    }
}

TEST_F(HttpClient, ServerSilentBeforeTheStatusLineStallsToo) {
    ScriptedReply reply;
    reply.stallBeforeHeaders = true;
    server.Enqueue(reply);
    http.SetStallTimeout(300ms);
    const auto start = Clock::now();
    EXPECT_THROW(http.Get(server.Url("/"), sink), EIdStalled);
    EXPECT_LT(Clock::now() - start, 1500ms);
    EXPECT_TRUE(log.events.empty());
}

TEST_F(HttpClient, PacedReplyWithinTheStallTimeoutSucceeds) {
    ScriptedReply reply = ScriptedReply::Ok(PatternBytes(5000));
    reply.paceBytes = 500;
    reply.paceInterval = 30ms;
    server.Enqueue(reply);
    http.SetStallTimeout(300ms); // shorter than the whole transfer, longer than one pause
    http.Get(server.Url("/slow"), sink);
    EXPECT_EQ(sink.Data(), PatternBytes(5000));
    EXPECT_GE(log.CountOf(WorkEventLog::Work), 2);
}

TEST_F(HttpClient, ChunkedReplyIsOneBracketWithUnknownLength) {
    const std::string body = PatternBytes(100000);
    ScriptedReply reply = ScriptedReply::Ok(body);
    reply.chunked = true;
    reply.chunkSizes = {1000, 7, 30000};
    reply.paceBytes = 8192; // several reads, so several OnWork events
    reply.paceInterval = 2ms;
    server.Enqueue(reply);
    http.Get(server.Url("/chunked"), sink);

    EXPECT_EQ(sink.Data(), body);
    ASSERT_GE(log.events.size(), 3u);
    EXPECT_EQ(log.CountOf(WorkEventLog::Begin), 1);
    EXPECT_EQ(log.CountOf(WorkEventLog::End), 1);
    EXPECT_EQ(log.events.front().kind, WorkEventLog::Begin);
    EXPECT_EQ(log.events.front().value, 0);
    std::int64_t last = 0;
    for (const auto &event : log.events) {
        EXPECT_EQ(event.mode, wmRead);
        if (event.kind == WorkEventLog::Work) {
            EXPECT_GT(event.value, last) << "counts must grow and never restart";
            last = event.value;
        }
    }
    EXPECT_EQ(last, static_cast<std::int64_t>(body.size()));
    EXPECT_EQ(log.events.back().kind, WorkEventLog::End);
}

TEST_F(HttpClient, Empty200SucceedsWithAnEmptyBracket) {
    server.Enqueue(ScriptedReply::Ok(""));
    http.Get(server.Url("/empty"), sink);
    EXPECT_EQ(sink.Size(), 0u);
    ASSERT_EQ(log.events.size(), 2u);
    EXPECT_EQ(log.events[0].kind, WorkEventLog::Begin);
    EXPECT_EQ(log.events[0].value, 0);
    EXPECT_EQ(log.events[1].kind, WorkEventLog::End);
}

TEST_F(HttpClient, OneMebibyteWithALengthRaisesMonotonicProgress) {
    const std::string body = PatternBytes(1 << 20);
    ScriptedReply reply = ScriptedReply::Ok(body);
    reply.paceBytes = std::size_t{64} * 1024;
    reply.paceInterval = 1ms;
    server.Enqueue(reply);
    http.Get(server.Url("/big"), sink);

    EXPECT_EQ(sink.Data(), body);
    ASSERT_FALSE(log.events.empty());
    EXPECT_EQ(log.events.front().kind, WorkEventLog::Begin);
    EXPECT_EQ(log.events.front().mode, wmRead);
    EXPECT_EQ(log.events.front().value, 1 << 20);
    EXPECT_EQ(log.CountOf(WorkEventLog::Begin), 1);
    EXPECT_EQ(log.CountOf(WorkEventLog::End), 1);
    EXPECT_GE(log.CountOf(WorkEventLog::Work), 2);
    std::int64_t last = 0;
    for (std::size_t i = 1; i + 1 < log.events.size(); ++i) {
        ASSERT_EQ(log.events[i].kind, WorkEventLog::Work);
        EXPECT_EQ(log.events[i].mode, wmRead);
        EXPECT_GT(log.events[i].value, last);
        last = log.events[i].value;
    }
    EXPECT_EQ(last, 1 << 20);
    EXPECT_EQ(log.events.back().kind, WorkEventLog::End);
}

TEST_F(HttpClient, SendsExactlyTheRequestHeadersSet) {
    server.Enqueue(ScriptedReply::Ok("x"));
    http.Request().ContentType = "text/xml; charset=utf-8";
    http.Request().ContentEncoding = "utf-8";
    http.Get(server.Url("/ver.php?appname=iso&ver=10"), sink);

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const auto &request = requests[0];
    EXPECT_EQ(request.requestLine, "GET /ver.php?appname=iso&ver=10 HTTP/1.1");
    EXPECT_EQ(request.Header("Host"), "127.0.0.1:" + std::to_string(server.Port()));
    EXPECT_EQ(request.Header("Accept"), "text/html, */*");
    EXPECT_EQ(request.Header("User-Agent"), "Mozilla/3.0 (compatible; Indy Library)");
    EXPECT_EQ(request.Header("Content-Type"), "text/xml; charset=utf-8");
    EXPECT_EQ(request.Header("Content-Encoding"), "utf-8");
    EXPECT_FALSE(request.HasHeader("Accept-Encoding"));
    EXPECT_FALSE(request.HasHeader("Cookie"));
    EXPECT_EQ(request.headers.size(), 5u);
}

TEST_F(HttpClient, DefaultRequestSendsNoContentHeaders) {
    server.Enqueue(ScriptedReply::Ok("x"));
    http.Get(server.Url("/program_download/Zorvane_Online_Sardel.exe"), sink);
    const auto request = server.Requests().at(0);
    EXPECT_EQ(request.requestLine, "GET /program_download/Zorvane_Online_Sardel.exe HTTP/1.1");
    EXPECT_FALSE(request.HasHeader("Content-Type"));
    EXPECT_FALSE(request.HasHeader("Content-Encoding"));
    EXPECT_EQ(request.headers.size(), 3u); // Host, User-Agent, Accept
}

TEST_F(HttpClient, ForceEncodeParamsEncodesUnsafeQueryCharacters) {
    server.Enqueue(ScriptedReply::Ok("x"));
    http.Get(server.Url("/ver.php?name=a b&q=\"x\"&done=%41"), sink);
    EXPECT_EQ(server.Requests().at(0).requestLine,
              "GET /ver.php?name=a%20b&q=%22x%22&done=%41 HTTP/1.1");
}

TEST_F(HttpClient, CookiesAreReturnedOnALaterRequestOnlyWhenAllowed) {
    for (const bool allowed : {true, false}) {
        TestHttpServer cookieServer;
        TIdHTTP client;
        client.SetAllowCookies(allowed);
        ScriptedReply first = ScriptedReply::Ok("one");
        first.headers.push_back({"Set-Cookie", "session=abc123; Path=/"});
        cookieServer.Enqueue(first);
        cookieServer.Enqueue(ScriptedReply::Ok("two"));
        client.Get(cookieServer.Url("/login"), sink);
        client.Get(cookieServer.Url("/next"), sink);

        const auto requests = cookieServer.Requests();
        ASSERT_EQ(requests.size(), 2u);
        EXPECT_FALSE(requests[0].HasHeader("Cookie"));
        EXPECT_EQ(requests[1].Header("Cookie"), allowed ? "session=abc123" : "");
    }
}

TEST_F(HttpClient, CancelFromAnotherThreadEndsAStalledGetWithin250ms) {
    ScriptedReply reply = ScriptedReply::Ok(PatternBytes(10000));
    reply.stallAfterBodyBytes = 1000;
    server.Enqueue(reply);
    http.SetStallTimeout(30s);
    TIdMemorySink threadSink;
    auto outcome = std::async(std::launch::async, [&] {
        try {
            http.Get(server.Url("/file"), threadSink);
        } catch (const EIdCancelled &) {
            return Clock::now();
        }
        throw std::runtime_error("Get was not cancelled");
    });
    while (server.Requests().empty())
        std::this_thread::sleep_for(5ms);
    std::this_thread::sleep_for(300ms); // well inside the stall: curl sits in its poll
    const auto cancelledAt = Clock::now();
    http.Cancel();
    ASSERT_EQ(outcome.wait_for(2s), std::future_status::ready);
    EXPECT_LT(outcome.get() - cancelledAt, 250ms);
    EXPECT_EQ(log.events.back().kind, WorkEventLog::End);
}

TEST_F(HttpClient, CancelBeforeGetAppliesToTheNextGetOnly) {
    server.Enqueue(ScriptedReply::Ok("after"));
    http.Cancel();
    EXPECT_THROW(http.Get(server.Url("/"), sink), EIdCancelled);
    http.Get(server.Url("/"), sink);
    EXPECT_EQ(sink.Data(), "after");
}

TEST_F(HttpClient, FailingSinkRaisesSinkFailed) {
    struct BrokenSink : TIdSink {
        void Add(const char *, std::size_t) override { throw std::runtime_error("disk on fire"); }
    } broken;
    server.Enqueue(ScriptedReply::Ok(PatternBytes(1000)));
    try {
        http.Get(server.Url("/file"), broken);
        FAIL() << "Get succeeded into a broken sink";
    } catch (const EIdSinkFailed &e) {
        EXPECT_NE(std::string(e.what()).find("disk on fire"), std::string::npos);
        EXPECT_EQ(e.Kind(), TIdHTTPErrorKind::SinkFailed);
    }
    EXPECT_EQ(log.events.back().kind, WorkEventLog::End);
}

TEST_F(HttpClient, FullDiskRaisesSinkFailed) {
    if (access("/dev/full", W_OK) != 0)
        GTEST_SKIP() << "no /dev/full";
    server.Enqueue(ScriptedReply::Ok(PatternBytes(1 << 20)));
    TIdFileSink full("/dev/full");
    try {
        http.Get(server.Url("/file"), full);
        full.Close();
        FAIL() << "a full disk went unnoticed";
    } catch (const EIdSinkFailed &e) {
        EXPECT_NE(std::string(e.what()).find("No space left"), std::string::npos) << e.what();
    }
}

TEST_F(HttpClient, ExceptionFromAHandlerEndsGetAfterWorkEnd) {
    bool workEnded = false;
    http.OnWork = [](TIdHTTP &, TWorkMode, std::int64_t) { throw std::logic_error("handler"); };
    http.OnWorkEnd = [&](TIdHTTP &, TWorkMode) { workEnded = true; };
    server.Enqueue(ScriptedReply::Ok(PatternBytes(1000)));
    EXPECT_THROW(http.Get(server.Url("/"), sink), std::logic_error);
    EXPECT_TRUE(workEnded);
}

TEST_F(HttpClient, ClientIsReusableAfterAFailureAndADisconnect) {
    server.Enqueue(ScriptedReply::Status(404, "Not Found"));
    server.Enqueue(ScriptedReply::Ok("first"));
    server.Enqueue(ScriptedReply::Ok("second"));
    EXPECT_THROW(http.Get(server.Url("/"), sink), EIdHTTPProtocolError);
    http.Get(server.Url("/"), sink);
    EXPECT_EQ(sink.Data(), "first");
    http.Disconnect();
    sink.Clear();
    http.Get(server.Url("/"), sink);
    EXPECT_EQ(sink.Data(), "second");
    http.Disconnect();
    http.Disconnect();
}

} // namespace

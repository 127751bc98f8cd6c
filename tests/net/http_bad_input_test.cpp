// Whatever the server sends, Get either succeeds with exactly the bytes the reply carried or
// raises one of our exceptions, within its time-outs.
#include "TIdHTTP.h"
#include "http_test_support.h"
#include "test_http_server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>

using namespace std::chrono_literals;
using testsupport::PatternBytes;
using testsupport::ScriptedReply;
using testsupport::TestHttpServer;

namespace {

struct Outcome {
    bool succeeded = false;
    std::optional<TIdHTTPErrorKind> kind;
    std::string body;
    std::chrono::steady_clock::duration elapsed{};
    WorkEventLog log;
};

/// Sends `raw` as the whole reply (then closes) and reports what Get did. Any exception that is
/// not ours fails the test.
Outcome GetRaw(const std::string &raw) {
    TestHttpServer server;
    ScriptedReply reply;
    reply.raw = raw;
    server.Enqueue(reply);
    TIdHTTP http;
    http.SetStallTimeout(2s);
    Outcome outcome;
    outcome.log.Attach(http);
    TIdMemorySink sink;
    const auto start = std::chrono::steady_clock::now();
    try {
        http.Get(server.Url("/"), sink);
        outcome.succeeded = true;
    } catch (const EIdHTTPError &e) {
        outcome.kind = e.Kind();
    }
    outcome.elapsed = std::chrono::steady_clock::now() - start;
    outcome.body = sink.Data();
    return outcome;
}

void ExpectFailure(const Outcome &outcome, TIdHTTPErrorKind kind) {
    EXPECT_FALSE(outcome.succeeded);
    ASSERT_TRUE(outcome.kind.has_value());
    EXPECT_EQ(*outcome.kind, kind);
    EXPECT_LT(outcome.elapsed, 2500ms);
    if (!outcome.log.events.empty()) {
        EXPECT_EQ(outcome.log.events.back().kind, WorkEventLog::End);
    }
}

TEST(HttpBadInput, GarbageStatusLineIsAProtocolError) {
    const auto outcome = GetRaw("GARBAGE GARBAGE\r\n\r\nhello");
    ExpectFailure(outcome, TIdHTTPErrorKind::ProtocolError);
    EXPECT_TRUE(outcome.body.empty());
}

TEST(HttpBadInput, BinaryNoiseIsAProtocolError) {
    std::string noise = PatternBytes(3000);
    noise[0] = '\x01';
    ExpectFailure(GetRaw(noise), TIdHTTPErrorKind::ProtocolError);
}

TEST(HttpBadInput, StatusOutsideTheThreeDigitsIsAnError) {
    const auto outcome = GetRaw("HTTP/1.1 2000 OK\r\nContent-Length: 5\r\n\r\nhello");
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_TRUE(outcome.kind.has_value());
    EXPECT_TRUE(outcome.body.empty());
}

TEST(HttpBadInput, NegativeContentLengthFails) {
    const auto outcome = GetRaw("HTTP/1.1 200 OK\r\nContent-Length: -5\r\n\r\nhello");
    ExpectFailure(outcome, TIdHTTPErrorKind::ProtocolError);
    EXPECT_TRUE(outcome.body.empty());
}

TEST(HttpBadInput, AbsurdContentLengthFails) {
    const auto outcome =
        GetRaw("HTTP/1.1 200 OK\r\nContent-Length: 999999999999999999999999\r\n\r\nhello");
    ExpectFailure(outcome, TIdHTTPErrorKind::ProtocolError);
    EXPECT_TRUE(outcome.body.empty());
}

TEST(HttpBadInput, LengthAbove2GiBIsAnnouncedInFullAndAShortBodyFails) {
    const auto outcome =
        GetRaw("HTTP/1.1 200 OK\r\nContent-Length: 3000000000\r\n\r\n" + PatternBytes(1000));
    ExpectFailure(outcome, TIdHTTPErrorKind::ConnectionLost);
    ASSERT_FALSE(outcome.log.events.empty());
    EXPECT_EQ(outcome.log.events.front().value, 3000000000LL);
    EXPECT_EQ(outcome.body, PatternBytes(1000));
}

TEST(HttpBadInput, HeadersWithoutTheAnnouncedBodyFail) {
    ExpectFailure(GetRaw("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n"),
                  TIdHTTPErrorKind::ConnectionLost);
}

TEST(HttpBadInput, HeadersWithoutLengthAndWithoutBodyAreAnEmptySuccess) {
    const auto outcome = GetRaw("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n");
    EXPECT_TRUE(outcome.succeeded);
    EXPECT_TRUE(outcome.body.empty());
}

TEST(HttpBadInput, BodyReadUntilCloseIsKeptWhole) {
    const auto outcome =
        GetRaw("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + PatternBytes(70000));
    EXPECT_TRUE(outcome.succeeded);
    EXPECT_EQ(outcome.body, PatternBytes(70000));
    EXPECT_EQ(outcome.log.events.front().value, 0);
}

TEST(HttpBadInput, BodyLongerThanAnnouncedKeepsTheAnnouncedBytes) {
    const auto outcome = GetRaw("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhelloEXTRA BYTES");
    EXPECT_TRUE(outcome.succeeded);
    EXPECT_EQ(outcome.body, "hello");
}

TEST(HttpBadInput, HeaderBlockCutOffFails) {
    const auto outcome = GetRaw("HTTP/1.1 200 OK\r\nContent-Len");
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_TRUE(outcome.kind.has_value());
    EXPECT_TRUE(outcome.log.events.empty());
}

TEST(HttpBadInput, NoReplyAtAllIsConnectionLost) {
    TestHttpServer server;
    ScriptedReply reply;
    reply.closeWithoutReply = true;
    server.Enqueue(reply);
    TIdHTTP http;
    TIdMemorySink sink;
    EXPECT_THROW(http.Get(server.Url("/"), sink), EIdConnectionLost);
}

TEST(HttpBadInput, BadChunkSizeFails) {
    const auto outcome =
        GetRaw("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\nhello\r\n0\r\n\r\n");
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_TRUE(outcome.kind.has_value());
}

TEST(HttpBadInput, ChunkedBodyCutShortIsConnectionLost) {
    const auto outcome =
        GetRaw("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n10\r\n0123456789");
    ExpectFailure(outcome, TIdHTTPErrorKind::ConnectionLost);
}

TEST(HttpBadInput, ChunkedWinsOverAContentLength) {
    const auto outcome = GetRaw("HTTP/1.1 200 OK\r\nContent-Length: 3\r\nTransfer-Encoding: "
                                "chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n");
    if (outcome.succeeded) {
        EXPECT_EQ(outcome.body, "hello");
        EXPECT_EQ(outcome.log.events.front().value, 0);
    } else {
        EXPECT_TRUE(outcome.kind.has_value());
    }
}

TEST(HttpBadInput, InterimReplyBeforeTheFinalOneIsSkipped) {
    const auto outcome = GetRaw("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\n"
                                "Content-Length: 5\r\n\r\nhello");
    EXPECT_TRUE(outcome.succeeded);
    EXPECT_EQ(outcome.body, "hello");
    EXPECT_EQ(outcome.log.CountOf(WorkEventLog::Begin), 1);
}

} // namespace

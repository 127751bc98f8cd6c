// Whatever the server sends, Get either succeeds with exactly the bytes the reply carried or
// raises one of our exceptions, within its time-outs, with a closed progress bracket.
#include "TIdHTTP.h"
#include "http_test_support.h"
#include "test_http_server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <ostream>

using namespace std::chrono_literals;
using testsupport::PatternBytes;
using testsupport::ScriptedReply;
using testsupport::TestHttpServer;

namespace {

/// What a reply must lead to: success with `body`, a given kind of failure, or any failure.
enum class Expect { Success, ProtocolError, ConnectionLost, AnyError, CutAtBound };

struct BadReply {
    const char *name;
    std::string raw;
    Expect expect;
    std::string body{}; // for Success: exactly these bytes
    bool requireFraming = false;
    std::int64_t maxBodySize = -1;
    std::int64_t resumeFrom = -1;
};

/// Names the case in test listings instead of dumping its bytes.
void PrintTo(const BadReply &reply, std::ostream *out) {
    *out << reply.name;
}

struct Outcome {
    bool succeeded = false;
    std::optional<TIdHTTPErrorKind> kind;
    std::string body;
    std::chrono::steady_clock::duration elapsed{};
    WorkEventLog log;
};

/// Sends `reply` to one Get and reports what it did. An exception that is not ours escapes and
/// fails the test.
Outcome Fetch(const ScriptedReply &reply, const TIdHTTPRequest &request = {}) {
    TestHttpServer server;
    server.Enqueue(reply);
    TIdHTTP http;
    http.Request() = request;
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

Outcome FetchRaw(const std::string &raw, const TIdHTTPRequest &request = {}) {
    ScriptedReply reply;
    reply.raw = raw;
    return Fetch(reply, request);
}

class HttpBadInput : public ::testing::TestWithParam<BadReply> {};

TEST_P(HttpBadInput, SucceedsWithExactBytesOrRaisesOurError) {
    const BadReply &bad = GetParam();
    TIdHTTPRequest request;
    request.ResumeFrom = bad.resumeFrom;
    request.RequireFraming = bad.requireFraming;
    request.MaxBodySize = bad.maxBodySize;
    const Outcome outcome = FetchRaw(bad.raw, request);

    EXPECT_LT(outcome.elapsed, 2500ms) << "hung past the stall time-out";
    const int begins = outcome.log.CountOf(WorkEventLog::Begin);
    EXPECT_LE(begins, 1);
    EXPECT_EQ(outcome.log.CountOf(WorkEventLog::End), begins) << "bracket left open";
    switch (bad.expect) {
    case Expect::Success:
        ASSERT_TRUE(outcome.succeeded) << "failed with kind " << int(outcome.kind.value());
        EXPECT_EQ(outcome.body, bad.body);
        EXPECT_EQ(begins, 1);
        break;
    case Expect::ProtocolError:
        ASSERT_FALSE(outcome.succeeded);
        EXPECT_EQ(outcome.kind, TIdHTTPErrorKind::ProtocolError);
        EXPECT_TRUE(outcome.body.empty());
        EXPECT_EQ(begins, 0);
        break;
    case Expect::ConnectionLost:
        ASSERT_FALSE(outcome.succeeded);
        EXPECT_EQ(outcome.kind, TIdHTTPErrorKind::ConnectionLost);
        break;
    case Expect::AnyError:
        EXPECT_FALSE(outcome.succeeded);
        EXPECT_TRUE(outcome.kind.has_value());
        break;
    case Expect::CutAtBound:
        EXPECT_EQ(outcome.kind, TIdHTTPErrorKind::ProtocolError);
        EXPECT_EQ(outcome.body, bad.body);
        break;
    }
}

std::string WithNoise() {
    std::string noise = PatternBytes(3000);
    noise[0] = '\x01';
    return noise;
}

const std::string kOk = "HTTP/1.1 200 OK\r\n";
const std::string kChunked = kOk + "Transfer-Encoding: chunked\r\n\r\n";
const std::string kPartial = "HTTP/1.1 206 Partial Content\r\n";

const BadReply kBadReplies[] = {
    {"GarbageStatusLine", "GARBAGE GARBAGE\r\n\r\nhello", Expect::ProtocolError},
    {"BinaryNoise", WithNoise(), Expect::ProtocolError},
    {"FourDigitStatus", "HTTP/1.1 2000 OK\r\nContent-Length: 5\r\n\r\nhello", Expect::AnyError},
    {"NegativeLength", kOk + "Content-Length: -5\r\n\r\nhello", Expect::ProtocolError},
    {"OverflowingLength", kOk + "Content-Length: 999999999999999999999999\r\n\r\nhello",
     Expect::ProtocolError},
    {"HeadersWithoutTheAnnouncedBody", kOk + "Content-Length: 100\r\n\r\n", Expect::ConnectionLost},
    {"HeadersWithoutLengthOrBody", kOk + "Connection: close\r\n\r\n", Expect::Success},
    {"BodyReadUntilClose", kOk + "Connection: close\r\n\r\n" + PatternBytes(70000), Expect::Success,
     PatternBytes(70000)},
    {"BodyLongerThanAnnounced", kOk + "Content-Length: 5\r\n\r\nhelloEXTRA BYTES", Expect::Success,
     "hello"},
    {"HeaderBlockCutOff", kOk + "Content-Len", Expect::AnyError},
    {"BadChunkSize", kChunked + "zz\r\nhello\r\n0\r\n\r\n", Expect::AnyError},
    {"ChunkedBodyCutShort", kChunked + "10\r\n0123456789", Expect::ConnectionLost},
    {"ChunkedBesideALength",
     kOk + "Content-Length: 3\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n",
     Expect::Success, "hello"},
    {"InterimReplyFirst",
     "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello",
     Expect::Success, "hello"},
    // Bounds a request sets: framing required (true), the largest resource (5 bytes).
    {"UnframedRefused", kOk + "\r\nhello", Expect::ProtocolError, "", true},
    {"UnframedContinuationRefused", kPartial + "Content-Range: bytes 3-4/5\r\n\r\nlo",
     Expect::ProtocolError, "", true, -1, 3},
    {"LengthAtTheBound", kOk + "Content-Length: 5\r\n\r\nhello", Expect::Success, "hello", true, 5},
    {"LengthAboveTheBound", kOk + "Content-Length: 6\r\n\r\nhello!", Expect::ProtocolError, "",
     false, 5},
    {"ContinuationOfAResourceAboveTheBound", kPartial + "Content-Range: bytes 3-5/6\r\n\r\nlo!",
     Expect::ProtocolError, "", false, 5, 3},
    {"ChunkedUpToTheBound", kChunked + "3\r\nhel\r\n2\r\nlo\r\n0\r\n\r\n", Expect::Success, "hello",
     true, 5},
    {"ChunkedPastTheBound", kChunked + "3\r\nhel\r\n3\r\nlo!\r\n0\r\n\r\n", Expect::CutAtBound,
     "hel", false, 5},
    {"UnframedPastTheBound", kOk + "\r\nhello!", Expect::CutAtBound, "", false, 5},
};

INSTANTIATE_TEST_SUITE_P(Replies, HttpBadInput, ::testing::ValuesIn(kBadReplies),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(HttpBadInputLength, LengthAbove2GiBIsAnnouncedInFullAndAShortBodyFails) {
    const Outcome outcome =
        FetchRaw("HTTP/1.1 200 OK\r\nContent-Length: 3000000000\r\n\r\n" + PatternBytes(1000));
    EXPECT_EQ(outcome.kind, TIdHTTPErrorKind::ConnectionLost);
    ASSERT_FALSE(outcome.log.events.empty());
    EXPECT_EQ(outcome.log.events.front().value, 3000000000LL);
    EXPECT_EQ(outcome.log.events.back().kind, WorkEventLog::End);
}

TEST(HttpBadInputLength, NoReplyAtAllIsConnectionLost) {
    ScriptedReply reply;
    reply.closeWithoutReply = true;
    const Outcome outcome = Fetch(reply);
    EXPECT_EQ(outcome.kind, TIdHTTPErrorKind::ConnectionLost);
    EXPECT_TRUE(outcome.log.events.empty());
}

} // namespace

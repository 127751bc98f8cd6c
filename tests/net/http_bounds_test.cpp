// The bounds a client puts on what a server may send: framing, the size of the resource, and the
// speed floor that a dripping server cannot get under.
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

constexpr std::int64_t kBound = 1000;

enum class Expect {
    Taken,             // the whole body, as sent
    RefusedBeforeBody, // a protocol error with no bracket and an empty sink
    CutAtBound,        // a protocol error after at most kBound bytes of the body
};

ScriptedReply Reply(std::size_t size, bool framed = true) {
    ScriptedReply reply = ScriptedReply::Ok(PatternBytes(size));
    reply.autoContentLength = framed;
    return reply;
}

/// Sent in pieces of about 100 body bytes, so a bound falls between pieces.
ScriptedReply Paced(ScriptedReply reply) {
    reply.paceBytes = 105;
    reply.paceInterval = 1ms;
    return reply;
}

ScriptedReply Chunked(std::size_t size) {
    ScriptedReply reply = Paced(Reply(size));
    reply.chunked = true;
    reply.chunkSizes = {100};
    return reply;
}

ScriptedReply Continuation(std::size_t from, std::size_t total, bool framed = true) {
    ScriptedReply reply = Reply(total - from, framed);
    reply.body = PatternBytes(total).substr(from);
    reply.statusLine = "HTTP/1.1 206 Partial Content";
    reply.headers.push_back({"Content-Range", "bytes " + std::to_string(from) + "-" +
                                                  std::to_string(total - 1) + "/" +
                                                  std::to_string(total)});
    return reply;
}

struct BoundCase {
    const char *name;
    ScriptedReply reply;
    bool requireFraming;
    std::int64_t maxBodySize;
    std::int64_t resumeFrom;
    Expect expect;
};

/// Names the case in test listings instead of dumping its bytes.
void PrintTo(const BoundCase &bound, std::ostream *out) {
    *out << bound.name;
}

/// Takes a body from any offset, so continuations reach the bounds.
struct AnyOffsetSink : TIdSink {
    void Begin(std::int64_t) override {}
    void Add(const char *data, std::size_t len) override { bytes.append(data, len); }
    std::string bytes;
};

class HttpBounds : public ::testing::TestWithParam<BoundCase> {};

TEST_P(HttpBounds, RequestBoundsTakeOrRefuseTheBody) {
    const BoundCase &bound = GetParam();
    TestHttpServer server;
    server.Enqueue(bound.reply);
    TIdHTTP http;
    http.SetStallTimeout(5s);
    http.Request().RequireFraming = bound.requireFraming;
    http.Request().MaxBodySize = bound.maxBodySize;
    http.Request().ResumeFrom = bound.resumeFrom;
    WorkEventLog log;
    log.Attach(http);
    AnyOffsetSink sink;
    std::optional<TIdHTTPErrorKind> kind;
    std::string message;
    try {
        http.Get(server.Url("/file"), sink);
    } catch (const EIdHTTPError &e) {
        kind = e.Kind();
        message = e.what();
    }
    SCOPED_TRACE(message);

    EXPECT_EQ(log.CountOf(WorkEventLog::Begin), log.CountOf(WorkEventLog::End));
    const std::string &body = bound.reply.body;
    switch (bound.expect) {
    case Expect::Taken:
        EXPECT_FALSE(kind.has_value());
        EXPECT_EQ(sink.bytes, body);
        break;
    case Expect::RefusedBeforeBody:
        EXPECT_EQ(kind, TIdHTTPErrorKind::ProtocolError);
        EXPECT_TRUE(log.events.empty()) << "a refused reply opens no bracket";
        EXPECT_EQ(sink.bytes.size(), 0u);
        break;
    case Expect::CutAtBound:
        EXPECT_EQ(kind, TIdHTTPErrorKind::ProtocolError);
        EXPECT_LE(sink.bytes.size(), std::size_t(kBound));
        EXPECT_EQ(sink.bytes, body.substr(0, sink.bytes.size()));
        break;
    }
}

const BoundCase kBoundCases[] = {
    {"UnframedBodyWhenFramingIsRequired", Reply(500, false), true, -1, -1,
     Expect::RefusedBeforeBody},
    {"EmptyUnframedBodyWhenFramingIsRequired", Reply(0, false), true, -1, -1,
     Expect::RefusedBeforeBody},
    {"UnframedContinuationWhenFramingIsRequired", Continuation(300, 800, false), true, -1, 300,
     Expect::RefusedBeforeBody},
    {"LengthWhenFramingIsRequired", Reply(500), true, -1, -1, Expect::Taken},
    {"ChunkedWhenFramingIsRequired", Chunked(500), true, -1, -1, Expect::Taken},
    {"ContinuationWhenFramingIsRequired", Continuation(300, 800), true, -1, 300, Expect::Taken},
    {"UnframedBodyByDefault", Reply(500, false), false, -1, -1, Expect::Taken},
    {"LengthAtTheBound", Reply(kBound), false, kBound, -1, Expect::Taken},
    {"LengthAboveTheBound", Reply(kBound + 1), false, kBound, -1, Expect::RefusedBeforeBody},
    {"ContinuationOfAResourceAboveTheBound", Continuation(900, kBound + 1), false, kBound, 900,
     Expect::RefusedBeforeBody},
    {"ChunkedAtTheBound", Chunked(kBound), false, kBound, -1, Expect::Taken},
    {"ChunkedGrowingPastTheBound", Chunked(3 * kBound), false, kBound, -1, Expect::CutAtBound},
    {"UnframedGrowingPastTheBound", Paced(Reply(3 * kBound, false)), false, kBound, -1,
     Expect::CutAtBound},
};

INSTANTIATE_TEST_SUITE_P(Replies, HttpBounds, ::testing::ValuesIn(kBoundCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(HttpSpeedFloor, ATransferUnderTheFloorStallsHoweverOftenItsBytesCome) {
    EXPECT_EQ(TIdHTTP().SpeedFloor(), 1024) << "on by default";
    EXPECT_EQ(TIdHTTP().SpeedFloorPeriod(), 60s);
    struct Case {
        const char *name;
        std::int64_t floor; // bytes per second over 1 s
        std::size_t burst;  // sent at once before the pieces
        std::size_t bytesPer100ms;
        std::size_t size;
        bool stalls;
    };
    // Every case sends a piece each 100 ms, far inside the stall time-out, and lasts longer
    // than one period of the floor.
    const Case cases[] = {
        {"10 bytes/s under a floor of 1 KiB/s", 1024, 0, 1, 20, true},
        {"10 bytes/s after a good first second", 1024, 5000, 1, 5025, true},
        {"10 bytes/s with the floor off", 0, 0, 1, 15, false},
        {"1000 bytes/s over a floor of 100 bytes/s", 100, 0, 100, 1500, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TestHttpServer server;
        ScriptedReply reply = Reply(c.size);
        reply.paceBytes = c.bytesPer100ms;
        reply.paceInterval = 100ms;
        reply.paceAfterBytes = c.burst;
        server.Enqueue(reply);
        TIdHTTP http;
        http.SetStallTimeout(5s);
        http.SetSpeedFloor(c.floor, 1s);
        TIdMemorySink sink;
        if (c.stalls) {
            EXPECT_THROW(http.Get(server.Url("/drip"), sink), EIdStalled);
            EXPECT_LT(sink.Size(), c.size);
        } else {
            EXPECT_NO_THROW(http.Get(server.Url("/drip"), sink));
            EXPECT_EQ(sink.Data(), reply.body);
        }
    }
}

} // namespace

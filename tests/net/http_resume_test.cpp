// Resuming a download: the Range and If-Range request, continuations checked against what was
// asked before a byte is appended, a whole reply that restarts the file, the validators of a
// reply, and the file sink that keeps what it already holds.
#include "TIdHTTP.h"
#include "http_test_support.h"
#include "scratch_folder.h"
#include "test_http_server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

using namespace std::chrono_literals;
using testsupport::PatternBytes;
using testsupport::ScriptedReply;
using testsupport::TestHttpServer;

namespace {

constexpr std::int64_t kTotal = 300000;
constexpr std::int64_t kKept = 120000;

ScriptedReply Continuation(const std::string &whole, std::int64_t from, const std::string &range) {
    ScriptedReply reply = ScriptedReply::Ok(whole.substr(static_cast<std::size_t>(from)));
    reply.statusLine = "HTTP/1.1 206 Partial Content";
    reply.headers.push_back({"Content-Range", range});
    reply.headers.push_back({"ETag", "\"v1\""});
    return reply;
}

std::string Range(std::int64_t first, std::int64_t last, std::int64_t length) {
    return "bytes " + std::to_string(first) + "-" + std::to_string(last) + "/" +
           std::to_string(length);
}

class HttpResume : public ::testing::Test {
protected:
    void SetUp() override {
        http.SetStallTimeout(5s);
        log.Attach(http);
        // The part a first, failed transfer left behind.
        harness::WriteFile(path, whole.substr(0, kKept));
        http.Request().ResumeFrom = kKept;
        http.Request().IfRange = "\"v1\"";
        http.Request().ResumeTotal = kTotal;
    }

    std::string File() const { return harness::ReadFile(path); }

    const std::string whole = PatternBytes(kTotal);
    harness::ScratchFolder folder;
    const std::filesystem::path path = folder.Path() / "client.exe.part";
    TestHttpServer server;
    TIdHTTP http;
    WorkEventLog log;
};

TEST_F(HttpResume, AMatchingContinuationIsAppendedAndCountsTheWholeFile) {
    server.Enqueue(Continuation(whole, kKept, Range(kKept, kTotal - 1, kTotal)));
    TIdFileSink sink(path, TIdFileSink::Keep);
    http.Get(server.Url("/client.exe"), sink);
    sink.Close();

    EXPECT_EQ(File(), whole);
    const auto request = server.Requests().at(0);
    EXPECT_EQ(request.Header("Range"), "bytes=120000-");
    EXPECT_EQ(request.Header("If-Range"), "\"v1\"");
    EXPECT_EQ(http.ResponseCode(), 206);
    EXPECT_EQ(http.ResponseRangeStart(), kKept);
    EXPECT_EQ(http.ResponseFullLength(), kTotal);
    ASSERT_GE(log.events.size(), 3u);
    EXPECT_EQ(log.events.front().value, kTotal) << "the bar's maximum is the whole length";
    EXPECT_GT(log.events[1].value, kKept) << "the count goes on from the kept part";
    EXPECT_EQ(log.events[log.events.size() - 2].value, kTotal);
}

TEST_F(HttpResume, AWholeReplyStartsTheFileAgain) {
    // The file changed on the server: If-Range makes it send the whole new file with a 200.
    const std::string changed = PatternBytes(kTotal + 5).substr(5);
    ScriptedReply reply = ScriptedReply::Ok(changed);
    reply.headers.push_back({"ETag", "\"v2\""});
    server.Enqueue(reply);
    TIdFileSink sink(path, TIdFileSink::Keep);
    http.Get(server.Url("/client.exe"), sink);
    sink.Close();

    EXPECT_EQ(File(), changed);
    EXPECT_EQ(http.ResponseRangeStart(), 0);
    EXPECT_EQ(http.ResponseETag(), "\"v2\"");
    EXPECT_EQ(log.events.front().value, kTotal);
    EXPECT_LE(log.events[1].value, kTotal - kKept) << "counts restart with the whole file";
}

TEST_F(HttpResume, ContinuationsThatDoNotFitAreRefusedBeforeAByteIsAppended) {
    ScriptedReply lengthDisagrees = Continuation(whole, kKept, Range(kKept, kTotal - 1, kTotal));
    lengthDisagrees.autoContentLength = false;
    lengthDisagrees.headers.push_back({"Content-Length", "1000"});
    lengthDisagrees.body.resize(1000);
    const std::pair<const char *, ScriptedReply> cases[] = {
        {"starts earlier", Continuation(whole, kKept - 10, Range(kKept - 10, kTotal - 1, kTotal))},
        {"starts later", Continuation(whole, kKept + 10, Range(kKept + 10, kTotal - 1, kTotal))},
        {"another full length",
         Continuation(whole + "xx", kKept, Range(kKept, kTotal + 1, kTotal + 2))},
        {"stops before the end",
         Continuation(whole.substr(0, kTotal - 10), kKept, Range(kKept, kTotal - 11, kTotal))},
        {"unknown full length", Continuation(whole, kKept, "bytes 120000-299999/*")},
        {"no Content-Range", Continuation(whole, kKept, "")},
        {"garbage Content-Range", Continuation(whole, kKept, "bytes 120000-abc/300000")},
        {"another unit", Continuation(whole, kKept, "items 120000-299999/300000")},
        {"body length disagrees", lengthDisagrees},
    };
    for (const auto &[what, reply] : cases) {
        server.Enqueue(reply);
        TIdFileSink sink(path, TIdFileSink::Keep);
        log.events.clear();
        try {
            http.Get(server.Url("/client.exe"), sink);
            ADD_FAILURE() << what << ": accepted";
        } catch (const EIdRangeMismatch &e) {
            EXPECT_EQ(e.Kind(), TIdHTTPErrorKind::ProtocolError) << what;
        } catch (const std::exception &e) {
            ADD_FAILURE() << what << ": " << e.what();
        }
        sink.Close();
        EXPECT_EQ(File(), whole.substr(0, kKept)) << what << ": the kept part must stay as it was";
        EXPECT_TRUE(log.events.empty()) << what;
    }
}

TEST_F(HttpResume, AContinuationCutShortFailsAsALostConnectionAndKeepsWhatArrived) {
    ScriptedReply reply = Continuation(whole, kKept, Range(kKept, kTotal - 1, kTotal));
    reply.closeAfterBodyBytes = 50000;
    server.Enqueue(reply);
    TIdFileSink sink(path, TIdFileSink::Keep);
    EXPECT_THROW(http.Get(server.Url("/client.exe"), sink), EIdConnectionLost);
    sink.Close();
    EXPECT_EQ(File(), whole.substr(0, kKept + 50000));
    EXPECT_EQ(http.ResponseETag(), "\"v1\"");
    EXPECT_EQ(http.ResponseFullLength(), kTotal);
}

TEST_F(HttpResume, AFirstTransferCutShortStillTellsItsValidatorsAndLength) {
    http.Request().ResumeFrom = -1;
    ScriptedReply reply = ScriptedReply::Ok(whole);
    reply.headers.push_back({"ETag", "W/\"weak\""});
    reply.headers.push_back({"Last-Modified", "Tue, 02 Jan 2024 10:00:00 GMT"});
    reply.headers.push_back({"Date", "Tue, 02 Jan 2024 10:05:00 GMT"});
    reply.closeAfterBodyBytes = 1000;
    server.Enqueue(reply);
    TIdFileSink sink(path);
    EXPECT_THROW(http.Get(server.Url("/client.exe"), sink), EIdConnectionLost);
    EXPECT_FALSE(server.Requests().at(0).HasHeader("Range"));
    EXPECT_FALSE(server.Requests().at(0).HasHeader("If-Range"));
    EXPECT_EQ(http.ResponseETag(), "W/\"weak\"");
    EXPECT_EQ(http.ResponseLastModified(), "Tue, 02 Jan 2024 10:00:00 GMT");
    EXPECT_EQ(http.ResponseDate(), "Tue, 02 Jan 2024 10:05:00 GMT");
    EXPECT_EQ(http.ResponseFullLength(), kTotal);
}

TEST_F(HttpResume, PartialContentNobodyAskedForIsNotTheFile) {
    http.Request().ResumeFrom = -1;
    server.Enqueue(Continuation(whole, kKept, Range(kKept, kTotal - 1, kTotal)));
    TIdMemorySink sink;
    try {
        http.Get(server.Url("/client.exe"), sink);
        FAIL() << "a 206 to a whole request was accepted";
    } catch (const EIdHTTPProtocolError &e) {
        EXPECT_EQ(e.ErrorCode(), 206);
    }
    EXPECT_EQ(sink.Size(), 0u);
    EXPECT_TRUE(log.events.empty());
}

TEST_F(HttpResume, SinksRefuseAContinuationThatDoesNotFollowWhatTheyHold) {
    TIdFileSink kept(path, TIdFileSink::Keep);
    EXPECT_EQ(kept.Size(), static_cast<std::size_t>(kKept));
    EXPECT_THROW(kept.Begin(kKept + 1), EIdSinkFailed);
    EXPECT_THROW(kept.Begin(kKept - 1), EIdSinkFailed);
    kept.Begin(kKept);
    kept.Add("ab", 2);
    kept.Begin(0); // the whole file after all: what was kept goes
    kept.Add("new", 3);
    kept.Close();
    EXPECT_EQ(File(), "new");

    TIdMemorySink memory;
    EXPECT_THROW(memory.Begin(10), EIdSinkFailed);
    TIdFileSink fresh(path); // a truncating sink holds nothing to continue
    EXPECT_THROW(fresh.Begin(kKept), EIdSinkFailed);
}

} // namespace

// The sinks, the query encoding of hoForceEncodeParams and the sorting of libcurl's results.
#include "TIdHTTP.h"
#include "TIdSink.h"
#include "curl_errors.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

namespace {

using harness::ReadFile;

TEST(FileSink, ReplacesTheFileFlushesAndCloses) {
    harness::ScratchFolder folder;
    const auto path = folder.Path() / "file_sink";
    harness::WriteFile(path, "an old and longer content");
    {
        TIdFileSink sink(path);
        sink.Add("hello ", 6);
        sink.Add("world", 5);
        sink.Flush();
        EXPECT_EQ(ReadFile(path), "hello world");
        EXPECT_EQ(sink.Size(), 11u);
        sink.Close();
        sink.Close();
        EXPECT_THROW(sink.Add("x", 1), EIdSinkFailed);
    }
}

TEST(FileSink, FileThatCannotBeCreatedFails) {
    harness::ScratchFolder folder;
    EXPECT_THROW(TIdFileSink(folder.Path() / "no_such_folder" / "file"), EIdSinkFailed);
}

TEST(ForceEncodeParams, EncodesOnlyUnsafeQueryCharacters) {
    EXPECT_EQ(TIdHTTP::EncodeQuery("http://v.example/ver.php?appname=iso&ver=10"),
              "http://v.example/ver.php?appname=iso&ver=10");
    EXPECT_EQ(TIdHTTP::EncodeQuery("http://v.example/a b"), "http://v.example/a b");
    EXPECT_EQ(TIdHTTP::EncodeQuery("http://h/p?a=x y&b=%41%4&c=<\xD8\xA7>"),
              "http://h/p?a=x%20y&b=%41%254&c=%3C%D8%A7%3E");
    EXPECT_EQ(TIdHTTP::EncodeQuery("http://h/p?a=1 2#frag ment"), "http://h/p?a=1%202#frag ment");
}

TEST(CurlErrors, SortsResultsIntoKinds) {
    using K = TIdHTTPErrorKind;
    EXPECT_EQ(net::ErrorKindFor(CURLE_COULDNT_RESOLVE_HOST, false), K::CannotResolve);
    EXPECT_EQ(net::ErrorKindFor(CURLE_COULDNT_CONNECT, false), K::CannotConnect);
    EXPECT_EQ(net::ErrorKindFor(CURLE_OPERATION_TIMEDOUT, false), K::Stalled);
    EXPECT_EQ(net::ErrorKindFor(CURLE_PARTIAL_FILE, true), K::ConnectionLost);
    EXPECT_EQ(net::ErrorKindFor(CURLE_RECV_ERROR, true), K::ConnectionLost);
    EXPECT_EQ(net::ErrorKindFor(CURLE_GOT_NOTHING, true), K::ConnectionLost);
    EXPECT_EQ(net::ErrorKindFor(CURLE_WEIRD_SERVER_REPLY, true), K::ProtocolError);
    EXPECT_EQ(net::ErrorKindFor(CURLE_UNSUPPORTED_PROTOCOL, true), K::ProtocolError);
    EXPECT_EQ(net::ErrorKindFor(CURLE_UNSUPPORTED_PROTOCOL, false), K::CannotConnect);
    EXPECT_EQ(net::ErrorKindFor(CURLE_WRITE_ERROR, true), K::SinkFailed);
}

TEST(HttpClientAddress, UnknownSchemeCannotConnect) {
    TIdHTTP http;
    TIdMemorySink sink;
    EXPECT_THROW(http.Get("gopher://127.0.0.1:1/", sink), EIdCannotConnect);
}

} // namespace

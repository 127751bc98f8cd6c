// https against a real nginx speaking TLS with a certificate made for the test: verification is
// always on, a certificate that fails it is a connection failure, and the window treats it as one.
#include "nginx_server.h"
#include "server_window_fixture.h"
#include "test_http_server.h"
#include "window_texts.h"

#include "TIdHTTP.h"

#include <gtest/gtest.h>

#include <memory>

using testsupport::NginxServer;

namespace {

class Https : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(nginx.Running()) << nginx.Error();
        nginx.Serve("program_download/" + harness::kClientName, client);
    }

    std::string ClientUrl(const std::string &base) const {
        return base + "/program_download/" + harness::kClientName;
    }

    /// The kind of failure of a GET of `url` with `http`'s settings (a success is a test failure).
    static TIdHTTPErrorKind FailureOf(TIdHTTP &http, const std::string &url, TIdMemorySink &sink) {
        try {
            http.Get(url, sink);
        } catch (const EIdHTTPError &error) {
            return error.Kind();
        }
        ADD_FAILURE() << "GET " << url << " succeeded";
        return TIdHTTPErrorKind::ProtocolError;
    }

    NginxServer nginx{"", NginxServer::Scheme::Https};
    const std::string client = testsupport::PatternBytes(300'000);
};

TEST_F(Https, ACertificateThatChainsToATrustedAuthorityDownloadsTheFileByteForByte) {
    TIdHTTP http;
    http.SetCaCertificatesFile(nginx.CaCertificates().string());
    TIdMemorySink sink;
    http.Get(ClientUrl(nginx.BaseUrl()), sink);
    EXPECT_EQ(http.ResponseCode(), 200);
    EXPECT_EQ(sink.Data(), client);
}

TEST_F(Https, CertificatesThatFailVerificationAreConnectionFailuresThatDeliverNothing) {
    // The system's trust store does not know the test's authority.
    TIdHTTP untrusting;
    int progressEvents = 0;
    untrusting.OnWorkBegin = [&](TIdHTTP &, TWorkMode, std::int64_t) { ++progressEvents; };
    TIdMemorySink sink;
    EXPECT_EQ(FailureOf(untrusting, ClientUrl(nginx.BaseUrl()), sink),
              TIdHTTPErrorKind::CannotConnect);
    EXPECT_EQ(untrusting.ResponseCode(), 0);

    // A trusted authority, but the certificate names 127.0.0.1 and not "localhost".
    TIdHTTP trusting;
    trusting.SetCaCertificatesFile(nginx.CaCertificates().string());
    const std::string otherName = "https://localhost:" + std::to_string(nginx.Port());
    EXPECT_EQ(FailureOf(trusting, ClientUrl(otherName), sink), TIdHTTPErrorKind::CannotConnect);

    // Naming a file and then none again goes back to the system's store.
    trusting.SetCaCertificatesFile("");
    EXPECT_EQ(FailureOf(trusting, ClientUrl(nginx.BaseUrl()), sink),
              TIdHTTPErrorKind::CannotConnect);

    EXPECT_TRUE(sink.Data().empty());
    EXPECT_EQ(progressEvents, 0);
}

TEST_F(Https, APublisherWhoseCertificateFailsGetsTheConnectionWarningAndTheClientStaysAsItWas) {
    harness::EnsureApplication();
    harness::FakeWorld world;
    harness::ScratchFolder folder;
    harness::WriteFile(folder.Path() / harness::kClientName, "old client\n");
    TForm1 form(world.Services(QString::fromStdString(nginx.BaseUrl()), folder.Path()));

    ASSERT_TRUE(harness::PressAndWaitForTheRunToEnd(form));
    harness::ExpectFailedRun(form, world, folder, "old client\n", WindowText::ConnectionLost());
}

} // namespace

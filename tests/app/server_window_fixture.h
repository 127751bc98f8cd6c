#pragma once

// A window against the loopback test server, for the update flow's tests.
#include "form_harness.h"
#include "test_http_server.h"

#include <gtest/gtest.h>

#include <memory>

namespace harness {

/// The old client in a scratch folder, fake seams, and a test server that offers no patch (so a
/// run downloads the whole file); a test makes the window with `Services()`.
class ServerWindowTest : public ::testing::Test {
protected:
    static constexpr char kOldClient[] = "old client, byte for byte\n";

    void SetUp() override {
        EnsureApplication();
        WriteFile(ClientFile(), kOldClient);
        testsupport::OfferNoPatches(server);
    }
    void TearDown() override { form.reset(); }

    UpdaterServices Services() {
        return world.Services(QString::fromStdString(server.Url("")), folder.Path());
    }
    std::filesystem::path ClientFile() const { return folder.Path() / kClientName; }

    FakeWorld world;
    ScratchFolder folder;
    testsupport::TestHttpServer server;
    std::unique_ptr<TForm1> form;
};

} // namespace harness

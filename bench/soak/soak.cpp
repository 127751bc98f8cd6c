// Fault soak: 200 update cycles against the loopback test server, each with a random fault (or
// none), in one process. Each cycle is a fresh window offscreen, as a fresh run of the program
// would make it; the program's exit step is the window's Quit seam, which only counts. After every
// cycle: the client is the old one or the new one, byte for byte; nothing else is in its folder;
// after a failure the button runs a complete update. At the end: RSS after cycle 200 within 8 MiB
// of RSS after cycle 10, and as many open file descriptors as after cycle 10.
//
//   QT_QPA_PLATFORM=offscreen build/release/bench/soak/soak [cycles] [seed]
#include "form_harness.h"
#include "test_http_server.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

using testsupport::ScriptedReply;

namespace {

using harness::kClientName;

double RssMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atof(line.c_str() + 6) / 1024.0;
    return 0;
}

int OpenDescriptors() {
    int count = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

/// The faults a cycle may meet; `Succeeds` ones end with the new client.
enum class Fault {
    None,
    Chunked,
    NotFound,
    ServerError,
    Redirect,
    EmptyBody,
    HtmlPage,
    Truncated,
    Stalled,
    ClosedWithoutReply,
    Garbage,
    ClosedMidDownload,
    Count
};

const char *NameOf(Fault fault) {
    static const char *const names[] = {"none",      "chunked",       "404",
                                        "500",       "302",           "empty body",
                                        "HTML page", "truncated",     "stalled",
                                        "no reply",  "garbage reply", "window closed mid-download"};
    return names[int(fault)];
}

struct Cycle {
    ScriptedReply reply;
    bool succeeds = false;
};

Cycle Script(Fault fault, const std::string &body) {
    Cycle cycle{ScriptedReply::Ok(body), false};
    switch (fault) {
    case Fault::None:
        cycle.succeeds = true;
        break;
    case Fault::Chunked:
        cycle.reply.chunked = true;
        cycle.reply.chunkSizes = {777, 4096};
        cycle.succeeds = true;
        break;
    case Fault::NotFound:
        cycle.reply = ScriptedReply::Status(404, "Not Found", "no such file");
        break;
    case Fault::ServerError:
        cycle.reply = ScriptedReply::Status(500, "Internal Server Error", "oops");
        break;
    case Fault::Redirect:
        cycle.reply = ScriptedReply::Redirect(302, "/elsewhere");
        break;
    case Fault::EmptyBody:
        cycle.reply = ScriptedReply::Ok("");
        break;
    case Fault::HtmlPage:
        cycle.reply = ScriptedReply::Ok("<html>log in</html>", "text/html");
        break;
    case Fault::Truncated:
        cycle.reply.closeAfterBodyBytes = body.size() / 2;
        break;
    case Fault::Stalled:
        cycle.reply.stallAfterBodyBytes = body.size() / 3;
        break;
    case Fault::ClosedWithoutReply:
        cycle.reply.closeWithoutReply = true;
        break;
    case Fault::Garbage:
        cycle.reply.raw = "HTTP/1.1 banana\r\n\r\n\x01\x02";
        break;
    case Fault::ClosedMidDownload:
        cycle.reply.paceBytes = 4096;
        cycle.reply.paceInterval = std::chrono::milliseconds(20);
        break;
    case Fault::Count:
        break;
    }
    return cycle;
}

bool WaitForRunEnd(TForm1 &form) {
    return harness::ProcessEventsUntil(
        [&] {
            return form.FlowState() == TForm1::TFlowState::Idle ||
                   form.FlowState() == TForm1::TFlowState::Ending;
        },
        std::chrono::seconds(30));
}

} // namespace

int main(int argc, char **argv) {
    const int cycles = argc > 1 ? std::atoi(argv[1]) : 200;
    const unsigned seed = argc > 2 ? unsigned(std::atol(argv[2])) : std::random_device{}();
    harness::EnsureApplication();
    testsupport::TestHttpServer server;
    // No patches: every cycle's faults hit the whole file's download.
    testsupport::OfferNoPatches(server);
    harness::ScratchFolder folder;
    const auto client = folder.Path() / kClientName;
    std::string current = "the first client\n";
    harness::WriteFile(client, current);
    std::mt19937 random(seed);
    std::printf("soak: %d cycles, seed %u\n", cycles, seed);

    double rssAt10 = 0;
    int fdsAt10 = 0;
    int failures = 0;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        const auto fault = Fault(random() % unsigned(Fault::Count));
        const std::string body =
            testsupport::PatternBytes(20'000 + random() % 200'000) + std::to_string(cycle);
        const Cycle script = Script(fault, body);
        std::string problem;
        {
            harness::FakeWorld world;
            UpdaterServices services =
                world.Services(QString::fromStdString(server.Url("")), folder.Path());
            services.StallTimeout = std::chrono::milliseconds(300);
            auto form = std::make_unique<TForm1>(std::move(services));
            server.Enqueue(script.reply);
            form->BitBtn1Click();
            if (fault == Fault::ClosedMidDownload) {
                harness::ProcessEventsUntil([&] { return form->Label2->text().toLongLong() > 0; },
                                            std::chrono::seconds(10));
                form.reset(); // closing: cancels, removes the temporary file, joins the worker
            } else if (!WaitForRunEnd(*form)) {
                problem = "the run did not end";
            }
            const bool replaced = form && form->FlowState() == TForm1::TFlowState::Ending;
            if (problem.empty() && replaced != script.succeeds)
                problem = replaced ? "a faulty download replaced the client"
                                   : "a good download did not replace the client";
            if (replaced)
                current = body;
            if (problem.empty() && harness::ReadFile(client) != current)
                problem = "the client is neither the old nor the new one, byte for byte";
            if (problem.empty() && folder.Entries() != std::vector<std::string>{kClientName})
                problem = "a temporary file was left";
            if (problem.empty() && form && !replaced) {
                // After a failure the button runs a complete update.
                const std::string good = testsupport::PatternBytes(3000) + "again";
                server.Enqueue(ScriptedReply::Ok(good));
                form->BitBtn1Click();
                if (!WaitForRunEnd(*form) || form->FlowState() != TForm1::TFlowState::Ending ||
                    harness::ReadFile(client) != good)
                    problem = "the button did not work after the failure";
                else
                    current = good;
            }
        }
        if (!problem.empty()) {
            ++failures;
            std::printf("cycle %d (%s): %s\n", cycle, NameOf(fault), problem.c_str());
        }
        if (cycle == 10) {
            rssAt10 = RssMiB();
            fdsAt10 = OpenDescriptors();
        }
        if (cycle % 20 == 0) {
            std::printf("cycle %3d: RSS %.1f MiB, %d descriptors\n", cycle, RssMiB(),
                        OpenDescriptors());
            std::fflush(stdout);
        }
    }
    const double rssGrowth = RssMiB() - rssAt10;
    const int fdGrowth = OpenDescriptors() - fdsAt10;
    std::printf("soak: %d of %d cycles failed; RSS after cycle %d is %+.1f MiB from cycle 10 "
                "(limit 8); descriptors %+d (limit 0)\n",
                failures, cycles, cycles, rssGrowth, fdGrowth);
    const bool ok = failures == 0 && rssGrowth <= 8 && fdGrowth <= 0;
    std::printf("soak: %s\n", ok ? "PASS" : "FAIL");
    return ok ? 0 : 1;
}

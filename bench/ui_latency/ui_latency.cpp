// How the window keeps up while it downloads a large client from nginx on loopback: a 10 ms
// timer on the main thread measures its own lateness, the window counts its progress repaints,
// and the download's throughput is compared with the curl command's on the same file.
//
//   cmake --preset default -DZORVANE_BUILD_BENCH=ON && cmake --build --preset default
//   QT_QPA_PLATFORM=offscreen build/default/bench/ui_latency/ui_latency [MiB]   (default 512)
#include "form_harness.h"
#include "nginx_server.h"
#include "tick_count.h"

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double Percentile(std::vector<double> values, double share) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, std::size_t(share * double(values.size())))];
}

} // namespace

int main(int argc, char **argv) {
    const long mebibytes = argc > 1 ? std::atol(argv[1]) : 512;
    harness::EnsureApplication();
    testsupport::NginxServer nginx;
    if (!nginx.Running()) {
        std::fprintf(stderr, "nginx: %s\n", nginx.Error().c_str());
        return 1;
    }
    const auto served = nginx.Root() / "program_download";
    std::filesystem::create_directories(served);
    std::filesystem::permissions(served, std::filesystem::perms::owner_all |
                                             std::filesystem::perms::others_read |
                                             std::filesystem::perms::others_exec);
    {
        std::FILE *file = std::fopen((served / "Zorvane_Online_Sardel.exe").c_str(), "wb");
        std::vector<char> block(1 << 20, 'z');
        for (long i = 0; i < mebibytes; ++i)
            std::fwrite(block.data(), 1, block.size(), file);
        std::fclose(file);
    }
    const std::string url = nginx.BaseUrl() + "/program_download/Zorvane_Online_Sardel.exe";

    harness::ScratchFolder folder;
    QElapsedTimer curlClock;
    curlClock.start();
    const std::string command =
        "curl -s -o '" + (folder.Path() / "curl-copy").string() + "' '" + url + "'";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "curl failed\n");
        return 1;
    }
    const double curlSeconds = curlClock.elapsed() / 1000.0;
    std::filesystem::remove(folder.Path() / "curl-copy");

    harness::FakeWorld world;
    UpdaterServices services =
        world.Services(QString::fromStdString(nginx.BaseUrl()), folder.Path());
    services.Tick = [] { return platform::GetTickCount(); };
    TForm1 form(std::move(services));
    form.show();

    std::vector<double> lateness;
    QElapsedTimer sinceTick;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(10);
    const QString total = QString::number(mebibytes * 1024 * 1024);
    double transferSeconds = 0;
    QElapsedTimer downloadClock;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (transferSeconds == 0 && form.Label2->text() == total)
            transferSeconds = downloadClock.elapsed() / 1000.0;
        if (sinceTick.isValid())
            lateness.push_back(std::max(0.0, sinceTick.nsecsElapsed() / 1e6 - 10.0));
        sinceTick.start();
    });

    downloadClock.start();
    probe.start();
    form.BitBtn1Click();
    harness::ProcessEventsUntil(
        [&] {
            return form.FlowState() == TForm1::TFlowState::Ending ||
                   form.FlowState() == TForm1::TFlowState::Idle;
        },
        std::chrono::minutes(10));
    const double downloadSeconds = downloadClock.elapsed() / 1000.0;
    probe.stop();

    const bool ok = form.FlowState() == TForm1::TFlowState::Ending;
    std::printf("download of %ld MiB: %s in %.2f s (%.1f MiB/s)\n", mebibytes,
                ok ? "complete" : "FAILED", downloadSeconds, mebibytes / downloadSeconds);
    std::printf("  last byte shown after %.2f s; the rest is the flush to disk and the replace\n",
                transferSeconds);
    std::printf("curl -s -o FILE:        %.2f s (%.1f MiB/s)\n", curlSeconds,
                mebibytes / curlSeconds);
    std::printf("throughput vs curl:     %.2f (target >= 0.90)\n", curlSeconds / downloadSeconds);
    std::printf(
        "timer lateness:         p50 %.2f ms, p99 %.2f ms over %zu ticks (target p99 <= 16)\n",
        Percentile(lateness, 0.50), Percentile(lateness, 0.99), lateness.size());
    std::printf("progress repaints:      %d, %.1f per second (target <= 60)\n",
                form.ProgressRepaints(), form.ProgressRepaints() / downloadSeconds);
    return ok ? 0 : 1;
}

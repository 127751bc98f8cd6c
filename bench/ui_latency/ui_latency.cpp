// The window's download against the curl command, side by side: nginx on loopback serves one
// large client; each run downloads it once with `curl -s -o FILE` and once through the real flow
// (the window offscreen, IdHTTP1, the worker, the temporary file, the flush and the atomic
// replace), alternating. While the window downloads, a 10 ms timer on the main thread measures
// its own lateness, the window counts its progress repaints and the peak RSS is sampled.
//
//   bench/run                      (builds in release mode and prints every figure in a table)
//   QT_QPA_PLATFORM=offscreen build/release/bench/ui_latency/ui_latency [MiB] [runs]
//                                  (default 1024 MiB, 5 runs)
//
// Besides the readable report it prints one `ROW name|median|min|max|target|pass` line per
// figure for bench/run.
#include "bench_memory.h"
#include "bench_rows.h"
#include "form_harness.h"
#include "nginx_server.h"
#include "tick_count.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

/// CPU seconds (user and system) used so far by this process or by its waited-for children.
double CpuSeconds(int who) {
    rusage usage{};
    ::getrusage(who, &usage);
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

/// A 10 ms timer on the main thread that records how late each of its ticks comes.
class LatenessProbe {
public:
    explicit LatenessProbe(std::function<void()> onTick = {}) {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this, onTick] {
            if (sinceTick_.isValid())
                lateness_.push_back(std::max(0.0, double(sinceTick_.nsecsElapsed()) / 1e6 - 10.0));
            sinceTick_.start();
            if (onTick)
                onTick();
        });
        timer_.start();
    }
    double P99() const { return bench::Percentile(lateness_, 0.99); }

private:
    QTimer timer_;
    QElapsedTimer sinceTick_;
    std::vector<double> lateness_;
};

struct WindowRun {
    bool ok = false;
    double seconds = 0;
    double transferSeconds = 0; ///< until the last byte was shown: without the flush and replace
    double cpuSeconds = 0;      ///< every thread of the process, user and system
    double mainCpuSeconds = 0;  ///< the main thread alone
    double latenessP99 = 0;
    double repaintsPerSecond = 0;
    double rssGrowthMiB = 0;
};

/// Downloads through a fresh window, waiting in a blocking event loop as the program's own
/// `exec()` does (a polling loop would take a core from the transfer).
WindowRun DownloadThroughWindow(const std::string &server, const std::filesystem::path &folder,
                                long long size) {
    harness::FakeWorld world;
    UpdaterServices services = world.Services(QString::fromStdString(server), folder);
    services.Tick = [] { return platform::GetTickCount(); };
    TForm1 form(std::move(services));
    form.show();
    QCoreApplication::processEvents();

    QEventLoop loop;
    QElapsedTimer clock;
    WindowRun run;
    const QString total = QString::number(size);
    const double rssBefore = bench::StatusMiB("VmRSS");
    bench::ResetPeakRss();
    const double cpuBefore = CpuSeconds(RUSAGE_SELF);
    const double mainCpuBefore = CpuSeconds(RUSAGE_THREAD);
    clock.start();
    LatenessProbe probe([&] {
        if (run.transferSeconds == 0 && form.Label2->text() == total)
            run.transferSeconds = double(clock.nsecsElapsed()) / 1e9;
        if (form.FlowState() == TForm1::TFlowState::Ending ||
            form.FlowState() == TForm1::TFlowState::Idle)
            loop.quit();
    });
    form.BitBtn1Click();
    QTimer::singleShot(std::chrono::minutes(10), &loop, &QEventLoop::quit);
    loop.exec();
    run.seconds = double(clock.nsecsElapsed()) / 1e9;
    run.cpuSeconds = CpuSeconds(RUSAGE_SELF) - cpuBefore;
    run.mainCpuSeconds = CpuSeconds(RUSAGE_THREAD) - mainCpuBefore;
    run.ok = form.FlowState() == TForm1::TFlowState::Ending;
    run.rssGrowthMiB = bench::StatusMiB("VmHWM") - rssBefore;
    run.latenessP99 = probe.P99();
    run.repaintsPerSecond = form.ProgressRepaints() / run.seconds;
    return run;
}

struct CurlRun {
    double seconds = -1;
    double idleLatenessP99 = 0; ///< the same timer in an idle event loop meanwhile: the machine
    double durableSeconds = -1; ///< curl and then a flush of its file to disk, as the window does
    double cpuSeconds = 0;      ///< the curl process, user and system
};

/// Runs the curl command while the event loop idles with the same lateness probe.
CurlRun RunCurl(const std::string &url, const std::filesystem::path &file) {
    QProcess curl;
    QEventLoop loop;
    QObject::connect(&curl, &QProcess::finished, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    const double cpuBefore = CpuSeconds(RUSAGE_CHILDREN);
    clock.start();
    LatenessProbe probe;
    curl.start(QStringLiteral("curl"),
               {QStringLiteral("-s"), QStringLiteral("-o"), QString::fromStdString(file.string()),
                QString::fromStdString(url)});
    loop.exec();
    CurlRun run;
    if (curl.exitStatus() == QProcess::NormalExit && curl.exitCode() == 0)
        run.seconds = double(clock.nsecsElapsed()) / 1e9;
    run.idleLatenessP99 = probe.P99();
    run.cpuSeconds = CpuSeconds(RUSAGE_CHILDREN) - cpuBefore;
    const int fd = ::open(file.c_str(), O_WRONLY);
    if (fd >= 0 && ::fsync(fd) == 0 && run.seconds > 0)
        run.durableSeconds = double(clock.nsecsElapsed()) / 1e9;
    if (fd >= 0)
        ::close(fd);
    std::filesystem::remove(file);
    return run;
}

} // namespace

int main(int argc, char **argv) {
    const long mebibytes = argc > 1 ? std::atol(argv[1]) : 1024;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
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

    std::vector<double> cpuRatios, ratios, durableRatios, transferRatios, lateness, idleLateness,
        repaints, rss;
    bool allOk = true;
    for (int run = 0; run < runs; ++run) {
        harness::ScratchFolder folder;
        const CurlRun curlRun = RunCurl(url, folder.Path() / "curl-copy");
        const double curl = curlRun.seconds;
        const WindowRun window =
            DownloadThroughWindow(nginx.BaseUrl(), folder.Path(), mebibytes << 20);
        if (curl <= 0 || !window.ok) {
            std::fprintf(stderr, "run %d failed (curl %s, window %s)\n", run + 1,
                         curl > 0 ? "ok" : "failed", window.ok ? "ok" : "failed");
            allOk = false;
            continue;
        }
        std::printf("run %d  curl %6.2f s  window %6.2f s (last byte at %.2f s)  ratio %.2f  "
                    "p99 lateness %6.2f ms (idle loop during curl %6.2f ms)  %5.1f repaints/s  "
                    "peak RSS +%.1f MiB  CPU %.2f s (main thread %.2f s) vs curl %.2f s\n",
                    run + 1, curl, window.seconds, window.transferSeconds, curl / window.seconds,
                    window.latenessP99, curlRun.idleLatenessP99, window.repaintsPerSecond,
                    window.rssGrowthMiB, window.cpuSeconds, window.mainCpuSeconds,
                    curlRun.cpuSeconds);
        std::fflush(stdout);
        ratios.push_back(curl / window.seconds);
        if (curlRun.cpuSeconds > 0)
            cpuRatios.push_back(window.cpuSeconds / curlRun.cpuSeconds);
        if (curlRun.durableSeconds > 0)
            durableRatios.push_back(curlRun.durableSeconds / window.seconds);
        if (window.transferSeconds > 0)
            transferRatios.push_back(curl / window.transferSeconds);
        lateness.push_back(window.latenessP99);
        idleLateness.push_back(curlRun.idleLatenessP99);
        repaints.push_back(window.repaintsPerSecond);
        rss.push_back(window.rssGrowthMiB);
    }
    const std::string size = std::to_string(mebibytes) + " MiB";
    bench::PrintRow("download " + size + ": throughput curl/window", ratios, ">= 0.90",
                    [](double v) { return v >= 0.9; });
    bench::PrintRow("  (reference) curl + fsync of its file / window", durableRatios, "-",
                    [](double) { return true; });
    bench::PrintRow("  (reference) same, until the last byte: no flush+replace", transferRatios,
                    "-", [](double) { return true; });
    bench::PrintRow("  (reference) CPU seconds window/curl", cpuRatios, "-",
                    [](double) { return true; });
    bench::PrintRow("download: peak RSS growth (MiB)", rss, "<= 16",
                    [](double v) { return v <= 16; });
    bench::PrintRow("download: main-thread lateness p99 (ms)", lateness, "<= 16",
                    [](double v) { return v <= 16; });
    bench::PrintRow("  (reference) p99 lateness of an idle loop during curl", idleLateness, "-",
                    [](double) { return true; });
    bench::PrintRow("download: progress repaints per second", repaints, "<= 60",
                    [](double v) { return v <= 60; });
    return allOk ? 0 : 1;
}

// Updates by patch against the whole download, through the real flow (the window offscreen,
// IdHTTP1, the worker, the patch decoder, the temporary file and the replace) from nginx.
//
//   1. A client of real machine code (the machine's shared libraries, concatenated) with about
//      2 % of its bytes changed in five places, one of them an insertion. nginx sends at most
//      1 MiB/s (limit_rate). Alternating runs of the patch and of the whole file (the patch
//      removed, so the updater meets a 404 first, as it would): bytes sent (nginx's access log)
//      and the time from the press to the success box.
//   2. The patch made by tools/publisher/zorvane-patches against `zstd --patch-from` at its
//      default level and at -19 --long.
//   3. A larger client (default 256 MiB) patched from an unthrottled nginx: the peak RSS growth
//      of the process while it patches, against that of the whole download. The patch is made
//      at zstd's default level (the decoder's memory does not depend on the level).
//
//   QT_QPA_PLATFORM=offscreen build/release/bench/patch_update/patch_update [MiB] [runs] [large]
//       (defaults: a 24 MiB client, 3 runs, a 256 MiB large client)
//
// Prints a readable report and one `ROW name|median|min|max|target|pass` line per figure.
#include "bench_memory.h"
#include "bench_rows.h"
#include "form_harness.h"
#include "nginx_server.h"
#include "tick_count.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

using harness::kClientName;

/// `size` bytes of real machine code: the machine's shared libraries in name order (each once:
/// links to them are skipped), from byte `skip` of their concatenation on.
std::string MachineCode(std::size_t size, std::size_t skip) {
    std::vector<std::filesystem::path> libraries;
    for (const auto &entry : std::filesystem::directory_iterator("/usr/lib/x86_64-linux-gnu"))
        if (!entry.is_symlink() && entry.is_regular_file() &&
            entry.path().string().find(".so") != std::string::npos && entry.file_size() > 100'000)
            libraries.push_back(entry.path());
    std::sort(libraries.begin(), libraries.end());
    std::string bytes;
    for (const auto &library : libraries) {
        std::ifstream in(library, std::ios::binary);
        std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        const std::size_t dropped = std::min(skip, content.size());
        skip -= dropped;
        bytes.append(content, dropped, std::string::npos);
        if (bytes.size() >= size)
            break;
    }
    bytes.resize(size);
    return bytes;
}

/// `old` with about 2 % of its bytes changed: four stretches of 0.4 % overwritten with other
/// machine code and one of 0.4 % inserted (everything after it moves, as in a rebuilt program).
std::string ChangedInPlaces(std::string old) {
    const std::size_t stretch = old.size() / 250;
    const std::string other = MachineCode(5 * stretch, old.size());
    for (int place = 0; place < 4; ++place)
        old.replace(old.size() / 10 + place * old.size() / 5, stretch, other, place * stretch,
                    stretch);
    old.insert(old.size() / 2 + 12345, other, 4 * stretch, stretch);
    return old;
}

void Write(const std::filesystem::path &path, const std::string &bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    std::filesystem::permissions(path, std::filesystem::perms::others_read,
                                 std::filesystem::perm_options::add);
}

bool Run(const std::string &command) {
    std::printf("$ %s\n", command.c_str());
    std::fflush(stdout);
    return std::system(command.c_str()) == 0;
}

long long FileSize(const std::filesystem::path &path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? -1 : static_cast<long long>(size);
}

/// A served folder on nginx with an access log; `extra` goes into the server block.
struct Publisher {
    explicit Publisher(const std::filesystem::path &log, const std::string &extra = "")
        : nginx("access_log " + log.string() + ";\n" + extra), log(log) {
        served = nginx.Root() / "program_download";
        std::filesystem::create_directories(served);
        std::filesystem::permissions(served, std::filesystem::perms::owner_all |
                                                 std::filesystem::perms::others_read |
                                                 std::filesystem::perms::others_exec);
    }
    /// Body bytes nginx sent since the last call (the access log's size field).
    long long SentSinceLastLook() {
        std::ifstream in(log);
        long long total = 0;
        std::size_t line = 0;
        for (std::string text; std::getline(in, text); ++line) {
            if (line < seen)
                continue;
            std::istringstream after(text.substr(text.find("HTTP/1.1\"") + 9));
            int status = 0;
            long long bytes = 0;
            after >> status >> bytes;
            total += bytes;
        }
        seen = line;
        return total;
    }

    testsupport::NginxServer nginx;
    std::filesystem::path log;
    std::filesystem::path served;
    std::size_t seen = 0;
};

struct PressRun {
    bool ok = false;
    double seconds = 0; ///< from the press to the success box
    long long sent = 0;
    double rssGrowthMiB = 0;
    double cpuSeconds = 0; ///< every thread of the process, user and system
};

/// CPU seconds (user and system) the process has used so far.
double CpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

/// Installs `installed` in a fresh folder, presses the button of a fresh window and waits for
/// the success box.
PressRun Press(Publisher &publisher, const std::filesystem::path &installed) {
    harness::ScratchFolder folder;
    std::filesystem::copy_file(installed, folder.Path() / kClientName);
    harness::FakeWorld world;
    UpdaterServices services =
        world.Services(QString::fromStdString(publisher.nginx.BaseUrl()), folder.Path());
    services.Tick = [] { return platform::GetTickCount(); };
    PressRun run;
    {
        TForm1 form(std::move(services));
        const double rssBefore = bench::StatusMiB("VmRSS");
        bench::ResetPeakRss();
        const double cpuBefore = CpuSeconds();
        QElapsedTimer clock;
        clock.start();
        form.BitBtn1Click();
        run.ok = harness::ProcessEventsUntil(
            [&] {
                return !world.messages.shown.empty() ||
                       form.FlowState() == TForm1::TFlowState::Idle;
            },
            std::chrono::minutes(10));
        run.seconds = double(clock.nsecsElapsed()) / 1e9;
        run.cpuSeconds = CpuSeconds() - cpuBefore;
        run.rssGrowthMiB = bench::StatusMiB("VmHWM") - rssBefore;
        run.ok = run.ok && !world.messages.shown.empty() &&
                 world.messages.shown[0].Kind == TMessageKind::Information;
        harness::ProcessEventsUntil([&] { return form.FlowState() == TForm1::TFlowState::Ending; });
    }
    run.sent = publisher.SentSinceLastLook();
    return run;
}

} // namespace

int main(int argc, char **argv) {
    const std::size_t mebibytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 24;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
    const std::size_t largeMebibytes = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 256;
    harness::EnsureApplication();
    harness::ScratchFolder work;
    std::filesystem::permissions(
        work.Path(), std::filesystem::perms::others_read | std::filesystem::perms::others_exec,
        std::filesystem::perm_options::add);
    const auto old = work.Path() / "old";
    const auto now = work.Path() / "new";
    {
        const std::string oldBytes = MachineCode(mebibytes << 20, 0);
        const std::string newBytes = ChangedInPlaces(oldBytes);
        Write(old, oldBytes);
        Write(now, newBytes);
        const std::size_t stretch = oldBytes.size() / 250;
        std::printf("client: %zu MiB of machine code; the new one has 4 stretches of %zu bytes "
                    "overwritten and %zu inserted (2 %% of the client), %zu bytes in all\n",
                    mebibytes, stretch, stretch, newBytes.size());
    }

    // 2. The patch sizes.
    std::filesystem::create_directories(work.Path() / "earlier");
    std::filesystem::copy_file(old, work.Path() / "earlier" / "old");
    const auto patches = work.Path() / "patches";
    QElapsedTimer clock;
    clock.start();
    bool allOk = Run(std::string(ZORVANE_PATCH_SCRIPT) + " " + now.string() + " " +
                     (work.Path() / "earlier").string() + " " + patches.string());
    const double scriptSeconds = double(clock.nsecsElapsed()) / 1e9;
    std::filesystem::path ours;
    for (const auto &entry : std::filesystem::directory_iterator(patches))
        if (FileSize(entry.path()) > FileSize(ours))
            ours = entry.path(); // the larger of the two: the one from the old client
    allOk = Run("zstd -q -f --patch-from=" + old.string() + " " + now.string() + " -o " +
                (work.Path() / "default.zst").string()) &&
            allOk;
    allOk = Run("zstd -q -f -19 --long --patch-from=" + old.string() + " " + now.string() + " -o " +
                (work.Path() / "19-long.zst").string()) &&
            allOk;
    const double oursSize = double(FileSize(ours));
    const double defaultSize = double(FileSize(work.Path() / "default.zst"));
    const double longSize = double(FileSize(work.Path() / "19-long.zst"));
    std::printf("patch sizes: publisher script %.0f bytes (its run for two patches %.1f s), "
                "zstd --patch-from %.0f, zstd -19 --long --patch-from %.0f; the client %lld\n",
                oursSize, scriptSeconds, defaultSize, longSize, FileSize(now));

    // 1. Patch against the whole file at 1 MiB/s.
    std::vector<double> sentRatios, timeRatios, patchSeconds, fullSeconds;
    {
        Publisher publisher(work.Path() / "throttled.log",
                            "location /program_download/ { limit_rate 1m; }\n");
        std::filesystem::copy_file(now, publisher.served / kClientName);
        std::filesystem::copy_file(ours, publisher.served / ours.filename());
        const auto patch = publisher.served / ours.filename();
        const auto away = work.Path() / "patch-away";
        for (int run = 0; run < runs; ++run) {
            const PressRun byPatch = Press(publisher, old);
            std::filesystem::rename(patch, away); // the updater meets a 404 and takes the whole
            const PressRun whole = Press(publisher, old);
            std::filesystem::rename(away, patch);
            std::printf("run %d: patch %lld bytes sent, %.2f s press to box; whole file %lld "
                        "bytes sent, %.2f s\n",
                        run + 1, byPatch.sent, byPatch.seconds, whole.sent, whole.seconds);
            std::fflush(stdout);
            if (!byPatch.ok || !whole.ok) {
                std::fprintf(stderr, "run %d failed\n", run + 1);
                allOk = false;
                continue;
            }
            sentRatios.push_back(double(byPatch.sent) / double(whole.sent));
            timeRatios.push_back(byPatch.seconds / whole.seconds);
            patchSeconds.push_back(byPatch.seconds);
            fullSeconds.push_back(whole.seconds);
        }
    }

    // 3. Memory while patching a large client, against the whole download of it.
    std::vector<double> patchGrowth, wholeGrowth;
    {
        const auto largeOld = work.Path() / "large-old";
        const auto largeNew = work.Path() / "large-new";
        {
            const std::string oldBytes = MachineCode(largeMebibytes << 20, 0);
            Write(largeOld, oldBytes);
            Write(largeNew, ChangedInPlaces(oldBytes));
        }
        Publisher publisher(work.Path() / "large.log");
        std::filesystem::copy_file(largeNew, publisher.served / kClientName);
        allOk = Run("cd " + work.Path().string() + " && h=$(sha256sum large-old | cut -c1-64) && " +
                    "zstd -q -f --patch-from=large-old large-new -o " +
                    (publisher.served / kClientName).string() + ".from-$h.zst && chmod a+r " +
                    (publisher.served).string() + "/*") &&
                allOk;
        for (int run = 0; run < runs; ++run) {
            const PressRun byPatch = Press(publisher, largeOld);
            std::printf(
                "%zu MiB client by patch: %lld bytes sent, %.2f s press to box (CPU %.2f s), "
                "peak RSS +%.0f MiB\n",
                largeMebibytes, byPatch.sent, byPatch.seconds, byPatch.cpuSeconds,
                byPatch.rssGrowthMiB);
            std::fflush(stdout);
            if (byPatch.ok && byPatch.sent < (long long)(largeMebibytes << 20) / 2)
                patchGrowth.push_back(byPatch.rssGrowthMiB / double(largeMebibytes));
            else
                allOk = false;
        }
        for (const auto &entry : std::filesystem::directory_iterator(publisher.served))
            if (entry.path().extension() == ".zst")
                std::filesystem::remove(entry.path());
        const PressRun whole = Press(publisher, largeOld);
        std::printf("%zu MiB client whole: %.2f s press to box (CPU %.2f s), peak RSS +%.0f MiB\n",
                    largeMebibytes, whole.seconds, whole.cpuSeconds, whole.rssGrowthMiB);
        if (whole.ok)
            wholeGrowth.push_back(whole.rssGrowthMiB);
    }

    const std::string size = std::to_string(mebibytes) + " MiB";
    bench::PrintRow("patch " + size + " (2 % changed): bytes sent patch/whole", sentRatios,
                    "<= 0.05", [](double v) { return v <= 0.05; });
    bench::PrintRow("patch " + size + " at 1 MiB/s: press to box patch/whole", timeRatios,
                    "<= 0.10", [](double v) { return v <= 0.10; });
    bench::PrintRow("  (reference) press to box by patch (s)", patchSeconds, "-",
                    [](double) { return true; });
    bench::PrintRow("  (reference) press to box whole (s)", fullSeconds, "-",
                    [](double) { return true; });
    bench::PrintRow("patch size: ours / zstd -19 --long", {oursSize / longSize}, "<= 1.00",
                    [](double v) { return v <= 1.0; });
    bench::PrintRow("patch size: ours / zstd default level", {oursSize / defaultSize}, "<= 1.00",
                    [](double v) { return v <= 1.0; });
    bench::PrintRow("patching " + std::to_string(largeMebibytes) +
                        " MiB: peak RSS growth / client size",
                    patchGrowth, "<= 2.10", [](double v) { return v <= 2.1; });
    bench::PrintRow("  (reference) whole download of it: peak RSS growth (MiB)", wholeGrowth, "-",
                    [](double) { return true; });
    return allOk ? 0 : 1;
}

// Benchmark, run by hand (never by the test suite): GET of a large file from nginx on loopback
// into a file, through TIdHTTP with progress events attached, against `curl -s -o FILE` on the
// same file, alternating. Prints each run, the median ratio (curl time / our time, so 1.0 means
// as fast as curl) and the peak resident-memory growth of the process during our GETs.
//
//   http_get [--size-mib N] [--runs N] [--dir PARENT]
//
// It makes a temporary folder under PARENT (default $TMPDIR or /tmp), writes the file, starts
// nginx with a configuration of its own on a free loopback port, and removes everything again.
#include "TIdHTTP.h"
#include "bench_rows.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

extern char **environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Options {
    std::size_t sizeMiB = 512;
    int runs = 5;
    fs::path parent;
};

Options ParseOptions(int argc, char **argv) {
    Options options;
    const char *tmp = std::getenv("TMPDIR");
    options.parent = tmp && *tmp ? tmp : "/tmp";
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--size-mib")
            options.sizeMiB = std::stoul(argv[i + 1]);
        else if (name == "--runs")
            options.runs = std::stoi(argv[i + 1]);
        else if (name == "--dir")
            options.parent = argv[i + 1];
        else
            throw std::runtime_error("unknown option " + name);
    }
    return options;
}

/// A value in kB from /proc/self/status ("VmRSS", "VmHWM").
long StatusKiB(const char *field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0)
            return std::stol(line.substr(prefix.size()));
    return -1;
}

/// Resets the peak resident size (VmHWM) to the current one.
void ResetPeakRss() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

std::uint16_t FreeLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0)
        throw std::runtime_error("cannot find a free loopback port");
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

bool PortAccepts(std::uint16_t port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    const bool ok = connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    close(fd);
    return ok;
}

pid_t Spawn(const std::vector<std::string> &args) {
    std::vector<char *> argv;
    for (const auto &arg : args)
        argv.push_back(const_cast<char *>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        throw std::runtime_error("cannot start " + args[0]);
    return pid;
}

int Wait(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

/// Writes `size` bytes of a non-repeating-looking pattern in 1 MiB pieces.
void WriteSourceFile(const fs::path &path, std::size_t size) {
    std::ofstream out(path, std::ios::binary);
    std::string piece(1 << 20, '\0');
    for (std::size_t written = 0; written < size; written += piece.size()) {
        for (std::size_t i = 0; i < piece.size(); i += 8) {
            const std::uint64_t value = (written + i) * 0x9E3779B97F4A7C15ull;
            std::memcpy(&piece[i], &value, 8);
        }
        out.write(piece.data(),
                  static_cast<std::streamsize>(std::min(piece.size(), size - written)));
    }
    if (!out)
        throw std::runtime_error("cannot write the source file");
}

/// nginx on 127.0.0.1:port serving `root`, everything else inside `folder`.
void WriteNginxConfig(const fs::path &folder, const fs::path &root, std::uint16_t port) {
    fs::create_directories(folder / "temp");
    std::ofstream conf(folder / "nginx.conf");
    conf << "daemon off;\n"
         << "worker_processes 1;\n"
         << "pid " << (folder / "nginx.pid").string() << ";\n"
         << "error_log " << (folder / "error.log").string() << " warn;\n"
         << "events { worker_connections 64; }\n"
         << "http {\n"
         << "  access_log off;\n"
         << "  sendfile on;\n"
         << "  client_body_temp_path " << (folder / "temp/body").string() << ";\n"
         << "  proxy_temp_path " << (folder / "temp/proxy").string() << ";\n"
         << "  fastcgi_temp_path " << (folder / "temp/fastcgi").string() << ";\n"
         << "  uwsgi_temp_path " << (folder / "temp/uwsgi").string() << ";\n"
         << "  scgi_temp_path " << (folder / "temp/scgi").string() << ";\n"
         << "  types { application/octet-stream bin; }\n"
         << "  server {\n"
         << "    listen 127.0.0.1:" << port << ";\n"
         << "    root " << root.string() << ";\n"
         << "  }\n"
         << "}\n";
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

} // namespace

int main(int argc, char **argv) {
    const Options options = ParseOptions(argc, argv);
    const std::size_t size = options.sizeMiB << 20;

    std::string pattern = (options.parent / "zorvane_http_get_XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path folder = pattern;
    // nginx's workers run as another user: the served folder must be readable by others.
    fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
    const fs::path root = folder / "www";
    fs::create_directories(root);
    fs::permissions(root, fs::perms(0755));

    pid_t nginx = -1;
    int exitCode = 0;
    try {
        std::printf("writing a %zu MiB file into %s\n", options.sizeMiB, folder.c_str());
        WriteSourceFile(root / "big.bin", size);
        fs::permissions(root / "big.bin", fs::perms(0644));

        const std::uint16_t port = FreeLoopbackPort();
        WriteNginxConfig(folder, root, port);
        nginx = Spawn({"nginx", "-c", (folder / "nginx.conf").string(), "-p", folder.string()});
        for (int i = 0; i < 200 && !PortAccepts(port); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        if (!PortAccepts(port))
            throw std::runtime_error("nginx did not start (see " + (folder / "error.log").string() +
                                     ")");
        const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/big.bin";
        const fs::path curlOut = folder / "curl.out";
        const fs::path ourOut = folder / "ours.out";

        // What the window does per event: keep the newest values for the next repaint.
        std::atomic<std::int64_t> latestMax{0};
        std::atomic<std::int64_t> latestCount{0};
        std::atomic<int> events{0};
        TIdHTTP http;
        http.OnWorkBegin = [&](TIdHTTP &, TWorkMode, std::int64_t max) {
            latestMax.store(max, std::memory_order_relaxed);
        };
        http.OnWork = [&](TIdHTTP &, TWorkMode, std::int64_t count) {
            latestCount.store(count, std::memory_order_relaxed);
            events.fetch_add(1, std::memory_order_relaxed);
        };
        http.OnWorkEnd = [&](TIdHTTP &, TWorkMode) {};

        std::vector<double> curlTimes;
        std::vector<double> ourTimes;
        long worstGrowthKiB = 0;
        for (int run = 0; run < options.runs; ++run) {
            // curl first in even runs, ours first in odd runs: neither always gets a warm start.
            for (int turn = 0; turn < 2; ++turn) {
                const bool curlTurn = (run % 2 == 0) == (turn == 0);
                if (curlTurn) {
                    const auto start = Clock::now();
                    const int rc = Wait(Spawn({"curl", "-s", "-o", curlOut.string(), url}));
                    const double s = Seconds(Clock::now() - start);
                    if (rc != 0 || fs::file_size(curlOut) != size)
                        throw std::runtime_error("curl failed");
                    curlTimes.push_back(s);
                    std::printf("run %d  curl      %7.3f s  %8.1f MiB/s\n", run + 1, s,
                                double(options.sizeMiB) / s);
                    fs::remove(curlOut);
                } else {
                    events = 0;
                    ResetPeakRss();
                    const long before = StatusKiB("VmRSS");
                    const auto start = Clock::now();
                    {
                        TIdFileSink sink(ourOut);
                        http.Get(url, sink);
                        sink.Close();
                    }
                    const double s = Seconds(Clock::now() - start);
                    const long growth = StatusKiB("VmHWM") - before;
                    worstGrowthKiB = std::max(worstGrowthKiB, growth);
                    if (fs::file_size(ourOut) != size || latestCount != std::int64_t(size) ||
                        latestMax != std::int64_t(size))
                        throw std::runtime_error("TIdHTTP delivered a wrong size");
                    ourTimes.push_back(s);
                    std::printf("run %d  TIdHTTP   %7.3f s  %8.1f MiB/s  %d events  peak RSS "
                                "+%ld KiB\n",
                                run + 1, s, double(options.sizeMiB) / s, events.load(), growth);
                    fs::remove(ourOut);
                }
            }
        }
        const double curlMedian = Median(curlTimes);
        const double ourMedian = Median(ourTimes);
        std::printf("\nmedian curl %.3f s, TIdHTTP %.3f s: ratio (curl / TIdHTTP) %.3f "
                    "(target >= 0.95)\n",
                    curlMedian, ourMedian, curlMedian / ourMedian);
        std::vector<double> ratios;
        for (std::size_t i = 0; i < std::min(curlTimes.size(), ourTimes.size()); ++i)
            ratios.push_back(curlTimes[i] / ourTimes[i]);
        bench::PrintRow("http_get: throughput curl/TIdHTTP", ratios, ">= 0.95",
                        [](double v) { return v >= 0.95; });
        bench::PrintRow("http_get: peak RSS growth (MiB)", {double(worstGrowthKiB) / 1024}, "< 16",
                        [](double v) { return v < 16; });
        std::printf("peak RSS growth during a GET: %.2f MiB (target < 16 MiB); process peak "
                    "RSS %.1f MiB\n",
                    double(worstGrowthKiB) / 1024, double(StatusKiB("VmHWM")) / 1024);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "http_get: %s\n", e.what());
        exitCode = 1;
    }

    if (nginx > 0) {
        kill(nginx, SIGQUIT);
        Wait(nginx);
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return exitCode;
}

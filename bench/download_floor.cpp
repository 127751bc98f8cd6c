// The floor of the updater's download on Windows: libcurl (the same static build) with the
// updater's settings and nothing else. A 512 KiB receive buffer, the body written through a
// 128 KiB stdio buffer, one flush to disk at the end.
//   download_floor URL FILE
// Prints the seconds from before the transfer to after the flush (the process start, slow
// under Wine, is left out), then exits 0 when the whole body arrived with a 2xx status.
#include <curl/curl.h>

#include <windows.h>

#include <cstdio>
#include <io.h>

namespace {

std::size_t WriteBody(char *data, std::size_t size, std::size_t count, void *file) {
    return std::fwrite(data, size, count, static_cast<std::FILE *>(file));
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: download_floor URL FILE\n");
        return 2;
    }
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);

    std::FILE *file = std::fopen(argv[2], "wb");
    if (file == nullptr) {
        std::perror(argv[2]);
        return 1;
    }
    static char buffer[128 * 1024];
    std::setvbuf(file, buffer, _IOFBF, sizeof buffer);

    curl_global_init(CURL_GLOBAL_DEFAULT);
    CURL *curl = curl_easy_init();
    curl_easy_setopt(curl, CURLOPT_URL, argv[1]);
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, 512L * 1024);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &WriteBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, file);
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    const CURLcode result = curl_easy_perform(curl);
    const bool flushed = std::fflush(file) == 0 && _commit(_fileno(file)) == 0;
    const bool closed = std::fclose(file) == 0;
    QueryPerformanceCounter(&end);
    curl_easy_cleanup(curl);
    curl_global_cleanup();

    std::printf("%.3f\n", Seconds(start, end, frequency));
    if (result != CURLE_OK)
        std::fprintf(stderr, "download_floor: %s\n", curl_easy_strerror(result));
    return result == CURLE_OK && flushed && closed ? 0 : 1;
}

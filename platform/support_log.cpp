// The support log's file: one cleaned, timed line at a time, rotated at its bound.
#include "support_log.h"

#include "file_replace.h"
#include "own_files.h"
#include "text_encoding.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <system_error>

namespace platform {

namespace {

struct FileCloser {
    void operator()(std::FILE *file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

/// "2025-01-31 23:59:58.123Z ": the time of a line, in UTC.
std::string TimeStamp(std::chrono::system_clock::time_point now) {
    using namespace std::chrono;
    const auto day = floor<days>(now);
    const year_month_day date(day);
    const hh_mm_ss time(floor<milliseconds>(now - day));
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d.%03dZ ", int(date.year()),
                  unsigned(date.month()), unsigned(date.day()), int(time.hours().count()),
                  int(time.minutes().count()), int(time.seconds().count()),
                  int(time.subseconds().count()));
    return text;
}

/// One line of the log from `text`: no control character, valid UTF-8, at most `maxBytes`
/// bytes before the newline.
std::string CleanLine(std::string_view text, std::size_t maxBytes) {
    std::string line(text.substr(0, maxBytes));
    for (char &c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    // Invalid sequences (a cut one at the end too) become U+FFFD, which may add a few bytes:
    // cut again, before a character's first byte.
    line = Utf16ToUtf8(Utf8ToUtf16(line));
    if (line.size() > maxBytes) {
        std::size_t cut = maxBytes;
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
            --cut;
        line.resize(cut);
    }
    return line + '\n';
}

/// The size of the open `file`, or -1.
long SizeOf(std::FILE *file) {
    return std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
}

} // namespace

SupportLog::SupportLog(std::filesystem::path file, std::uintmax_t maxBytes)
    : file_(std::move(file)), maxBytes_(maxBytes) {}

void SupportLog::Write(std::string_view text) noexcept {
    if (file_.empty())
        return;
    try {
        const std::string stamp = TimeStamp(std::chrono::system_clock::now());
        const std::string line =
            stamp + CleanLine(WithoutCredentials(text), kMaxLineBytes - stamp.size() - 1);
        std::lock_guard lock(mutex_);
        Append(line);
    } catch (...) {
        // The log serves support; losing a line must change nothing else.
    }
}

void SupportLog::Append(const std::string &line) {
    std::error_code error;
    if (std::filesystem::create_directories(file_.parent_path(), error))
        std::filesystem::permissions(file_.parent_path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::replace, error);
    FileHandle file(OpenOwnFileForAppending(file_));
    if (!file)
        return;
    const long size = SizeOf(file.get());
    if (size < 0)
        return;
    if (static_cast<std::uintmax_t>(size) + line.size() > maxBytes_) {
        file.reset();
        std::filesystem::path previous = file_;
        previous += ".1";
        if (!ReplaceFileAtomically(file_, previous, error, std::chrono::milliseconds(0)))
            return; // the bound holds: no line rather than a file past it
        file.reset(OpenOwnFileForAppending(file_));
        if (!file)
            return;
    }
    std::fwrite(line.data(), 1, line.size(), file.get());
}

std::string WithoutCredentials(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t scheme = text.find("://"); scheme != std::string_view::npos;
         scheme = text.find("://", from)) {
        const std::size_t authority = scheme + 3;
        // The authority ends where the path, query or fragment begins, or the address does.
        const std::size_t end = text.find_first_of("/?#\\ \t\r\n\"'<>", authority);
        const std::string_view host = text.substr(authority, end - authority);
        const std::size_t at = host.rfind('@');
        out.append(text.substr(from, authority - from));
        from = at == std::string_view::npos ? authority : authority + at + 1;
    }
    out.append(text.substr(from));
    return out;
}

} // namespace platform

#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>

namespace platform {

/// The file name of the support log in the updater's state folder (see state_folder.h).
inline constexpr char kSupportLogName[] = "updater.log";

/// A small log of what the updater did, for the player to send to the publisher: one line per
/// step, each with its UTC time, in UTF-8.
///
/// The file is opened for each line as the updater's own files are (never through a link, only a
/// plain file of this user, created readable by its owner only; see own_files.h), and its folder
/// is made when missing. When the next line would take the file past `maxBytes`, the file
/// becomes "<file>.1" (replacing the previous one) and a new file begins, so the log never
/// holds more than twice the bound. Any address's "user:password@" is removed from every line
/// (see `WithoutCredentials`). Writing is thread-safe and never throws: a log that cannot be
/// written loses the line, and nothing else changes.
class SupportLog {
public:
    static constexpr std::uintmax_t kDefaultMaxBytes = 256 * 1024;
    /// The longest line kept, in bytes (its time included); a longer one is cut.
    static constexpr std::size_t kMaxLineBytes = 2048;

    /// A log in `file`; an empty path writes nothing.
    explicit SupportLog(std::filesystem::path file, std::uintmax_t maxBytes = kDefaultMaxBytes);
    SupportLog(const SupportLog &) = delete;
    SupportLog &operator=(const SupportLog &) = delete;

    /// Appends `text` as one line: control characters become spaces, bytes that are not UTF-8
    /// become U+FFFD, and the line is cut at `kMaxLineBytes`. Any thread.
    void Write(std::string_view text) noexcept;

    const std::filesystem::path &File() const { return file_; }

private:
    /// Appends `line` (complete, with its newline), rotating first when it would pass the bound.
    void Append(const std::string &line);

    const std::filesystem::path file_;
    const std::uintmax_t maxBytes_;
    std::mutex mutex_;
};

/// `text` with the user information ("user:password@", "token@") taken out of every address in
/// it, that is, out of the authority after each "://".
std::string WithoutCredentials(std::string_view text);

} // namespace platform

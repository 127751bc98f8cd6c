#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

/// Where `TIdHTTP::Get` writes a reply body: one method, so the client knows nothing about files
/// or memory.
///
/// `Begin` and `Add` report a failure by throwing (any `std::exception`); `TIdHTTP::Get` turns it
/// into `EIdSinkFailed` carrying the message.
class TIdSink {
public:
    virtual ~TIdSink() = default;

    /// Called once per 2xx reply, before its first body byte (also for an empty body), with the
    /// position in the resource at which the body starts: 0 for the whole resource, N when the
    /// reply continues a resource from byte N (a 206 to a resume request). This default takes
    /// only whole bodies and refuses a continuation.
    virtual void Begin(std::int64_t offset);

    /// Appends `len` bytes. Called on the thread that runs `Get`, once per received piece.
    virtual void Add(const char *data, std::size_t len) = 0;
};

/// Collects the body in memory (small replies: the version query).
class TIdMemorySink final : public TIdSink {
public:
    void Add(const char *data, std::size_t len) override { data_.append(data, len); }

    /// The bytes received so far.
    const std::string &Data() const { return data_; }
    std::size_t Size() const { return data_.size(); }
    void Clear() { data_.clear(); }

private:
    std::string data_;
};

/// Streams the body into a file. Memory stays flat whatever the body's size.
///
/// Made with `TIdFileSink::Truncate` the file is created or emptied at once. Made with
/// `TIdFileSink::Keep` an existing file keeps its bytes so that a continuation can be appended:
/// `Begin(N)` accepts a continuation only when the file holds exactly N bytes, and `Begin(0)`
/// empties the file first (the server sent the whole resource after all).
///
/// Every failure (the file cannot be created, a write fails, the disk is full) throws
/// `EIdSinkFailed` with the system's reason. The destructor closes the file without reporting;
/// call `Close` to learn whether the last bytes reached the file. The sink never removes the file:
/// that is its owner's decision.
class TIdFileSink final : public TIdSink {
public:
    /// What happens to an existing file when the sink is made.
    enum Existing { Truncate, Keep };

    explicit TIdFileSink(std::filesystem::path path, Existing existing = Truncate);
    ~TIdFileSink() override;
    TIdFileSink(const TIdFileSink &) = delete;
    TIdFileSink &operator=(const TIdFileSink &) = delete;

    void Begin(std::int64_t offset) override;
    void Add(const char *data, std::size_t len) override;

    /// Writes buffered bytes and forces them to the disk (fsync), so a following rename publishes
    /// a complete file.
    void Flush();
    /// Writes buffered bytes and closes the file; later calls do nothing. Throws on a failed write.
    void Close();

    const std::filesystem::path &Path() const { return path_; }
    /// Bytes in the file: those kept from before and those accepted by `Add`.
    std::size_t Size() const { return size_; }

private:
    [[noreturn]] void Fail(const char *what, int error) const;
    void Open(bool append);
    void StartWriteBack();

    std::filesystem::path path_;
    std::unique_ptr<char[]> buffer_; ///< stdio's buffer; outlives `file_`
    std::FILE *file_ = nullptr;
    std::size_t size_ = 0;
    std::int64_t writtenBack_ = 0; ///< bytes already handed to the disk's write-back
};

#include "update_download.h"

#include "TIdHTTP.h"
#include "TIdSink.h"
#include "continuation_wait.h"
#include "file_replace.h"
#include "installed_client.h"
#include "partial_download.h"
#include "patch_decoder.h"
#include "patch_update.h"
#include "verifying_sink.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <system_error>

namespace {

/// Collects a signature file and refuses to grow past what a real one can be.
class TSignatureSink final : public TIdSink {
public:
    void Add(const char *data, std::size_t len) override {
        if (len > verify::kMaxSignatureFileSize - text_.size())
            throw EIdSinkFailed("the signature file is larger than any real one");
        text_.append(data, len);
    }
    const std::string &Text() const { return text_; }

private:
    std::string text_;
};

/// Takes the progress events off `http` while it lives, so a small side request never moves
/// the window's progress bar.
class TQuietProgress {
public:
    explicit TQuietProgress(TIdHTTP &http)
        : http_(http), begin_(std::move(http.OnWorkBegin)), work_(std::move(http.OnWork)),
          end_(std::move(http.OnWorkEnd)) {
        http.OnWorkBegin = nullptr;
        http.OnWork = nullptr;
        http.OnWorkEnd = nullptr;
    }
    ~TQuietProgress() {
        http_.OnWorkBegin = std::move(begin_);
        http_.OnWork = std::move(work_);
        http_.OnWorkEnd = std::move(end_);
    }
    TQuietProgress(const TQuietProgress &) = delete;
    TQuietProgress &operator=(const TQuietProgress &) = delete;

private:
    TIdHTTP &http_;
    TIdHTTP::TWorkBeginEvent begin_;
    TIdHTTP::TWorkEvent work_;
    TIdHTTP::TWorkEndEvent end_;
};

/// Clears the resume fields of the request however the transfer ends.
struct TResumeReset {
    TIdHTTPRequest &request;
    ~TResumeReset() {
        request.ResumeFrom = -1;
        request.IfRange.clear();
        request.ResumeTotal = -1;
    }
};

TUpdateOutcome OutcomeOf(TIdHTTPErrorKind kind) {
    switch (kind) {
    case TIdHTTPErrorKind::ProtocolError:
        return TUpdateOutcome::ServerRejected;
    case TIdHTTPErrorKind::CannotResolve:
    case TIdHTTPErrorKind::CannotConnect:
    case TIdHTTPErrorKind::ConnectionLost:
    case TIdHTTPErrorKind::Stalled:
        return TUpdateOutcome::ConnectionFailed;
    case TIdHTTPErrorKind::Cancelled:
        return TUpdateOutcome::Cancelled;
    case TIdHTTPErrorKind::SinkFailed:
        return TUpdateOutcome::ReplaceFailed;
    }
    return TUpdateOutcome::ConnectionFailed;
}

/// Fetches and checks the signature of `url` against `keyText`; nothing but the parsed pieces
/// when they are the key's, otherwise the outcome that ends the run.
TUpdateOutcome FetchSignature(TIdHTTP &http, const std::string &url, const std::string &keyText,
                              const std::stop_token &stop, verify::MinisignPublicKey &key,
                              verify::MinisignSignature &signature) {
    const auto parsedKey = verify::ParseMinisignPublicKey(keyText);
    if (!parsedKey)
        return TUpdateOutcome::NotAuthentic;
    TSignatureSink sink;
    try {
        TQuietProgress quiet(http);
        http.Get(url + ".minisig", sink);
    } catch (const EIdHTTPError &error) {
        if (stop.stop_requested())
            return TUpdateOutcome::Cancelled;
        // A missing or oversized signature makes the download unverifiable; a broken
        // connection is only a broken connection.
        const TUpdateOutcome outcome = OutcomeOf(error.Kind());
        return outcome == TUpdateOutcome::ConnectionFailed || outcome == TUpdateOutcome::Cancelled
                   ? outcome
                   : TUpdateOutcome::NotAuthentic;
    }
    const auto parsed = verify::ParseMinisignSignature(sink.Text());
    if (!parsed || verify::CheckSignatureHeader(*parsedKey, *parsed) != verify::Verdict::Authentic)
        return TUpdateOutcome::NotAuthentic;
    key = *parsedKey;
    signature = *parsed;
    return TUpdateOutcome::Replaced;
}

/// After a connection-type failure: keeps the bytes that arrived as the partial download when
/// the reply told how to ask for the rest. `resumed` is what the run started from, if anything.
/// True when they were kept.
bool KeepWhatArrived(TIdHTTP &http, const std::string &url, TVerifyingFileSink &sink,
                     const std::filesystem::path &temporary, const std::filesystem::path &target,
                     const std::optional<TPartialDownload> &resumed) {
    TPartialDownload info;
    info.Url = url;
    const int status = http.ResponseCode();
    if (status == 200 || status == 206) {
        info.Validator = ResumeValidator(http.ResponseETag(), http.ResponseLastModified());
        info.Length = http.ResponseFullLength();
    } else if (resumed) {
        // No reply this time (no connection): what was known still holds.
        info.Validator = resumed->Validator;
        info.Length = resumed->Length;
    }
    try {
        sink.File().Close();
    } catch (const std::exception &) {
        return false; // the bytes may not all be on disk: not worth keeping
    }
    info.Size = static_cast<std::int64_t>(sink.File().Size());
    return KeepPartialDownload(temporary, target, info);
}

/// One attempt at the whole client into `temporary`, continuing a partial download when there
/// is one. `Replaced` here means only that the file is complete (and authentic when verifying).
/// After a connection-type failure `continuable` tells whether the bytes are kept as a partial
/// download and this attempt received some (or continued an earlier automatic attempt,
/// `continuing`).
TUpdateOutcome DownloadWholeOnce(TIdHTTP &http, const std::string &url,
                                 const std::filesystem::path &temporary,
                                 const std::filesystem::path &target, const std::stop_token &stop,
                                 const verify::MinisignPublicKey *key,
                                 const verify::MinisignSignature *signature, bool continuing,
                                 bool &continuable) {
    continuable = false;
    std::optional<TPartialDownload> resumed = ClaimPartialDownload(target, url, temporary);
    try {
        TVerifyingFileSink sink(temporary, key, signature);
        TResumeReset resetResume{http.Request()};
        for (;;) {
            http.Request().ResumeFrom = resumed ? resumed->Size : -1;
            http.Request().IfRange = resumed ? resumed->Validator : std::string();
            http.Request().ResumeTotal = resumed ? resumed->Length : -1;
            try {
                http.Get(url, sink);
                break;
            } catch (const EIdRangeMismatch &) {
                if (!resumed || stop.stop_requested())
                    throw;
                resumed.reset(); // never splice: ask for the whole file instead
            } catch (const EIdHTTPError &error) {
                if (!stop.stop_requested() &&
                    (error.Kind() == TIdHTTPErrorKind::ConnectionLost ||
                     error.Kind() == TIdHTTPErrorKind::Stalled ||
                     (resumed && OutcomeOf(error.Kind()) == TUpdateOutcome::ConnectionFailed))) {
                    // Counted as delivered, not as the file's growth: a reply that started
                    // again from zero shrank the file even when it brought bytes.
                    const bool received = sink.Received() > 0;
                    continuable = KeepWhatArrived(http, url, sink, temporary, target, resumed) &&
                                  (received || continuing);
                }
                throw;
            }
        }
        if (IsHtmlContentType(http.ResponseContentType()) || sink.File().Size() == 0)
            return TUpdateOutcome::ServerRejected;
        sink.File().Flush();
        sink.File().Close();
        if (sink.Finish() != verify::Verdict::Authentic)
            return TUpdateOutcome::NotAuthentic;
    } catch (const EIdHTTPError &error) {
        return stop.stop_requested() ? TUpdateOutcome::Cancelled : OutcomeOf(error.Kind());
    } catch (const std::exception &) {
        return TUpdateOutcome::ReplaceFailed;
    }
    return TUpdateOutcome::Replaced;
}

/// The whole client into `temporary`. A download that breaks off after bytes arrived continues
/// by itself a few times, after `continuation`'s pauses, from where it stopped; only the last
/// failure is returned. A stop during a pause returns `ConnectionFailed`, which keeps the
/// partial download for the next start.
TUpdateOutcome DownloadWhole(TIdHTTP &http, const std::string &url,
                             const std::filesystem::path &temporary,
                             const std::filesystem::path &target, const std::stop_token &stop,
                             const verify::MinisignPublicKey *key,
                             const verify::MinisignSignature *signature,
                             TContinuationWait *continuation) {
    for (int attempt = 0;; ++attempt) {
        bool continuable = false;
        const TUpdateOutcome downloaded = DownloadWholeOnce(http, url, temporary, target, stop, key,
                                                            signature, attempt > 0, continuable);
        if (downloaded != TUpdateOutcome::ConnectionFailed || !continuable || !continuation ||
            attempt >= continuation->Continuations())
            return downloaded;
        if (!continuation->Wait(attempt, stop))
            return TUpdateOutcome::ConnectionFailed;
    }
}

/// Puts the complete new client in `temporary` in the place of `target`, made executable,
/// after `beforeReplace` has ended the running client.
TUpdateOutcome InstallNewClient(const std::filesystem::path &temporary, const std::filesystem::path &target,
                       const std::function<void()> &beforeReplace) {
    std::error_code ignored;
    std::filesystem::permissions(temporary,
                                 std::filesystem::perms::owner_exec |
                                     std::filesystem::perms::group_exec |
                                     std::filesystem::perms::others_exec,
                                 std::filesystem::perm_options::add, ignored);
    if (beforeReplace)
        beforeReplace();
    std::error_code error;
    return platform::ReplaceFileAtomically(temporary, target, error)
               ? TUpdateOutcome::Replaced
               : TUpdateOutcome::ReplaceFailed;
}

/// The steps of one update: the signature, the installed client, a patch or the whole file, the
/// replace. The caller removes `temporary` afterwards.
TUpdateOutcome RunUpdateSteps(TIdHTTP &http, const std::string &url,
                        const std::filesystem::path &temporary, const std::filesystem::path &target,
                        const std::function<void()> &beforeReplace, const std::stop_token &stop,
                        const std::string &publisherKey, TContinuationWait *continuation) {
    std::stop_callback cancelOnStop(stop, [&http] { http.Cancel(); });
    verify::MinisignPublicKey key;
    verify::MinisignSignature signature;
    const bool verifying = !publisherKey.empty();
    if (verifying) {
        const TUpdateOutcome fetched =
            FetchSignature(http, url, publisherKey, stop, key, signature);
        if (fetched != TUpdateOutcome::Replaced)
            return fetched;
    }
    const verify::MinisignPublicKey *keyUsed = verifying ? &key : nullptr;
    const verify::MinisignSignature *signatureUsed = verifying ? &signature : nullptr;

    // The installed client is read only when its hash or its verdict can serve: with a key (it
    // may be the newest already), or when it is small enough to be a patch's reference.
    std::error_code sizeError;
    const auto installedSize = std::filesystem::file_size(target, sizeError);
    const bool worthExamining =
        !sizeError && (verifying || installedSize <= TPatchLimits{}.MaxReference);
    const auto installed = worthExamining
                               ? ExamineInstalledClient(target, keyUsed, signatureUsed, stop)
                               : std::nullopt;
    if (stop.stop_requested())
        return TUpdateOutcome::Cancelled;
    if (installed && installed->Authentic) {
        // Already the newest: the same end as an update, without a transfer or a rewrite.
        if (beforeReplace)
            beforeReplace();
        return TUpdateOutcome::UpToDate;
    }
    const TPatchOutcome patched =
        installed ? UpdateByPatch(http, url, *installed, temporary, keyUsed, signatureUsed, stop)
                  : TPatchOutcome::NotOffered;
    if (patched == TPatchOutcome::Cancelled)
        return TUpdateOutcome::Cancelled;
    if (patched != TPatchOutcome::Built) {
        const TUpdateOutcome downloaded =
            DownloadWhole(http, url, temporary, target, stop, keyUsed, signatureUsed, continuation);
        if (downloaded != TUpdateOutcome::Replaced)
            return downloaded;
    }
    if (stop.stop_requested())
        return TUpdateOutcome::Cancelled;
    return InstallNewClient(temporary, target, beforeReplace);
}

} // namespace

TUpdateOutcome DownloadAndReplace(TIdHTTP &http, const std::string &url,
                                  const std::filesystem::path &target,
                                  const std::function<void()> &beforeReplace, std::stop_token stop,
                                  const std::string &publisherKey,
                                  TContinuationWait *continuation) {
    std::filesystem::path temporary;
    TUpdateOutcome outcome;
    try {
        temporary = platform::TemporaryPathBeside(target);
        outcome =
            RunUpdateSteps(http, url, temporary, target, beforeReplace, stop, publisherKey, continuation);
    } catch (const std::exception &) {
        outcome = TUpdateOutcome::ReplaceFailed;
    }
    if (outcome != TUpdateOutcome::Replaced && !temporary.empty()) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored); // gone already when it was kept as partial
    }
    // Only a broken connection leaves a partial download to continue from.
    if (outcome != TUpdateOutcome::ConnectionFailed)
        DiscardPartialDownload(target);
    return outcome;
}

bool IsHtmlContentType(const std::string &contentType) {
    std::string type = contentType.substr(0, contentType.find(';'));
    type.erase(std::remove_if(type.begin(), type.end(),
                              [](unsigned char c) { return std::isspace(c) != 0; }),
               type.end());
    std::transform(type.begin(), type.end(), type.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return type == "text/html";
}

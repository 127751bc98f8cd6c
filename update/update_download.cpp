#include "update_download.h"

#include "TIdHTTP.h"
#include "TIdSink.h"
#include "continuation_wait.h"
#include "file_replace.h"
#include "installed_client.h"
#include "own_files.h"
#include "partial_download.h"
#include "patch_decoder.h"
#include "patch_update.h"
#include "release_floor.h"
#include "verifying_sink.h"
#include "whole_replies.h"

#include <algorithm>
#include <cctype>
#include <chrono>
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

/// Asks caches on the way for a fresh copy while it lives: a signature a cache kept longer than
/// the client would freeze players on an old release.
class TCacheBypass {
public:
    explicit TCacheBypass(TIdHTTPRequest &request) : request_(request) {
        request_.CacheControl = "no-cache";
    }
    ~TCacheBypass() { request_.CacheControl.clear(); }
    TCacheBypass(const TCacheBypass &) = delete;
    TCacheBypass &operator=(const TCacheBypass &) = delete;

private:
    TIdHTTPRequest &request_;
};

/// The largest client the updater downloads (512 MiB): a longer reply is refused before its body
/// is read, and a body that grows past it fails there.
constexpr std::int64_t kMaxClientSize = std::int64_t{512} << 20;

/// Clears the resume fields of the request however the transfer ends.
struct TResumeReset {
    TIdHTTPRequest &request;
    ~TResumeReset() {
        request.ResumeFrom = -1;
        request.IfRange.clear();
        request.ResumeTotal = -1;
    }
};

std::int64_t UnixNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

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

/// The published signature of the client, checked against the key: its parts and its text,
/// which is kept beside the client once the release it signs is accepted.
struct TPublishedSignature {
    verify::MinisignPublicKey Key;
    verify::MinisignSignature Signature;
    std::string Text;
    verify::TrustedComment Comment;
};

/// What a refused signature reply means: no signature published (404, 410, and other refusals)
/// makes the download unverifiable; a proxy that wants credentials (407), a server in trouble
/// (5xx) or a 2xx that could not prove it was whole is only a server error.
TUpdateOutcome SignatureRefusal(int status) {
    return status == 407 || status >= 500 || (status >= 200 && status < 300)
               ? TUpdateOutcome::ServerRejected
               : TUpdateOutcome::NotAuthentic;
}

/// Fetches the signature of `url` (past any cache on the way) and checks that it is `keyText`'s
/// and carries a readable trusted comment; otherwise the outcome that ends the run.
TUpdateOutcome FetchSignature(TIdHTTP &http, const std::string &url, const std::string &keyText,
                              const std::stop_token &stop, TPublishedSignature &published) {
    const auto parsedKey = verify::ParseMinisignPublicKey(keyText);
    if (!parsedKey)
        return TUpdateOutcome::NotAuthentic;
    TSignatureSink sink;
    try {
        TQuietProgress quiet(http);
        TCacheBypass fresh(http.Request());
        TWholeReplies whole(http.Request(), -1); // the sink bounds a signature's size itself
        http.Get(url + ".minisig", sink);
    } catch (const EIdHTTPError &error) {
        if (stop.stop_requested())
            return TUpdateOutcome::Cancelled;
        const TUpdateOutcome outcome = OutcomeOf(error.Kind());
        if (outcome == TUpdateOutcome::ServerRejected)
            return SignatureRefusal(http.ResponseCode());
        // An oversized signature makes the download unverifiable; a broken connection is only
        // a broken connection.
        return outcome == TUpdateOutcome::ConnectionFailed || outcome == TUpdateOutcome::Cancelled
                   ? outcome
                   : TUpdateOutcome::NotAuthentic;
    }
    const auto parsed = verify::ParseMinisignSignature(sink.Text());
    if (!parsed || verify::CheckSignatureHeader(*parsedKey, *parsed) != verify::Verdict::Authentic)
        return TUpdateOutcome::NotAuthentic;
    const auto comment = verify::ParseTrustedComment(parsed->trustedComment);
    if (!comment)
        return TUpdateOutcome::NotAuthentic;
    published = TPublishedSignature{*parsedKey, *parsed, sink.Text(), *comment};
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
        info.Validator =
            ResumeValidator(http.ResponseETag(), http.ResponseLastModified(), http.ResponseDate());
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
        TWholeReplies whole(http.Request(), kMaxClientSize);
        // Without a signature nothing proves the rest belongs to the kept bytes: ask again for
        // the last of them too, and continue only when they come back the same.
        const auto overlap = [&] {
            return key ? 0 : std::min<std::int64_t>(resumed->Size, TVerifyingFileSink::kMaxOverlap);
        };
        for (;;) {
            http.Request().ResumeFrom = resumed ? resumed->Size - overlap() : -1;
            http.Request().IfRange = resumed ? resumed->Validator : std::string();
            http.Request().ResumeTotal = resumed ? resumed->Length : -1;
            try {
                http.Get(url, sink);
                break;
            } catch (const EIdRangeMismatch &) {
                if (!resumed || stop.stop_requested())
                    throw;
                resumed.reset(); // never splice: ask for the whole file instead
            } catch (const EIdSinkFailed &) {
                if (!resumed || !sink.OverlapMismatched() || stop.stop_requested())
                    throw;
                resumed.reset(); // another file behind the same validator: start from zero
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
        // Bytes already kept stay kept when the stop came just after they were: the outcome of
        // a broken connection is what keeps them.
        if (stop.stop_requested() && !continuable)
            return TUpdateOutcome::Cancelled;
        return OutcomeOf(error.Kind());
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
TUpdateOutcome InstallNewClient(const std::filesystem::path &temporary,
                                const std::filesystem::path &target,
                                const std::function<void()> &beforeReplace) {
    // The file was written readable by its owner only; it takes the old client's permissions.
    if (const auto permissions = platform::ClientPermissions(target)) {
        std::error_code error;
        std::filesystem::permissions(temporary, *permissions,
                                     std::filesystem::perm_options::replace, error);
        if (error)
            return TUpdateOutcome::ReplaceFailed;
    }
    if (beforeReplace)
        beforeReplace();
    std::error_code error;
    return platform::ReplaceFileAtomically(temporary, target, error)
               ? TUpdateOutcome::Replaced
               : TUpdateOutcome::ReplaceFailed;
}

/// The steps of one update: the signature and the release it names, the installed client, a
/// patch or the whole file, the replace, and with a key the release kept as the new floor. The
/// caller removes `temporary` afterwards.
TUpdateOutcome RunUpdateSteps(TIdHTTP &http, const std::string &url,
                              const std::filesystem::path &temporary,
                              const std::filesystem::path &target,
                              const std::function<void()> &beforeReplace,
                              const std::stop_token &stop, const TUpdateSettings &settings) {
    std::stop_callback cancelOnStop(stop, [&http] { http.Cancel(); });
    TPublishedSignature published;
    std::optional<TReleaseFloor> floor;
    TReleaseJudgement judgement = TReleaseJudgement::Newer;
    const bool verifying = !settings.PublisherKey.empty();
    if (verifying) {
        const TUpdateOutcome fetched =
            FetchSignature(http, url, settings.PublisherKey, stop, published);
        if (fetched != TUpdateOutcome::Replaced)
            return fetched;
        floor.emplace(target, settings.StateFolder, published.Key);
        judgement = JudgeRelease(published.Comment, target.filename().string(), floor->Load(),
                                 settings.Now ? settings.Now() : UnixNow());
        if (judgement == TReleaseJudgement::Refused)
            return TUpdateOutcome::NotAuthentic;
    }
    const verify::MinisignPublicKey *keyUsed = verifying ? &published.Key : nullptr;
    const verify::MinisignSignature *signatureUsed = verifying ? &published.Signature : nullptr;
    const auto accept = [&] {
        if (floor)
            floor->Keep(published.Text, published.Comment.Timestamp);
    };

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
        accept();
        if (beforeReplace)
            beforeReplace();
        return TUpdateOutcome::UpToDate;
    }
    // The floor's own release with other bytes installed: whatever is served under that time is
    // no newer than what the player has been given before.
    if (judgement == TReleaseJudgement::Same)
        return TUpdateOutcome::NotAuthentic;
    const TPatchOutcome patched =
        installed ? UpdateByPatch(http, url, *installed, temporary, keyUsed, signatureUsed, stop)
                  : TPatchOutcome::NotOffered;
    if (patched == TPatchOutcome::Cancelled)
        return TUpdateOutcome::Cancelled;
    if (patched != TPatchOutcome::Built) {
        const TUpdateOutcome downloaded = DownloadWhole(http, url, temporary, target, stop, keyUsed,
                                                        signatureUsed, settings.Continuation);
        if (downloaded != TUpdateOutcome::Replaced)
            return downloaded;
    }
    if (stop.stop_requested())
        return TUpdateOutcome::Cancelled;
    const TUpdateOutcome installedNew = InstallNewClient(temporary, target, beforeReplace);
    if (installedNew == TUpdateOutcome::Replaced)
        accept();
    return installedNew;
}

} // namespace

TUpdateOutcome DownloadAndReplace(TIdHTTP &http, const std::string &url,
                                  const std::filesystem::path &target,
                                  const std::function<void()> &beforeReplace, std::stop_token stop,
                                  const TUpdateSettings &settings) {
    std::filesystem::path temporary;
    TUpdateOutcome outcome;
    try {
        platform::RemoveLeftoverTemporaryFiles(target);
        temporary = platform::CreateTemporaryFileBeside(target);
        outcome = RunUpdateSteps(http, url, temporary, target, beforeReplace, stop, settings);
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

// One file under the publisher's download folder, asked from the servers in turn: its signature,
// and its bytes into a temporary file with continuation and verification.
#include "server_files.h"

#include "TIdHTTP.h"
#include "TIdSink.h"
#include "continuation_wait.h"
#include "partial_download.h"
#include "server_list.h"
#include "verifying_sink.h"
#include "whole_replies.h"

#include <algorithm>
#include <filesystem>
#include <optional>

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

/// Clears the resume fields of the request however the transfer ends.
struct TResumeReset {
    TIdHTTPRequest &request;
    ~TResumeReset() {
        request.ResumeFrom = -1;
        request.IfRange.clear();
        request.ResumeTotal = -1;
    }
};

/// How one server's failure for a file ranks when every server failed: the most telling one is
/// reported (a refused file over a server's refusal over a connection that failed).
int Rank(TUpdateOutcome outcome) {
    switch (outcome) {
    case TUpdateOutcome::NotAuthentic:
        return 3;
    case TUpdateOutcome::ServerRejected:
        return 2;
    default:
        return 1;
    }
}

/// Keeps the most telling of the failures met so far.
struct TWorstFailure {
    TUpdateOutcome outcome = TUpdateOutcome::ConnectionFailed;
    void Add(TUpdateOutcome failure) {
        if (Rank(failure) > Rank(outcome))
            outcome = failure;
    }
};

TUpdateOutcome UpdateOutcomeOf(TIdHTTPErrorKind kind) {
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

bool IsUnreachable(TIdHTTPErrorKind kind) {
    return kind == TIdHTTPErrorKind::CannotResolve || kind == TIdHTTPErrorKind::CannotConnect;
}

/// What one attempt at a file on one server came to.
struct TAttempt {
    TUpdateOutcome outcome = TUpdateOutcome::Replaced;
    /// The server could not be connected to (or its name not resolved).
    bool unreachable = false;
    /// The reply's status when the server refused (0 without one).
    int status = 0;
    /// A broken transfer whose bytes are kept to continue from, after bytes arrived in this call.
    bool continuable = false;
    /// For the support log, what the request's own line does not show: why the reply was not
    /// taken or the file could not be written.
    std::string why;
};

/// After a connection-type failure: keeps the bytes that arrived as the partial download when
/// the reply told how to ask for the rest. `resumed` is what the run started from, if anything.
/// True when they were kept.
bool KeepWhatArrived(TIdHTTP &http, const std::string &url, TVerifyingFileSink &sink,
                     const std::filesystem::path &temporary, const std::filesystem::path &owner,
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
    return KeepPartialDownload(temporary, owner, info);
}

/// One attempt at the whole file from `url` into `temporary`, continuing a partial download when
/// there is one from that address. `Replaced` means the file is complete (and authentic when
/// verifying). `continuing`: this attempt continues an earlier automatic attempt.
/// `keepWhenStopped`: a transfer that `stop` cancels keeps its bytes as a broken one does.
TAttempt DownloadWholeOnce(TIdHTTP &http, const std::string &url,
                           const std::filesystem::path &temporary,
                           const std::filesystem::path &owner, const std::stop_token &stop,
                           const verify::MinisignPublicKey *key,
                           const verify::MinisignSignature *signature, bool continuing,
                           bool keepWhenStopped) {
    TAttempt attempt;
    std::optional<TPartialDownload> resumed = ClaimPartialDownload(owner, url, temporary);
    try {
        TVerifyingFileSink sink(temporary, key, signature);
        TResumeReset resetResume{http.Request()};
        TWholeReplies whole(http.Request(), kMaxDownloadSize);
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
                const bool broken =
                    error.Kind() == TIdHTTPErrorKind::ConnectionLost ||
                    error.Kind() == TIdHTTPErrorKind::Stalled ||
                    (resumed && UpdateOutcomeOf(error.Kind()) == TUpdateOutcome::ConnectionFailed);
                const bool stopped = stop.stop_requested();
                if ((!stopped && broken) ||
                    (stopped && keepWhenStopped && error.Kind() == TIdHTTPErrorKind::Cancelled)) {
                    // Counted as delivered, not as the file's growth: a reply that started
                    // again from zero shrank the file even when it brought bytes.
                    const bool received = sink.Received() > 0;
                    attempt.continuable =
                        KeepWhatArrived(http, url, sink, temporary, owner, resumed) &&
                        (received || continuing);
                }
                throw;
            }
        }
        if (IsHtmlContentType(http.ResponseContentType()) || sink.File().Size() == 0) {
            attempt.outcome = TUpdateOutcome::ServerRejected;
            attempt.why = sink.File().Size() == 0 ? "an empty body" : "an HTML page";
            return attempt;
        }
        sink.File().Flush();
        sink.File().Close();
        if (sink.Finish() != verify::Verdict::Authentic)
            attempt.outcome = TUpdateOutcome::NotAuthentic;
    } catch (const EIdHTTPError &error) {
        // Bytes already kept stay kept when the stop came just after they were: the outcome of
        // a broken connection is what keeps them.
        if (stop.stop_requested() && !attempt.continuable) {
            attempt.outcome = TUpdateOutcome::Cancelled;
            return attempt;
        }
        attempt.outcome = UpdateOutcomeOf(error.Kind());
        attempt.unreachable = IsUnreachable(error.Kind());
        if (error.Kind() == TIdHTTPErrorKind::ProtocolError)
            attempt.status = http.ResponseCode();
        if (error.Kind() == TIdHTTPErrorKind::SinkFailed)
            attempt.why = error.what();
    } catch (const std::exception &error) {
        attempt.outcome = TUpdateOutcome::ReplaceFailed;
        attempt.why = error.what();
    }
    return attempt;
}

/// The whole file from one server. A download that breaks off after bytes arrived continues by
/// itself a few times, after `continuation`'s pauses, from where it stopped; only the last
/// attempt is returned. A stop during a pause returns `ConnectionFailed`, which keeps the
/// partial download for the next call.
TAttempt DownloadWhole(TIdHTTP &http, const std::string &url,
                       const std::filesystem::path &temporary, const std::filesystem::path &owner,
                       const std::stop_token &stop, const verify::MinisignPublicKey *key,
                       const verify::MinisignSignature *signature, TContinuationWait *continuation,
                       bool keepWhenStopped) {
    for (int number = 0;; ++number) {
        TAttempt attempt = DownloadWholeOnce(http, url, temporary, owner, stop, key, signature,
                                             number > 0, keepWhenStopped);
        if (attempt.outcome != TUpdateOutcome::ConnectionFailed || !attempt.continuable ||
            !continuation || number >= continuation->Continuations())
            return attempt;
        if (!continuation->Wait(number, stop))
            return attempt;
    }
}

/// The support log's line for a whole download from `server` that ended as `attempt` did:
/// its size and time and the verdict, or why its bytes were not taken.
void LogAttempt(const TUpdateLog &log, const TAttempt &attempt, const std::string &server,
                const std::filesystem::path &temporary, const TStopwatch &clock, bool verifying) {
    const std::string from = "whole file from " + server + ": ";
    std::error_code ignored;
    switch (attempt.outcome) {
    case TUpdateOutcome::Replaced:
        LogLine(log, from + std::to_string(std::filesystem::file_size(temporary, ignored)) +
                         " bytes in " + std::to_string(clock.Milliseconds()) + " ms, " +
                         (verifying ? "authentic" : "not verified"));
        break;
    case TUpdateOutcome::NotAuthentic:
        LogLine(log, from + "not the signed bytes");
        break;
    case TUpdateOutcome::ServerRejected:
    case TUpdateOutcome::ReplaceFailed:
        if (!attempt.why.empty())
            LogLine(log, from + "failed: " + attempt.why);
        break;
    default:
        break; // the request's own line tells of a connection that failed
    }
}

} // namespace

bool IsPassedOver(int status) {
    return status == 403 || status == 404 || status >= 500;
}

TUpdateOutcome FetchAcceptedSignature(
    TIdHTTP &http, TServerList &servers, const std::string &path, const std::string &keyText,
    const std::function<TSignatureJudgement(const verify::TrustedComment &)> &accept, const std::stop_token &stop,
    TAcceptedSignature &accepted, std::set<std::size_t> *refused, const TUpdateLog &log) {
    const auto key = verify::ParseMinisignPublicKey(keyText);
    if (!key)
        return TUpdateOutcome::NotAuthentic;
    TWorstFailure worst;
    for (const std::size_t server : servers.AskingOrder()) {
        TSignatureSink sink;
        try {
            TQuietProgress quiet(http);
            TCacheBypass fresh(http.Request());
            TWholeReplies whole(http.Request(), -1); // the sink bounds a signature's size itself
            http.Get(servers.UrlOf(server, path) + ".minisig", sink);
        } catch (const EIdHTTPError &error) {
            if (stop.stop_requested())
                return TUpdateOutcome::Cancelled;
            if (IsUnreachable(error.Kind()))
                servers.MarkUnreachable(server);
            const TUpdateOutcome outcome = UpdateOutcomeOf(error.Kind());
            if (outcome == TUpdateOutcome::ConnectionFailed) {
                worst.Add(outcome);
                continue;
            }
            if (outcome != TUpdateOutcome::ServerRejected) {
                // A signature larger than any real one: refused like a forged one.
                worst.Add(TUpdateOutcome::NotAuthentic);
                continue;
            }
            const int status = http.ResponseCode();
            // Missing (4xx) makes the download unverifiable; a proxy that wants credentials
            // (407), a server in trouble (5xx) or a 2xx that could not prove it was whole is
            // only a server error.
            const TUpdateOutcome refusal = status == 407 || status >= 500 || status < 300
                                               ? TUpdateOutcome::ServerRejected
                                               : TUpdateOutcome::NotAuthentic;
            worst.Add(refusal);
            if (!IsPassedOver(status))
                return worst.outcome;
            continue;
        }
        const auto parsed = verify::ParseMinisignSignature(sink.Text());
        const auto comment = parsed && verify::CheckSignatureHeader(*key, *parsed) ==
                                           verify::Verdict::Authentic
                                 ? verify::ParseTrustedComment(parsed->trustedComment)
                                 : std::nullopt;
        const TSignatureJudgement judgement =
            comment ? accept(*comment) : TSignatureJudgement::Refused;
        if (judgement == TSignatureJudgement::Settled) {
            LogLine(log, "signature from " + ServerLogName(servers, server) +
                             ": nothing newer than what is installed");
            return TUpdateOutcome::UpToDate;
        }
        if (judgement == TSignatureJudgement::Refused) {
            LogLine(log, "signature from " + ServerLogName(servers, server) + " refused: " +
                             (!parsed    ? "malformed"
                              : !comment ? "not by the publisher's key, or its comment unreadable"
                                         : "not for this client, older than the installed "
                                           "release, or expired"));
            worst.Add(TUpdateOutcome::NotAuthentic);
            if (refused)
                refused->insert(server);
            continue;
        }
        LogLine(log, "signature from " + ServerLogName(servers, server) + " accepted, release of " +
                         (comment->Timestamp ? std::to_string(*comment->Timestamp) : "no date"));
        accepted = TAcceptedSignature{*key, *parsed, sink.Text(), *comment, server};
        return TUpdateOutcome::Replaced;
    }
    return worst.outcome;
}

TUpdateOutcome DownloadFromServers(TIdHTTP &http, TServerList &servers, const std::string &path,
                                   const std::filesystem::path &temporary,
                                   const std::filesystem::path &partialOwner,
                                   const verify::MinisignPublicKey *key,
                                   const verify::MinisignSignature *signature,
                                   TContinuationWait *continuation, const std::stop_token &stop,
                                   const std::set<std::size_t> &skip, const TUpdateLog &log,
                                   bool keepWhenStopped) {
    // A partial download continues first on the server that sent its bytes, when that is one
    // of ours; any other server's transfer starts afresh (and removes it).
    std::optional<std::size_t> partialServer;
    if (const auto partialUrl = PartialDownloadUrl(partialOwner))
        partialServer = servers.ServerOf(*partialUrl, path);
    TWorstFailure worst;
    for (const std::size_t server : servers.AskingOrder(partialServer)) {
        if (skip.count(server) != 0)
            continue;
        const TStopwatch clock;
        const TAttempt attempt =
            DownloadWhole(http, servers.UrlOf(server, path), temporary, partialOwner, stop, key,
                          signature, continuation, keepWhenStopped);
        LogAttempt(log, attempt, ServerLogName(servers, server), temporary, clock, key != nullptr);
        if (attempt.unreachable)
            servers.MarkUnreachable(server);
        switch (attempt.outcome) {
        case TUpdateOutcome::Replaced:
        case TUpdateOutcome::Cancelled:
        case TUpdateOutcome::ReplaceFailed:
        case TUpdateOutcome::UpToDate:
            return attempt.outcome;
        case TUpdateOutcome::ConnectionFailed:
            // Bytes that arrived here continue here, on the next press.
            if (attempt.continuable || stop.stop_requested())
                return attempt.outcome;
            break;
        case TUpdateOutcome::ServerRejected:
            if (!IsPassedOver(attempt.status)) {
                worst.Add(attempt.outcome);
                return worst.outcome;
            }
            break;
        case TUpdateOutcome::NotAuthentic:
            break; // this server has other bytes than the signed ones
        }
        worst.Add(attempt.outcome);
    }
    return worst.outcome;
}

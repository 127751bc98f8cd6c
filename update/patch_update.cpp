// The patch step of an update: the patch from the installed client, applied as it arrives.
#include "patch_update.h"

#include "TIdHTTP.h"
#include "patch_decoder.h"
#include "verifying_sink.h"
#include "whole_replies.h"

#include <system_error>

namespace {

/// Takes the patch's body and hands the result it decodes to the file sink. The installed
/// client is mapped only once a patch reply has begun.
class TPatchSink final : public TIdSink {
public:
    TPatchSink(const TInstalledClient &installed, TVerifyingFileSink &result)
        : installed_(installed), result_(result) {}

    void Begin(std::int64_t offset) override {
        if (offset != 0 || decoder_)
            throw EPatchInvalid("a patch arrives whole, never continued");
        reference_ = MapInstalledClient(installed_);
        decoder_ = std::make_unique<TPatchDecoder>(
            reference_->Data(), reference_->Size(),
            [this](const char *data, std::size_t len) { result_.Add(data, len); });
    }
    void Add(const char *data, std::size_t len) override { decoder_->Add(data, len); }

    /// True once a patch reply began: a failure after that is the patch's, not its absence.
    bool Begun() const { return decoder_ != nullptr; }

    /// Throws unless the whole patch arrived and decoded to the result it declared.
    void Finish() {
        if (!decoder_)
            throw EPatchInvalid("no patch arrived");
        decoder_->Finish();
    }

private:
    const TInstalledClient &installed_;
    TVerifyingFileSink &result_;
    std::unique_ptr<platform::MappedFile> reference_;
    std::unique_ptr<TPatchDecoder> decoder_;
};

} // namespace

std::string PatchUrl(const std::string &url, const std::string &sha256) {
    return url + ".from-" + sha256 + ".zst";
}

TPatchOutcome
UpdateByPatch(TIdHTTP &http, const std::string &url, const TInstalledClient &installed,
              const std::filesystem::path &temporary, const verify::MinisignPublicKey *key,
              const verify::MinisignSignature *signature, const std::stop_token &stop) {
    if (installed.Size > TPatchLimits{}.MaxReference)
        return TPatchOutcome::NotOffered;
    TPatchOutcome outcome = TPatchOutcome::Failed;
    try {
        TVerifyingFileSink result(temporary, key, signature);
        TPatchSink patch(installed, result);
        try {
            // A patch too proves it is whole; its length is bounded by the decoder, which
            // knows the result it declares.
            TWholeReplies whole(http.Request(), -1);
            http.Get(PatchUrl(url, installed.Sha256), patch);
        } catch (const EIdHTTPError &error) {
            if (error.Kind() == TIdHTTPErrorKind::ProtocolError && !patch.Begun())
                outcome = TPatchOutcome::NotOffered;
            else if (error.Kind() == TIdHTTPErrorKind::CannotConnect ||
                     error.Kind() == TIdHTTPErrorKind::CannotResolve)
                outcome = TPatchOutcome::Unreachable;
            throw;
        }
        patch.Finish();
        result.File().Flush();
        result.File().Close();
        // An empty client is no client, as with a full download.
        if (result.File().Size() > 0 && result.Finish() == verify::Verdict::Authentic)
            outcome = TPatchOutcome::Built;
    } catch (const std::exception &) {
        // Whatever went wrong, the full download follows; it reports what it meets itself.
    }
    if (stop.stop_requested())
        outcome = TPatchOutcome::Cancelled;
    if (outcome != TPatchOutcome::Built) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
    }
    return outcome;
}

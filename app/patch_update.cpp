// The patch step of an update: the patch from the installed client, applied as it arrives.
#include "patch_update.h"

#include "TIdHTTP.h"
#include "patch_decoder.h"
#include "verifying_sink.h"

#include <system_error>

namespace {

/// Takes the patch's body and hands the result it decodes to the file sink. The installed
/// client is loaded only once a patch reply has begun, so a server without one costs no memory.
class TPatchSink final : public TIdSink {
public:
    TPatchSink(const TInstalledClient &installed, TVerifyingFileSink &result)
        : installed_(installed), result_(result) {}

    void Begin(std::int64_t offset) override {
        if (offset != 0 || decoder_)
            throw EPatchInvalid("a patch arrives whole, never continued");
        reference_ = LoadInstalledClient(installed_);
        decoder_ = std::make_unique<TPatchDecoder>(
            reference_.get(), static_cast<std::size_t>(installed_.Size),
            [this](const char *data, std::size_t len) { result_.Add(data, len); });
    }
    void Add(const char *data, std::size_t len) override { decoder_->Add(data, len); }

    /// Throws unless the whole patch arrived and decoded to the result it declared.
    void Finish() {
        if (!decoder_)
            throw EPatchInvalid("no patch arrived");
        decoder_->Finish();
    }

private:
    const TInstalledClient &installed_;
    TVerifyingFileSink &result_;
    std::unique_ptr<char[]> reference_;
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
        return TPatchOutcome::Unavailable;
    bool built = false;
    try {
        TVerifyingFileSink result(temporary, key, signature);
        TPatchSink patch(installed, result);
        http.Get(PatchUrl(url, installed.Sha256), patch);
        patch.Finish();
        result.File().Flush();
        result.File().Close();
        // An empty client is no client, as with a full download.
        built = result.File().Size() > 0 && result.Finish() == verify::Verdict::Authentic;
    } catch (const std::exception &) {
        // Whatever went wrong, the full download follows; it reports what it meets itself.
    }
    if (built && !stop.stop_requested())
        return TPatchOutcome::Built;
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    return stop.stop_requested() ? TPatchOutcome::Cancelled : TPatchOutcome::Unavailable;
}

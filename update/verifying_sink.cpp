// The download's sink: file and verifier fed together.
#include "verifying_sink.h"

#include "EIdHTTPError.h"

#include <fstream>
#include <vector>

TVerifyingFileSink::TVerifyingFileSink(std::filesystem::path path,
                                       const verify::MinisignPublicKey *key,
                                       const verify::MinisignSignature *signature)
    : file_(std::move(path), TIdFileSink::Keep), key_(key), signature_(signature) {
    StartVerifier();
}

void TVerifyingFileSink::StartVerifier() {
    if (key_ && signature_)
        verifier_ = std::make_unique<verify::StreamingVerifier>(*key_, *signature_);
}

void TVerifyingFileSink::Begin(std::int64_t offset) {
    file_.Begin(offset); // refuses a continuation that does not follow what the file holds
    StartVerifier();
    if (!verifier_ || offset == 0)
        return;
    // The kept part was hashed by an earlier run that no longer exists: read it back.
    std::ifstream kept(file_.Path(), std::ios::binary);
    std::vector<char> buffer(std::size_t{256} * 1024);
    std::int64_t left = offset;
    while (left > 0 && kept) {
        const auto want = static_cast<std::streamsize>(
            std::min<std::int64_t>(left, static_cast<std::int64_t>(buffer.size())));
        kept.read(buffer.data(), want);
        const auto got = kept.gcount();
        verifier_->Update(buffer.data(), static_cast<std::size_t>(got));
        left -= got;
    }
    if (left != 0)
        throw EIdSinkFailed("cannot read back the kept part of " + file_.Path().string());
}

void TVerifyingFileSink::Add(const char *data, std::size_t len) {
    file_.Add(data, len);
    received_ += len;
    if (verifier_)
        verifier_->Update(data, len);
}

verify::Verdict TVerifyingFileSink::Finish() {
    return verifier_ ? verifier_->Finish() : verify::Verdict::Authentic;
}

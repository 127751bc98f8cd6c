// The download's sink: file and verifier fed together.
#include "verifying_sink.h"

#include "EIdHTTPError.h"

#include <algorithm>
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
    overlap_.clear();
    overlapSeen_ = 0;
    overlapMismatched_ = false;
    const auto kept = static_cast<std::int64_t>(file_.Size());
    if (offset > 0 && offset < kept) {
        if (kept - offset > static_cast<std::int64_t>(kMaxOverlap))
            throw EIdSinkFailed("a continuation overlaps more than the sink compares");
        overlap_ = ReadKept(offset, kept - offset);
        offset = kept;
    }
    file_.Begin(offset); // refuses a continuation that does not follow what the file holds
    StartVerifier();
    if (!verifier_ || offset == 0)
        return;
    // The kept part was hashed by an earlier run that no longer exists: read it back.
    std::ifstream in(file_.Path(), std::ios::binary);
    std::vector<char> buffer(std::size_t{256} * 1024);
    std::int64_t left = offset;
    while (left > 0 && in) {
        const auto want = static_cast<std::streamsize>(
            std::min<std::int64_t>(left, static_cast<std::int64_t>(buffer.size())));
        in.read(buffer.data(), want);
        const auto got = in.gcount();
        verifier_->Update(buffer.data(), static_cast<std::size_t>(got));
        left -= got;
    }
    if (left != 0)
        throw EIdSinkFailed("cannot read back the kept part of " + file_.Path().string());
}

std::string TVerifyingFileSink::ReadKept(std::int64_t from, std::int64_t count) const {
    std::ifstream in(file_.Path(), std::ios::binary);
    in.seekg(from);
    std::string bytes(static_cast<std::size_t>(count), '\0');
    in.read(bytes.data(), count);
    if (!in || in.gcount() != count)
        throw EIdSinkFailed("cannot read back the kept part of " + file_.Path().string());
    return bytes;
}

void TVerifyingFileSink::Add(const char *data, std::size_t len) {
    received_ += len;
    if (overlapSeen_ < overlap_.size()) {
        const std::size_t compared = std::min(len, overlap_.size() - overlapSeen_);
        if (overlap_.compare(overlapSeen_, compared, data, compared) != 0) {
            overlapMismatched_ = true;
            throw EIdSinkFailed("the continuation does not repeat the bytes kept before it");
        }
        overlapSeen_ += compared;
        data += compared;
        len -= compared;
        if (len == 0)
            return;
    }
    file_.Add(data, len);
    if (verifier_)
        verifier_->Update(data, len);
}

verify::Verdict TVerifyingFileSink::Finish() {
    return verifier_ ? verifier_->Finish() : verify::Verdict::Authentic;
}

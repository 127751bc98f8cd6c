// The installed client: hashed and checked against the signature in one streamed read, and
// mapped when a patch is to be applied to it.
#include "installed_client.h"

#include "sha256.h"
#include "signature_check.h"

#include <fstream>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace {

/// Large enough that the read costs little beside the hashing, small enough to stay in cache.
constexpr std::size_t kPieceSize = std::size_t{1} << 20;

} // namespace

std::optional<TInstalledClient> ExamineInstalledClient(const std::filesystem::path &path,
                                                       const verify::MinisignPublicKey *key,
                                                       const verify::MinisignSignature *signature,
                                                       const std::stop_token &stop) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    verify::Sha256 hash;
    std::unique_ptr<verify::StreamingVerifier> verifier;
    if (key && signature)
        verifier = std::make_unique<verify::StreamingVerifier>(*key, *signature);
    std::vector<char> piece(kPieceSize);
    std::uint64_t size = 0;
    while (in) {
        if (stop.stop_requested())
            return std::nullopt;
        in.read(piece.data(), static_cast<std::streamsize>(piece.size()));
        const auto got = static_cast<std::size_t>(in.gcount());
        hash.Update(piece.data(), got);
        if (verifier)
            verifier->Update(piece.data(), got);
        size += got;
    }
    if (in.bad())
        return std::nullopt;
    TInstalledClient client;
    client.Path = path;
    client.Size = size;
    client.Sha256 = verify::Sha256::Hex(hash.Final());
    client.Authentic = verifier && verifier->Finish() == verify::Verdict::Authentic;
    return client;
}

std::unique_ptr<platform::MappedFile> MapInstalledClient(const TInstalledClient &client) {
    auto mapped = platform::MappedFile::Open(client.Path);
    if (!mapped || mapped->Size() != client.Size)
        throw std::runtime_error("the installed client changed since it was examined");
    return mapped;
}

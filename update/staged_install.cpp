// The hand-over of a verified client to an elevated copy of the updater: the player's side stages
// it in the state folder, the elevated copy takes it from there, checks it again and installs it.
#include "staged_install.h"

#include "client_install.h"
#include "installed_client.h"
#include "own_files.h"
#include "release_floor.h"
#include "signature_check.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <system_error>
#include <vector>

namespace {

struct FileCloser {
    void operator()(std::FILE *file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

/// The rest of `file`, or nothing when it is longer than `limit` or cannot be read.
std::optional<std::string> ReadAtMost(std::FILE *file, std::int64_t limit) {
    std::string bytes;
    std::vector<char> piece(std::size_t{1} << 20);
    for (;;) {
        const std::size_t got = std::fread(piece.data(), 1, piece.size(), file);
        bytes.append(piece.data(), got);
        if (static_cast<std::int64_t>(bytes.size()) > limit)
            return std::nullopt;
        if (got < piece.size())
            return std::ferror(file) ? std::nullopt : std::optional(std::move(bytes));
    }
}

/// Copies the rest of `source` into the file `copy`, at most `limit` bytes; false otherwise.
bool CopyAtMost(std::FILE *source, const std::filesystem::path &copy, std::int64_t limit) {
    std::ofstream out(copy, std::ios::binary | std::ios::trunc);
    std::vector<char> piece(std::size_t{1} << 20);
    std::int64_t total = 0;
    for (;;) {
        const std::size_t got = std::fread(piece.data(), 1, piece.size(), source);
        total += static_cast<std::int64_t>(got);
        if (total > limit || !out.write(piece.data(), static_cast<std::streamsize>(got)))
            return false;
        if (got < piece.size())
            break;
    }
    out.close();
    return out && !std::ferror(source);
}

/// The staged signature, checked as a download's is: by the key, for the client, not expired,
/// newer than the release kept beside `target`. Nothing when it does not pass.
struct TCheckedSignature {
    verify::MinisignPublicKey Key;
    verify::MinisignSignature Signature;
    std::string Text;
    std::optional<std::int64_t> Timestamp;
};
std::optional<TCheckedSignature> CheckStagedSignature(const TStagedClient &staged,
                                                      const std::filesystem::path &target,
                                                      const std::string &keyText) {
    const auto key = verify::ParseMinisignPublicKey(keyText);
    const FileHandle file(platform::OpenOwnFileForReading(staged.Signature));
    if (!key || !file)
        return std::nullopt;
    auto text = ReadAtMost(file.get(), verify::kMaxSignatureFileSize);
    const auto signature = text ? verify::ParseMinisignSignature(*text) : std::nullopt;
    if (!signature || verify::CheckSignatureHeader(*key, *signature) != verify::Verdict::Authentic)
        return std::nullopt;
    const auto comment = verify::ParseTrustedComment(signature->trustedComment);
    const auto now = std::chrono::duration_cast<std::chrono::seconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
    // Only the signature kept beside the client counts here: the state folder is the player's.
    const auto floor = TReleaseFloor(target, {}, *key).Load();
    if (!comment ||
        JudgeRelease(*comment, target.filename().string(), floor, now) != TReleaseJudgement::Newer)
        return std::nullopt;
    return TCheckedSignature{*key, *signature, std::move(*text), comment->Timestamp};
}

} // namespace

TStagedClient StagedClientIn(const std::filesystem::path &stateFolder,
                             const std::filesystem::path &client) {
    TStagedClient staged;
    staged.WorkTarget = stateFolder / client.filename();
    staged.File = staged.WorkTarget;
    staged.File += ".staged";
    staged.Signature = staged.File;
    staged.Signature += ".minisig";
    return staged;
}

bool StageClient(const std::filesystem::path &temporary, const TStagedClient &staged,
                 const std::string &signatureText, const TUpdateLog &log) {
    std::error_code error;
    std::filesystem::remove(staged.Signature, error);
    if (!signatureText.empty() && !platform::WriteFileByRename(staged.Signature, signatureText)) {
        LogLine(log, "staging failed: the signature could not be written in the state folder");
        return false;
    }
    // A rename replaces whatever was planted at the name, a link included, never writing through.
    std::filesystem::rename(temporary, staged.File, error);
    if (error)
        LogLine(log, "staging failed: " + ErrorCodeText(error));
    return !error;
}

void DiscardStagedClient(const TStagedClient &staged) {
    std::error_code ignored;
    std::filesystem::remove(staged.File, ignored);
    std::filesystem::remove(staged.Signature, ignored);
}

TStagedInstallStatus InstallStagedClient(const TStagedClient &staged,
                                         const std::filesystem::path &target,
                                         const std::string &keyText,
                                         const std::function<void()> &endRunningClients) {
    using Status = TStagedInstallStatus;
    std::error_code error;
    if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(target, error)))
        return Status::NoClientHere;
    // Opened once and checked on the handle: what is read is what was checked.
    const FileHandle source(platform::OpenOwnFileForReading(staged.File));
    if (!source)
        return Status::NothingStaged;
    std::optional<TCheckedSignature> signature;
    if (!keyText.empty() && !(signature = CheckStagedSignature(staged, target, keyText)))
        return Status::NotAuthentic;

    std::filesystem::path temporary;
    try {
        platform::RemoveLeftoverTemporaryFiles(target);
        temporary = platform::CreateTemporaryFileBeside(target);
    } catch (const std::exception &) {
        return Status::FolderNotWritable;
    }
    // Checked on the copy, which the player cannot change, not on the staged file.
    const bool copied = CopyAtMost(source.get(), temporary, kMaxDownloadSize);
    const bool authentic =
        copied &&
        (!signature || ExamineInstalledClient(temporary, &signature->Key, &signature->Signature, {})
                           .value_or(TInstalledClient{})
                           .Authentic);
    if (authentic &&
        InstallNewClient(temporary, target, endRunningClients, {}) == TUpdateOutcome::Replaced) {
        if (signature)
            TReleaseFloor(target, {}, signature->Key).Keep(signature->Text, signature->Timestamp);
        return Status::Installed;
    }
    const Status status = copied && !authentic ? Status::NotAuthentic : Status::ReplaceFailed;
    std::filesystem::remove(temporary, error);
    return status;
}

TUpdateOutcome OutcomeOfStagedInstall(int exitStatus) {
    switch (TStagedInstallStatus(exitStatus)) {
    case TStagedInstallStatus::Installed:
        return TUpdateOutcome::Replaced;
    case TStagedInstallStatus::NotAuthentic:
        return TUpdateOutcome::NotAuthentic;
    default:
        return TUpdateOutcome::ReplaceFailed;
    }
}

std::string StagedInstallStatusText(int exitStatus) {
    switch (TStagedInstallStatus(exitStatus)) {
    case TStagedInstallStatus::Installed:
        return "installed the new client";
    case TStagedInstallStatus::BadRequest:
        return "refused: started with other arguments";
    case TStagedInstallStatus::NoClientHere:
        return "refused: no client in its folder";
    case TStagedInstallStatus::NothingStaged:
        return "no staged client of the player's to install";
    case TStagedInstallStatus::NotAuthentic:
        return "refused: the staged client is not authentic";
    case TStagedInstallStatus::FolderNotWritable:
        return "the client's folder cannot be written even so";
    case TStagedInstallStatus::ReplaceFailed:
        return "install failed: the new client could not be put in place";
    }
    return "unknown status " + std::to_string(exitStatus);
}

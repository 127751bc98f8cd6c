// The release floor: the kept signature beside the client and the time in the state folder.
#include "release_floor.h"

#include "own_files.h"
#include "signature_check.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>
#include <vector>

namespace {

/// First line of the state folder's floor file.
constexpr std::string_view kFloorHeader = "zorvane release floor 1";
/// A few lines, one per key a player's updaters ever had; anything larger is not ours.
constexpr std::uintmax_t kMaxFloorFileSize = 16 * 1024;
/// How long past its `expires:` a signature is still taken: players' clocks are often off.
constexpr std::int64_t kExpiryGrace = 24 * 60 * 60;

std::string KeyIdHex(const verify::KeyId &id) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (const auto byte : id) {
        hex += digits[byte >> 4];
        hex += digits[byte & 15];
    }
    return hex;
}

/// The whole of a small plain file of ours, or nothing.
std::optional<std::string> ReadSmallFile(const std::filesystem::path &path, std::uintmax_t limit) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error || size > limit || !platform::IsOwnPlainFile(path))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad() || text.size() > limit)
        return std::nullopt;
    return text;
}

/// The floor file's lines: key id in hex, a space, the time.
std::vector<std::pair<std::string, std::int64_t>> ParseFloorFile(const std::string &text) {
    std::vector<std::pair<std::string, std::int64_t>> entries;
    std::istringstream lines(text);
    std::string line;
    if (!std::getline(lines, line) || line != kFloorHeader)
        return entries;
    while (std::getline(lines, line)) {
        const auto space = line.find(' ');
        std::int64_t time = 0;
        if (space != 16)
            continue;
        const char *begin = line.data() + space + 1;
        const char *end = line.data() + line.size();
        if (std::from_chars(begin, end, time).ptr == end && time >= 0)
            entries.emplace_back(line.substr(0, space), time);
    }
    return entries;
}

} // namespace

TReleaseFloor::TReleaseFloor(std::filesystem::path client, std::filesystem::path stateFolder,
                             const verify::MinisignPublicKey &key)
    : client_(std::move(client)), stateFolder_(std::move(stateFolder)), key_(key) {}

std::filesystem::path TReleaseFloor::KeptSignaturePath() const {
    auto path = client_;
    path += ".minisig";
    return path;
}

std::optional<std::int64_t> TReleaseFloor::Load() const {
    const auto kept = FromKeptSignature();
    const auto state = FromStateFolder();
    if (kept && state)
        return std::max(*kept, *state);
    return kept ? kept : state;
}

std::optional<std::int64_t> TReleaseFloor::FromKeptSignature() const {
    const auto text = ReadSmallFile(KeptSignaturePath(), verify::kMaxSignatureFileSize);
    if (!text)
        return std::nullopt;
    const auto signature = verify::ParseMinisignSignature(*text);
    if (!signature || verify::CheckSignatureHeader(key_, *signature) != verify::Verdict::Authentic)
        return std::nullopt;
    const auto comment = verify::ParseTrustedComment(signature->trustedComment);
    return comment ? comment->Timestamp : std::nullopt;
}

std::optional<std::int64_t> TReleaseFloor::FromStateFolder() const {
    if (stateFolder_.empty())
        return std::nullopt;
    const auto text = ReadSmallFile(stateFolder_ / "release-floor", kMaxFloorFileSize);
    if (!text)
        return std::nullopt;
    std::optional<std::int64_t> floor;
    const std::string id = KeyIdHex(key_.keyId);
    for (const auto &[key, time] : ParseFloorFile(*text))
        if (key == id)
            floor = std::max(floor.value_or(time), time);
    return floor;
}

void TReleaseFloor::Keep(const std::string &signatureText,
                         std::optional<std::int64_t> timestamp) const {
    platform::WriteFileByRename(KeptSignaturePath(), signatureText);
    if (timestamp && !stateFolder_.empty())
        RaiseStateFolder(*timestamp);
}

void TReleaseFloor::RaiseStateFolder(std::int64_t timestamp) const {
    std::error_code error;
    std::filesystem::create_directories(stateFolder_, error);
    std::filesystem::permissions(stateFolder_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace, error);
    const auto path = stateFolder_ / "release-floor";
    const auto text = ReadSmallFile(path, kMaxFloorFileSize);
    const std::string id = KeyIdHex(key_.keyId);
    std::int64_t highest = timestamp;
    std::string out = std::string(kFloorHeader) + "\n";
    for (const auto &[key, time] : text ? ParseFloorFile(*text) : decltype(ParseFloorFile("")){}) {
        if (key == id)
            highest = std::max(highest, time);
        else
            out += key + " " + std::to_string(time) + "\n";
    }
    out += id + " " + std::to_string(highest) + "\n";
    platform::WriteFileByRename(path, out);
}

TReleaseJudgement JudgeRelease(const verify::TrustedComment &comment, const std::string &clientName,
                               std::optional<std::int64_t> floor, std::int64_t now) {
    if (!comment.File || !verify::SameFileName(*comment.File, clientName))
        return TReleaseJudgement::Refused;
    if (comment.Expires && now > *comment.Expires && now - *comment.Expires > kExpiryGrace)
        return TReleaseJudgement::Refused;
    if (!floor)
        return TReleaseJudgement::Newer;
    if (!comment.Timestamp || *comment.Timestamp < *floor)
        return TReleaseJudgement::Refused;
    return *comment.Timestamp == *floor ? TReleaseJudgement::Same : TReleaseJudgement::Newer;
}

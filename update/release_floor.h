#pragma once

#include "minisign_format.h"
#include "trusted_comment.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

/// The oldest release this updater may still install under one publisher key: the highest
/// signing time (the trusted comment's `timestamp:`) of a release it has accepted. A served
/// signature older than that is a rollback to a release the publisher has since replaced.
///
/// Remembered in two places, so losing one does not lower it: the accepted signature itself,
/// kept beside the client as "<client>.minisig" (it counts when its global signature is the
/// key's, whatever the client's bytes now are: that alone authenticates its time), and the time
/// with the key's id in the updater's state folder. The floor is the higher of the two and only
/// rises.
class TReleaseFloor {
public:
    /// `stateFolder` empty: only the kept signature counts.
    TReleaseFloor(std::filesystem::path client, std::filesystem::path stateFolder,
                  const verify::MinisignPublicKey &key);

    /// The floor; nothing when neither place knows a release of this key (the first run, a new
    /// key).
    std::optional<std::int64_t> Load() const;

    /// After a press that installed the release of `signatureText` (or found it installed):
    /// keeps the signature beside the client (a fresh file renamed into place) and raises the
    /// state folder's time to `timestamp`. A folder that cannot be written keeps nothing; the
    /// update stands either way.
    void Keep(const std::string &signatureText, std::optional<std::int64_t> timestamp) const;

    /// "<client>.minisig".
    std::filesystem::path KeptSignaturePath() const;

private:
    std::optional<std::int64_t> FromKeptSignature() const;
    std::optional<std::int64_t> FromStateFolder() const;
    void RaiseStateFolder(std::int64_t timestamp) const;

    std::filesystem::path client_;
    std::filesystem::path stateFolder_;
    verify::MinisignPublicKey key_;
};

/// What a verified signature's trusted comment makes of the release it signs.
enum class TReleaseJudgement {
    Newer,   ///< above the floor, or there is none: may be installed
    Same,    ///< the floor's own release: up to date only when the installed bytes are it
    Refused, ///< for another file, older than the floor, undated while a floor exists, expired
};

/// Judges `comment` for the client file named `clientName`, against `floor` and the player's
/// clock `now` (unix seconds). `file:` must name the client (ASCII case-insensitive); an
/// `expires:` more than a day past is refused.
TReleaseJudgement JudgeRelease(const verify::TrustedComment &comment, const std::string &clientName,
                               std::optional<std::int64_t> floor, std::int64_t now);

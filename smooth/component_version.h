#pragma once

#include <QString>

#include <cstdint>

/// The version text of a component from its packed number: one byte per part from the highest
/// byte down, each in decimal, joined with "." (0x01010000 gives "1.1.0.0").
inline QString VersionFromPacked(std::uint32_t packed) {
    return QStringLiteral("%1.%2.%3.%4")
        .arg(packed >> 24)
        .arg((packed >> 16) & 0xFF)
        .arg((packed >> 8) & 0xFF)
        .arg(packed & 0xFF);
}

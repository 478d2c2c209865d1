#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Readable names of video compression codes (the FOURCC of a bitmap header).
namespace korvane::video {

struct CodecEntry {
    std::string_view key; // lower-case code text
    std::string_view description;
};

inline constexpr std::string_view kUnknownCodec = "Unknown Codec";

// The known codes in their fixed order.
std::span<const CodecEntry> codecTable();

// 0..3 are the BI_* names; any other code is its bytes, least significant first, up to the first
// zero byte.
std::string compressionCodeText(std::uint32_t code);

// A code in the little-endian byte order of a bitmap header: fourCC("XVID").
constexpr std::uint32_t fourCC(const char (&text)[5]) {
    return std::uint32_t(std::uint8_t(text[0])) | std::uint32_t(std::uint8_t(text[1])) << 8 |
           std::uint32_t(std::uint8_t(text[2])) << 16 | std::uint32_t(std::uint8_t(text[3])) << 24;
}

// The description of a code text: A-Z lower-cased, then the first key that matches exactly,
// else "Unknown Codec". The table parameter lets tests check the first-match rule.
std::string_view codecDescription(std::string_view codeText);
std::string_view codecDescription(std::string_view codeText, std::span<const CodecEntry> table);

} // namespace korvane::video

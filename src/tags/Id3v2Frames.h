#pragma once

#include "tags/ByteSource.h"
#include "tags/TagText.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What both ID3v2 readers share: the tag's and the frames' flags, unsynchronisation, the
// extended header, and the strings of text frames in their four encodings.
namespace korvane::tags::id3v2 {

// Tag header flags (byte 5).
constexpr std::uint8_t kUnsynchronisation = 0x80;
constexpr std::uint8_t kExtendedHeader = 0x40;
constexpr std::uint8_t kFooter = 0x10;

// Unsynchronisation inserts a zero byte after every 0xFF; reading drops it again.
std::string resynchronise(std::string_view bytes);

// The bytes of the extended header that opens the frames (`frames` starts right after the tag
// header): 0 without one; more than frames.size() when it claims more than the tag holds.
std::uint64_t extendedHeaderSize(int version, std::uint8_t tagFlags, const ByteView& frames);

// Frame ids are upper-case letters and digits; padding and garbage are not.
bool isFrameId(std::string_view id);

// 6 bytes in version 2.2, 10 in 2.3 and 2.4.
inline std::size_t frameHeaderSize(int version) {
    return version == 2 ? 6 : 10;
}

struct FrameHeader {
    std::string_view id;
    std::uint32_t size = 0;      // the stored bytes after the frame header
    std::size_t prefix = 0;      // flag fields (group id, method, data length) before the data
    bool hasDataLength = false;  // 2.4: the last flag field is a data length indicator
    bool unsynchronised = false; // 2.4: the data is unsynchronised, by its own or the tag's flag
    bool plain = true;           // neither compressed nor encrypted
};

// Decodes the frame header at the start of `bytes` (frameHeaderSize(version) of them). Sizes are
// plain big-endian numbers up to 2.3 and syncsafe in 2.4.
FrameHeader parseFrameHeader(int version, std::uint8_t tagFlags, const ByteView& bytes);

// A frame's data from its stored bytes: the flag fields skipped, unsynchronisation undone, at
// most the data length indicator's count.
std::string frameData(const FrameHeader& header, std::string_view stored);

// Reads the strings of a text frame one after another, each with its terminator, as UTF-8.
// Encodings: 0 ISO-8859-1 (an 8-bit text, read by EightBitTexts), 1 UTF-16 with a byte-order
// mark, 2 UTF-16 big-endian, 3 UTF-8.
class StringReader {
public:
    // What encoding 1 does with a string that lacks a byte-order mark.
    enum class MissingMark { LittleEndian, Empty };
    // `data` begins with the encoding byte.
    StringReader(std::string_view data, MissingMark missingMark, EightBitTexts& eightBit);

    int encoding() const { return m_encoding; }
    std::size_t remaining() const { return m_data.size() - m_pos; }
    void skip(std::size_t count) { m_pos += std::min(count, remaining()); }
    std::string next();

private:
    std::string_view m_data;
    int m_encoding;
    MissingMark m_missingMark;
    EightBitTexts& m_eightBit;
    std::size_t m_pos = 1; // after the encoding byte
};

// The 8-bit strings of a text frame (encoding 0) after `skip` bytes of its data, for deciding
// the code page of a whole tag; none for the other encodings.
void addEightBitStrings(std::string_view data, std::size_t skip,
                        std::vector<std::string_view>& strings);

} // namespace korvane::tags::id3v2

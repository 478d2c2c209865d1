#pragma once

#include "tags/ByteSource.h"
#include "tags/TagText.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace korvane::tags {

// The three frames the scan asks for, as UTF-8.
struct Id3v2FrameTexts {
    std::vector<std::string> leadArtist;
    std::string album;
    std::vector<std::string> contentType;
};

// The tag header as read.
struct Id3v2Header {
    bool hasTag = false;
    std::uint8_t majorVersion = 0;
    std::uint8_t revision = 0;
    std::uint8_t flags = 0;
    std::uint32_t size = 0; // bytes after the header, syncsafe in the file
};

// A complete ID3v2.2 to 2.4 reader for the lead artist, album and content type frames:
// unsynchronisation, extended header, frame flags and all four text encodings. Texts come out
// as UTF-8 (8-bit ones through EightBitTexts); genre references in the content type are
// translated. Not this format without a tag of those versions; damaged, with every field reset,
// for a tag shorter than it claims ("Stream read error", "Could not read data from stream" when
// unsynchronised), a failed read ("Stream read error") or an unknown text encoding ("Unknown
// encoding").
class Id3v2FrameReader {
public:
    explicit Id3v2FrameReader(codepage::Choice choice = codepage::Choice::Auto)
        : eightBit(choice) {}
    void reset() { *this = Id3v2FrameReader(eightBit.choice()); }
    ReadResult load(const std::filesystem::path& fileName);
    ReadResult load(ByteSource& source);

    const Id3v2Header& header() const { return m_header; }
    std::uint32_t extendedHeaderSize() const { return m_extendedHeaderSize; }
    // Ids of the frames read, in file order (unknown kinds included), at most kMaxFrameIds: a tag
    // of 256 MiB can hold millions of empty frames.
    static constexpr std::size_t kMaxFrameIds = 1024;
    const std::vector<std::string>& frameIds() const { return m_frameIds; }
    // How many frames were read beyond those ids.
    std::size_t frameIdsLeftOut() const { return m_frameIdsLeftOut; }

    Id3v2FrameTexts texts;
    EightBitTexts eightBit;

private:
    ReadResult parse(ByteSource& source);
    ReadResult readFrames(std::string_view tag);
    bool readFrame(std::string_view id, std::string_view data);

    enum class Kind { LeadArtist, Album, ContentType, Other };
    static Kind kindOf(std::string_view id);

    Id3v2Header m_header;
    std::uint32_t m_extendedHeaderSize = 0;
    std::vector<std::string> m_frameIds;
    std::size_t m_frameIdsLeftOut = 0;
    std::array<bool, 3> m_seen{}; // per kind, except Other
};

} // namespace korvane::tags

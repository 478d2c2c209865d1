#pragma once

#include "tags/ByteSource.h"
#include "tags/TagText.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvane::tags {

// What Id3v2FrameReader raises: an unopenable file, a tag shorter than it claims, an unknown text
// encoding, a list index out of range.
struct Id3v2FrameError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// An ordered list of UTF-8 texts; an index past the end raises "List index out of bounds (%d)".
class Id3v2TextList {
public:
    int count() const { return static_cast<int>(m_items.size()); }
    bool empty() const { return m_items.empty(); }
    const std::string& operator[](int index) const;
    const std::vector<std::string>& items() const { return m_items; }
    void add(std::string text) { m_items.push_back(std::move(text)); }
    void removeLast() { m_items.pop_back(); }

private:
    std::vector<std::string> m_items;
};

// The three frames the scan asks for.
class Id3v2FrameTexts {
public:
    const Id3v2TextList& leadArtist() const { return m_leadArtist; }
    const std::string& album() const { return m_album; }
    const Id3v2TextList& contentType() const { return m_contentType; }

private:
    friend class Id3v2FrameReader;
    Id3v2TextList m_leadArtist;
    std::string m_album;
    Id3v2TextList m_contentType;
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
// translated. Failures are raised as Id3v2FrameError.
class Id3v2FrameReader {
public:
    explicit Id3v2FrameReader(codepage::Choice choice = codepage::Choice::Auto)
        : eightBit(choice) {}
    const std::filesystem::path& fileName() const { return m_fileName; }
    // On an active object this closes it, stores the name and reads again.
    void setFileName(const std::filesystem::path& fileName);
    bool isActive() const { return m_active; }
    // True reads the tag of FileName; false discards it.
    void setActive(bool active);
    // Reads a tag from bytes and becomes active.
    void load(ByteSource& source);

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
    void close();
    void readFrames(std::string_view tag);
    void readFrame(std::string_view id, std::string_view data);

    enum class Kind { LeadArtist, Album, ContentType, Other };
    static Kind kindOf(std::string_view id);

    std::filesystem::path m_fileName;
    bool m_active = false;
    Id3v2Header m_header;
    std::uint32_t m_extendedHeaderSize = 0;
    std::vector<std::string> m_frameIds;
    std::size_t m_frameIdsLeftOut = 0;
    std::array<bool, 3> m_seen{}; // per kind, except Other
};

} // namespace korvane::tags

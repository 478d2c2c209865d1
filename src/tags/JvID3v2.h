#pragma once

#include "tags/ByteSource.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvane::tags {

// What TJvID3v2 raises: an unopenable file, a tag shorter than it claims, an unknown text
// encoding, a list index out of range.
struct JvID3Error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// An ordered list of 8-bit texts; an index past the end raises "List index out of bounds (%d)".
class TJvID3StringList {
public:
    int Count() const { return static_cast<int>(m_items.size()); }
    bool empty() const { return m_items.empty(); }
    const std::string& operator[](int index) const;
    const std::vector<std::string>& items() const { return m_items; }
    void add(std::string text) { m_items.push_back(std::move(text)); }

private:
    std::vector<std::string> m_items;
};

// The three frames the scan asks for.
class TJvID3Text {
public:
    const TJvID3StringList& LeadArtist() const { return m_leadArtist; }
    const std::string& Album() const { return m_album; }
    const TJvID3StringList& ContentType() const { return m_contentType; }

private:
    friend class TJvID3v2;
    TJvID3StringList m_leadArtist;
    std::string m_album;
    TJvID3StringList m_contentType;
};

// The tag header as read.
struct JvID3Header {
    bool hasTag = false;
    std::uint8_t majorVersion = 0;
    std::uint8_t revision = 0;
    std::uint8_t flags = 0;
    std::uint32_t size = 0; // bytes after the header, syncsafe in the file
};

// A complete ID3v2.2 to 2.4 reader for the lead artist, album and content type frames:
// unsynchronisation, extended header, frame flags and all four text encodings. Texts come out
// as 8-bit Windows-1251. Failures are raised as JvID3Error.
class TJvID3v2 {
public:
    const std::filesystem::path& FileName() const { return m_fileName; }
    // On an active object this closes it, stores the name and reads again.
    void setFileName(const std::filesystem::path& fileName);
    bool Active() const { return m_active; }
    // True reads the tag of FileName; false discards it.
    void setActive(bool active);
    // Reads a tag from bytes and becomes active.
    void Load(ByteSource& source);

    const JvID3Header& Header() const { return m_header; }
    std::uint32_t ExtendedHeaderSize() const { return m_extendedHeaderSize; }
    // Ids of the frames read, in file order (unknown kinds included).
    const std::vector<std::string>& FrameIds() const { return m_frameIds; }

    TJvID3Text Texts;

private:
    void close();
    void readFrames(std::string_view tag);
    void readFrame(std::string_view id, std::string_view data);

    enum class Kind { LeadArtist, Album, ContentType, Other };
    static Kind kindOf(std::string_view id);

    std::filesystem::path m_fileName;
    bool m_active = false;
    JvID3Header m_header;
    std::uint32_t m_extendedHeaderSize = 0;
    std::vector<std::string> m_frameIds;
    std::array<bool, 3> m_seen{}; // per kind, except Other
};

} // namespace korvane::tags

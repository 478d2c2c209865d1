#include "tags/Id3v2FrameReader.h"

#include "tags/Id3v1Reader.h"
#include "tags/Id3v2Frames.h"

namespace korvane::tags {
namespace {

using id3v2::StringReader;

void splitAtSlashes(const std::string& text, std::vector<std::string>& list) {
    std::size_t start = 0;
    while (!text.empty()) {
        const std::size_t slash = text.find('/', start);
        list.push_back(text.substr(start, slash - start));
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
}

} // namespace

Id3v2FrameReader::Kind Id3v2FrameReader::kindOf(std::string_view id) {
    if (id == "TPE1" || id == "TP1")
        return Kind::LeadArtist;
    if (id == "TALB" || id == "TAL")
        return Kind::Album;
    if (id == "TCON" || id == "TCO")
        return Kind::ContentType;
    return Kind::Other;
}

ReadResult Id3v2FrameReader::load(const std::filesystem::path& fileName) {
    return loadFromFile(*this, fileName);
}

ReadResult Id3v2FrameReader::load(ByteSource& source) {
    reset();
    ReadResult result = guardReads([&] { return parse(source); });
    // The words this reader has always used for a failed read.
    if (result.isDamaged() && result.reason() == ReadResult::kReadFailed)
        result = ReadResult::damaged("Stream read error");
    if (result.isDamaged())
        reset();
    return result;
}

ReadResult Id3v2FrameReader::parse(ByteSource& source) {
    const std::string header = source.read(0, 10);
    const ByteView head(header);
    if (header.size() == 10 && head.startsWith(0, "ID3")) {
        m_header.hasTag = true;
        m_header.majorVersion = head.u8(3);
        m_header.revision = head.u8(4);
        m_header.flags = head.u8(5);
        m_header.size = head.syncsafe32(6);
    }
    const int version = m_header.majorVersion;
    if (!m_header.hasTag || version < 2 || version > 4)
        return ReadResult::notThisFormat();
    const bool unsynchronised = (m_header.flags & id3v2::kUnsynchronisation) != 0;
    const ReadResult tooShort = ReadResult::damaged(
        unsynchronised ? "Could not read data from stream" : "Stream read error");
    // Checked before reading, so a size from the file never allocates more than it holds.
    if (source.size() - 10 < m_header.size)
        return tooShort;
    std::string tag = source.read(10, m_header.size);
    if (tag.size() < m_header.size)
        return tooShort;
    // Version 2.4 unsynchronises frame by frame (its frame sizes count the stored bytes);
    // earlier versions unsynchronise the tag as a whole.
    if (unsynchronised && version < 4)
        tag = id3v2::resynchronise(tag);
    return readFrames(tag);
}

ReadResult Id3v2FrameReader::readFrames(std::string_view tag) {
    const int version = m_header.majorVersion;
    const std::uint64_t extended =
        id3v2::extendedHeaderSize(version, m_header.flags, ByteView(tag));
    if (extended > tag.size())
        return ReadResult::read();
    m_extendedHeaderSize = static_cast<std::uint32_t>(extended);
    std::size_t pos = static_cast<std::size_t>(extended);
    const std::size_t headerLength = id3v2::frameHeaderSize(version);
    while (tag.size() - pos >= headerLength) {
        const id3v2::FrameHeader frame =
            id3v2::parseFrameHeader(version, m_header.flags, ByteView(tag.substr(pos)));
        if (!id3v2::isFrameId(frame.id))
            return ReadResult::read();
        pos += headerLength;
        if (frame.size > tag.size() - pos)
            return ReadResult::read(); // skipped unparsed; nothing after it lies inside the tag
        const std::string_view stored = tag.substr(pos, frame.size);
        pos += frame.size;
        if (m_frameIds.size() < kMaxFrameIds)
            m_frameIds.emplace_back(frame.id);
        else
            ++m_frameIdsLeftOut;
        // Compressed or encrypted data is no text.
        if (frame.plain && !readFrame(frame.id, id3v2::frameData(frame, stored)))
            return ReadResult::damaged("Unknown encoding");
    }
    return ReadResult::read();
}

bool Id3v2FrameReader::readFrame(std::string_view id, std::string_view data) {
    const Kind kind = kindOf(id);
    if (kind == Kind::Other || data.empty())
        return true;
    const int encoding = static_cast<std::uint8_t>(data.front());
    if (encoding > 3)
        return false;
    // Every frame of a kind is parsed; the first one counts.
    bool& seen = m_seen[static_cast<std::size_t>(kind)];
    if (seen)
        return true;
    seen = true;
    StringReader reader(data, StringReader::MissingMark::Empty, eightBit);
    switch (kind) {
    case Kind::Album:
        texts.album = reader.next();
        break;
    case Kind::LeadArtist:
        if (m_header.majorVersion == 4) {
            // Version 2.4 separates several values by zero characters; "/" is part of a name
            // ("AC/DC").
            while (reader.remaining() > 0)
                texts.leadArtist.push_back(reader.next());
            while (!texts.leadArtist.empty() && texts.leadArtist.back().empty())
                texts.leadArtist.pop_back();
            break;
        }
        // Up to 2.3 "A/B" lists two artists; pieces are kept as they are, empty ones included.
        splitAtSlashes(reader.next(), texts.leadArtist);
        break;
    case Kind::ContentType:
        // Version 2.4 separates several values by zero characters.
        while (reader.remaining() > 2)
            texts.contentType.push_back(contentTypeText(reader.next()));
        break;
    case Kind::Other:
        break;
    }
    return true;
}

} // namespace korvane::tags

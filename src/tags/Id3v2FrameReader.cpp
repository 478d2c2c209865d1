#include "tags/Id3v2FrameReader.h"

#include "text/Cp1251.h"

namespace korvane::tags {
namespace {

constexpr std::uint8_t kUnsynchronisation = 0x80;
constexpr std::uint8_t kExtendedHeader = 0x40;

bool isFrameId(std::string_view id) {
    for (const char c : id) {
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

// Unsynchronisation inserts a zero byte after every 0xFF; reading drops it again.
std::string resynchronise(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out.push_back(bytes[i]);
        if (bytes[i] == '\xFF' && i + 1 < bytes.size() && bytes[i + 1] == 0)
            ++i;
    }
    return out;
}

// Reads the strings of a text frame one after another, each with its terminator.
class StringReader {
public:
    StringReader(std::string_view data, int encoding) : m_data(data), m_encoding(encoding) {}

    std::size_t remaining() const { return m_data.size() - m_pos; }

    std::string next() {
        if (m_encoding == 0 || m_encoding == 3) {
            const std::size_t zero = m_data.find('\0', m_pos);
            const std::size_t end = zero == std::string_view::npos ? m_data.size() : zero;
            const std::string_view text = m_data.substr(m_pos, end - m_pos);
            m_pos = std::min(m_data.size(), end + 1);
            return m_encoding == 3 ? cp1251::fromUtf8(text) : std::string(text);
        }
        bool bigEndian = m_encoding == 2;
        bool valid = true;
        if (m_encoding == 1) {
            const std::string_view mark = m_data.substr(m_pos, 2);
            m_pos += mark.size();
            bigEndian = mark == "\xFE\xFF";
            valid = bigEndian || mark == "\xFF\xFE";
        }
        const ByteView view(m_data);
        std::u16string units;
        bool terminated = false;
        while (remaining() >= 2) {
            const char16_t unit = bigEndian ? view.be16(m_pos) : view.le16(m_pos);
            m_pos += 2;
            if (unit == 0) {
                terminated = true;
                break;
            }
            units.push_back(unit);
        }
        if (!terminated)
            m_pos = m_data.size(); // an odd last byte belongs to no unit
        // Without a byte-order mark the string is skipped up to its terminator and is empty.
        return valid ? cp1251::fromUtf16(units) : std::string();
    }

private:
    std::string_view m_data;
    int m_encoding;
    std::size_t m_pos = 1; // after the encoding byte
};

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

const std::string& Id3v2TextList::operator[](int index) const {
    if (index < 0 || index >= count())
        throw Id3v2FrameError("List index out of bounds (" + std::to_string(index) + ")");
    return m_items[static_cast<std::size_t>(index)];
}

void Id3v2FrameReader::setFileName(const std::filesystem::path& fileName) {
    const bool wasActive = m_active;
    close();
    m_fileName = fileName;
    if (wasActive)
        setActive(true);
}

void Id3v2FrameReader::setActive(bool active) {
    if (!active) {
        close();
        return;
    }
    if (m_active)
        return;
    std::error_code error;
    const auto file = FileSource::open(m_fileName, error);
    if (!file)
        throw Id3v2FrameError("Cannot open file \"" + m_fileName.string() + "\". " +
                              error.message());
    ReadAheadSource source(*file);
    load(source);
}

void Id3v2FrameReader::close() {
    m_active = false;
    m_header = Id3v2Header();
    m_extendedHeaderSize = 0;
    m_frameIds.clear();
    m_frameIdsLeftOut = 0;
    m_seen = {};
    texts = Id3v2FrameTexts();
}

void Id3v2FrameReader::load(ByteSource& source) {
    close();
    try {
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
        if (m_header.hasTag && version >= 2 && version <= 4) {
            const bool unsynchronised = (m_header.flags & kUnsynchronisation) != 0;
            // Checked before reading, so a size from the file never allocates more than it holds.
            if (source.size() - 10 < m_header.size)
                throw Id3v2FrameError(unsynchronised ? "Could not read data from stream"
                                                     : "Stream read error");
            std::string tag = source.read(10, m_header.size);
            if (tag.size() < m_header.size)
                throw Id3v2FrameError(unsynchronised ? "Could not read data from stream"
                                                     : "Stream read error");
            // Version 2.4 unsynchronises frame by frame (its frame sizes count the stored
            // bytes); earlier versions unsynchronise the tag as a whole.
            if (unsynchronised && version < 4)
                tag = resynchronise(tag);
            readFrames(tag);
        }
    } catch (const ReadError&) {
        close();
        throw Id3v2FrameError("Stream read error");
    } catch (...) {
        close();
        throw;
    }
    m_active = true;
}

void Id3v2FrameReader::readFrames(std::string_view tag) {
    const int version = m_header.majorVersion;
    const ByteView view(tag);
    std::size_t pos = 0;
    if (version >= 3 && (m_header.flags & kExtendedHeader)) {
        // 2.3 counts the bytes after the size field, 2.4 the whole extended header.
        const std::uint64_t stated =
            version == 3 ? std::uint64_t{view.be32(0)} + 4 : std::uint64_t{view.syncsafe32(0)};
        if (!view.fits(0, 4) || stated > tag.size())
            return;
        m_extendedHeaderSize = static_cast<std::uint32_t>(stated);
        pos = static_cast<std::size_t>(stated);
    }
    const std::size_t idLength = version == 2 ? 3 : 4;
    const std::size_t headerLength = version == 2 ? 6 : 10;
    while (tag.size() - pos >= headerLength) {
        const std::string_view id = tag.substr(pos, idLength);
        if (!isFrameId(id))
            return;
        const std::uint32_t size = version == 2   ? view.be24(pos + 3)
                                   : version == 3 ? view.be32(pos + 4)
                                                  : view.syncsafe32(pos + 4);
        const std::uint8_t flags = version == 2 ? 0 : view.u8(pos + 9);
        pos += headerLength;
        if (size > tag.size() - pos)
            return; // skipped unparsed; nothing after it lies inside the tag
        std::string_view data = tag.substr(pos, size);
        pos += size;
        if (m_frameIds.size() < kMaxFrameIds)
            m_frameIds.emplace_back(id);
        else
            ++m_frameIdsLeftOut;

        // Flag-dependent fields precede the frame's data, in flag order.
        std::size_t extra = 0;
        if (version == 3)
            extra = ((flags & 0x80) ? 4 : 0) + ((flags & 0x40) ? 1 : 0) + ((flags & 0x20) ? 1 : 0);
        else if (version == 4)
            extra = ((flags & 0x40) ? 1 : 0) + ((flags & 0x04) ? 1 : 0) + ((flags & 0x01) ? 4 : 0);
        data.remove_prefix(std::min(extra, data.size()));
        if (version == 4 && ((flags & 0x02) || (m_header.flags & kUnsynchronisation))) {
            const std::string restored = resynchronise(data);
            readFrame(id, restored);
        } else {
            readFrame(id, data);
        }
    }
}

void Id3v2FrameReader::readFrame(std::string_view id, std::string_view data) {
    const Kind kind = kindOf(id);
    if (kind == Kind::Other || data.empty())
        return;
    const int encoding = static_cast<std::uint8_t>(data.front());
    if (encoding > 3)
        throw Id3v2FrameError("Unknown encoding");
    // Every frame of a kind is parsed; the first one counts.
    bool& seen = m_seen[static_cast<std::size_t>(kind)];
    if (seen)
        return;
    seen = true;
    StringReader reader(data, encoding);
    switch (kind) {
    case Kind::Album:
        texts.m_album = reader.next();
        break;
    case Kind::LeadArtist: {
        // "A/B" lists two artists; pieces are kept as they are, empty ones included.
        const std::string text = reader.next();
        std::size_t start = 0;
        while (!text.empty()) {
            const std::size_t slash = text.find('/', start);
            texts.m_leadArtist.add(text.substr(start, slash - start));
            if (slash == std::string::npos)
                break;
            start = slash + 1;
        }
        break;
    }
    case Kind::ContentType:
        // Version 2.4 separates several values by zero characters.
        while (reader.remaining() > 2)
            texts.m_contentType.add(reader.next());
        break;
    case Kind::Other:
        break;
    }
}

} // namespace korvane::tags

#include "tags/Id3v2Frames.h"

#include "tags/TagText.h"
#include "text/Cp1251.h"

#include <algorithm>

namespace korvane::tags::id3v2 {

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

std::uint64_t extendedHeaderSize(int version, std::uint8_t tagFlags, const ByteView& frames) {
    // Version 2.2 uses the flag for compression and has no extended header.
    if (version < 3 || !(tagFlags & kExtendedHeader))
        return 0;
    if (!frames.fits(0, 4))
        return std::uint64_t{frames.size()} + 1;
    // 2.3 counts the bytes after the size field, 2.4 the whole extended header.
    return version == 3 ? std::uint64_t{frames.be32(0)} + 4 : std::uint64_t{frames.syncsafe32(0)};
}

bool isFrameId(std::string_view id) {
    for (const char c : id) {
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return !id.empty();
}

FrameHeader parseFrameHeader(int version, std::uint8_t tagFlags, const ByteView& bytes) {
    FrameHeader header;
    header.id = bytes.bytes(0, version == 2 ? 3 : 4);
    if (version == 2) {
        header.size = bytes.be24(3);
        return header;
    }
    const std::uint8_t flags = bytes.u8(9);
    if (version == 3) {
        header.size = bytes.be32(4);
        // Compression adds a 4-byte decompressed size, encryption a method byte, grouping a
        // group id, in that order.
        header.prefix =
            ((flags & 0x80) ? 4 : 0) + ((flags & 0x40) ? 1 : 0) + ((flags & 0x20) ? 1 : 0);
        header.plain = !(flags & 0xC0);
        return header;
    }
    header.size = bytes.syncsafe32(4);
    header.prefix = ((flags & 0x40) ? 1 : 0) + ((flags & 0x04) ? 1 : 0) + ((flags & 0x01) ? 4 : 0);
    header.plain = !(flags & 0x0C);
    header.hasDataLength = (flags & 0x01) != 0;
    header.unsynchronised = (flags & 0x02) || (tagFlags & kUnsynchronisation);
    return header;
}

std::string frameData(const FrameHeader& header, std::string_view stored) {
    const std::string_view data = stored.substr(std::min(header.prefix, stored.size()));
    std::string out = header.unsynchronised ? resynchronise(data) : std::string(data);
    // The data length indicator is the last flag field: the data's length once restored.
    if (header.hasDataLength && header.prefix >= 4) {
        const std::uint32_t length = ByteView(stored).syncsafe32(header.prefix - 4);
        if (length < out.size())
            out.resize(length);
    }
    return out;
}

StringReader::StringReader(std::string_view data, MissingMark missingMark, EightBitTexts& eightBit)
    : m_data(data), m_encoding(data.empty() ? 0 : static_cast<std::uint8_t>(data.front())),
      m_missingMark(missingMark), m_eightBit(eightBit) {
    m_pos = std::min<std::size_t>(1, data.size());
}

std::string StringReader::next() {
    if (m_encoding != 1 && m_encoding != 2) {
        const std::size_t zero = m_data.find('\0', m_pos);
        const std::size_t end = zero == std::string_view::npos ? m_data.size() : zero;
        const std::string_view text = m_data.substr(m_pos, end - m_pos);
        m_pos = std::min(m_data.size(), end + 1);
        return m_eightBit.decode(text);
    }
    bool bigEndian = m_encoding == 2;
    bool valid = true;
    if (m_encoding == 1) {
        const std::string_view mark = m_data.substr(m_pos, 2);
        if (mark == "\xFE\xFF" || mark == "\xFF\xFE") {
            m_pos += 2;
            bigEndian = mark == "\xFE\xFF";
        } else if (m_missingMark == MissingMark::Empty) {
            m_pos += mark.size();
            valid = false;
        }
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
        // A byte-order mark repeated inside a string is no character.
        if (unit != 0xFEFF)
            units.push_back(unit);
    }
    if (!terminated)
        m_pos = m_data.size(); // an odd last byte belongs to no unit
    return valid ? cp1251::utf8FromUtf16(units) : std::string();
}

void addEightBitStrings(std::string_view data, std::size_t skip,
                        std::vector<std::string_view>& strings) {
    if (data.empty() || data.front() != 0 || skip >= data.size())
        return;
    std::string_view rest = data.substr(skip);
    while (!rest.empty()) {
        const std::size_t zero = std::min(rest.find('\0'), rest.size());
        if (zero > 0)
            strings.push_back(rest.substr(0, zero));
        rest.remove_prefix(std::min(zero + 1, rest.size()));
    }
}

} // namespace korvane::tags::id3v2

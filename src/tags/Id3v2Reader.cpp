#include "tags/Id3v2Reader.h"

#include "text/Cp1251.h"

#include <array>

namespace korvane::tags {
namespace {

constexpr std::size_t kFrameCount = 17;
constexpr std::size_t kRawSize = 500;

enum frame : std::size_t {
    kTitle,
    kArtist,
    kAlbum,
    kTrack,
    kYear,
    kGenre,
    kComment,
    kComposer,
    kEncoder,
    kRights,
    kLanguage,
    kLink,
    kRecordingTime,
    kOriginalArtist,
    kContentGroup,
    kOriginalAlbum,
    kSize,
};

constexpr std::array<std::string_view, kFrameCount> kIds = {
    "TIT2", "TPE1", "TALB", "TRCK", "TYER", "TCON", "COMM", "TCOM", "TENC",
    "TCOP", "TLAN", "WXXX", "TDRC", "TOPE", "TIT1", "TOAL", "TSIZ"};
constexpr std::array<std::string_view, kFrameCount> kIdsV2 = {
    "TT2", "TP1", "TAL", "TRK", "TYE", "TCO", "COM", "TCM", "TEN",
    "TCR", "TLA", "WXX", "TOR", "TOA", "TT1", "TOT", "TSI"};

using RawTexts = std::array<std::string, kFrameCount>;

// Encoding 1 is UTF-16 behind a byte-order mark; text ends at a zero unit. Without a mark the
// units are taken as little-endian.
std::string decodeUtf16(std::string_view bytes) {
    bool bigEndian = false;
    if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFE\xFF") {
        bigEndian = true;
        bytes.remove_prefix(2);
    } else if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFF\xFE") {
        bytes.remove_prefix(2);
    }
    const ByteView view(bytes);
    std::u16string units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const char16_t unit = bigEndian ? view.be16(i) : view.le16(i);
        if (unit == 0)
            break;
        if (unit != 0xFEFF)
            units.push_back(unit);
    }
    return cp1251::fromUtf16(units);
}

// A raw frame text: its encoding byte, then the text, zero-padded to the raw size.
std::string decodeText(std::string_view raw) {
    if (!raw.empty() && raw.front() == 1)
        return std::string(trimBlanks(decodeUtf16(raw.substr(1))));
    // A zero byte ends an 8-bit text; leading zeros (the encoding byte) are blanks.
    return std::string(trimRightBlanks(untilZero(trimBlanks(raw))));
}

std::string firstChoice(const RawTexts& raw, frame first, frame second) {
    std::string text = decodeText(raw[first]);
    return text.empty() ? decodeText(raw[second]) : text;
}

// COMM and WXXX: encoding, a prefix (language for COMM), a description ended by a zero
// character, then the text.
std::string decodeDescribed(std::string_view raw, std::size_t prefix) {
    if (raw.empty())
        return {};
    const char encoding = raw.front();
    std::string_view rest = raw.substr(std::min(prefix, raw.size()));
    if (encoding == 1) {
        // The terminator is one zero UTF-16 unit, so it is looked for on unit boundaries.
        for (std::size_t i = 0; i + 1 < rest.size(); i += 2) {
            if (rest[i] == 0 && rest[i + 1] == 0) {
                rest.remove_prefix(i + 2);
                break;
            }
        }
    } else if (const std::size_t zero = rest.find('\0'); zero != std::string_view::npos) {
        rest.remove_prefix(zero + 1);
    }
    std::string text(1, encoding);
    text.append(rest);
    return decodeText(text);
}

std::uint16_t trackNumber(std::string_view text) {
    const auto number = parseDecimal(text.substr(0, text.find('/')));
    if (!number || *number < INT32_MIN || *number > INT32_MAX)
        return 0;
    return static_cast<std::uint16_t>(*number);
}

// The header's size bytes carry 7 bits each; their top bits are taken as they are.
std::int64_t sevenBitSize(const ByteView& bytes, std::size_t offset) {
    return (std::int64_t{bytes.u8(offset)} << 21) + (std::int64_t{bytes.u8(offset + 1)} << 14) +
           (std::int64_t{bytes.u8(offset + 2)} << 7) + bytes.u8(offset + 3);
}

} // namespace

bool Id3v2Reader::load(const std::filesystem::path& fileName) {
    return loadFromFile(*this, fileName);
}

bool Id3v2Reader::load(ByteSource& source) {
    reset();
    std::string header;
    try {
        header = source.read(0, 10);
    } catch (const ReadError&) {
        return false;
    }
    if (header.size() < 10)
        return false;
    const ByteView head(header);
    if (!head.startsWith(0, "ID3"))
        return true;

    const std::int64_t fileSize = source.size();
    exists = true;
    version = head.u8(3);
    size = sevenBitSize(head, 6) + 10 + ((head.u8(5) & 0x10) ? 10 : 0);
    if (size > fileSize)
        size = 0;
    if (version < 2 || version > 4 || size == 0)
        return true;

    const bool v2 = version == 2;
    const std::size_t headerLength = v2 ? 6 : 10;
    const auto& ids = v2 ? kIdsV2 : kIds;
    RawTexts raw;
    try {
        std::int64_t pos = 10;
        while (pos < size && pos < fileSize) {
            const std::string frameHeader = source.read(pos, headerLength);
            if (frameHeader.size() < headerLength || frameHeader[0] < 'A' || frameHeader[0] > 'Z')
                break;
            const ByteView fh(frameHeader);
            const std::int64_t frameSize = v2             ? fh.be24(3)
                                           : version == 3 ? fh.be32(4)
                                                          : sevenBitSize(fh, 4);
            const std::int64_t dataStart = pos + static_cast<std::int64_t>(headerLength);
            pos = dataStart + frameSize;
            // Versions 3 and 4: the second flag byte's top bit (compression in 2.3) means the
            // frame is not plain text.
            if (!v2 && (fh.u8(9) & 0x80))
                continue;
            const std::string_view id = std::string_view(frameHeader).substr(0, v2 ? 3 : 4);
            for (std::size_t i = 0; i < kFrameCount; ++i) {
                if (ids[i] != id)
                    continue;
                std::string data = source.read(
                    dataStart,
                    static_cast<std::size_t>(std::min<std::int64_t>(frameSize, kRawSize)));
                data.resize(kRawSize, '\0');
                if (data.front() == 0 || data.front() == 1)
                    raw[i] = std::move(data);
                break;
            }
        }
    } catch (const ReadError&) {
        // An unreadable frame ends the walk; what was read stays.
    }

    title = firstChoice(raw, kTitle, kContentGroup);
    artist = firstChoice(raw, kArtist, kOriginalArtist);
    album = firstChoice(raw, kAlbum, kOriginalAlbum);
    trackText = decodeText(raw[kTrack]);
    track = trackNumber(trackText);
    year = decodeText(raw[kYear]);
    if (year.empty())
        year = decodeText(raw[kRecordingTime]).substr(0, 4);
    genre = decodeText(raw[kGenre]);
    if (const std::size_t close = genre.rfind(')'); close != std::string::npos)
        genre.erase(0, close + 1);
    comment = decodeDescribed(raw[kComment], 4);
    composer = decodeText(raw[kComposer]);
    encoder = decodeText(raw[kEncoder]);
    rightsNotice = decodeText(raw[kRights]);
    language = decodeText(raw[kLanguage]);
    link = decodeDescribed(raw[kLink], 1);
    sizeText = decodeText(raw[kSize]);
    return true;
}

} // namespace korvane::tags

#include "tags/Id3v2Reader.h"

#include "tags/Id3v1Reader.h"
#include "tags/Id3v2Frames.h"
#include "tags/TagText.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace korvane::tags {
namespace {

constexpr std::size_t kFrameCount = 17;
constexpr std::string_view kCountryMark = "Country: ";
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
using id3v2::StringReader;

// A raw frame text: its encoding byte, then at most 499 bytes of its data. Without a byte-order
// mark UTF-16 units are taken as little-endian.
std::string decodeText(std::string_view raw, EightBitTexts& eightBit) {
    if (raw.empty())
        return {};
    return std::string(
        trimBlanks(StringReader(raw, StringReader::MissingMark::LittleEndian, eightBit).next()));
}

std::string firstChoice(const RawTexts& raw, frame first, frame second, EightBitTexts& eightBit) {
    std::string text = decodeText(raw[first], eightBit);
    return text.empty() ? decodeText(raw[second], eightBit) : text;
}

// COMM and WXXX: encoding, a prefix (the language for COMM), a description ended by a zero
// character, then the text.
struct Described {
    std::string description;
    std::string text;
};
Described decodeDescribed(std::string_view raw, std::size_t prefix, EightBitTexts& eightBit) {
    if (raw.empty())
        return {};
    StringReader reader(raw, StringReader::MissingMark::LittleEndian, eightBit);
    reader.skip(prefix - 1); // the encoding byte is read already
    Described out;
    out.description = reader.next();
    out.text = std::string(trimBlanks(reader.next()));
    return out;
}

// Of several comments the one with the country note wins, else the first with an empty
// description, else the first: taggers add iTunNORM or "ID3v1 Comment" frames after the user's.
int commentRank(const Described& comment) {
    if (comment.text.starts_with(kCountryMark))
        return 0;
    return comment.description.empty() ? 1 : 2;
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

ReadResult Id3v2Reader::load(const std::filesystem::path& fileName) {
    return loadFromFile(*this, fileName);
}

ReadResult Id3v2Reader::load(ByteSource& source) {
    return guardReads([&] { return parse(source); });
}

ReadResult Id3v2Reader::parse(ByteSource& source) {
    reset();
    const std::string header = source.read(0, 10);
    const ByteView head(header);
    if (header.size() < 10 || !head.startsWith(0, "ID3"))
        return ReadResult::notThisFormat();

    const std::int64_t fileSize = source.size();
    exists = true;
    version = head.u8(3);
    size = sevenBitSize(head, 6) + 10 + ((head.u8(5) & 0x10) ? 10 : 0);
    if (size > fileSize) {
        size = 0;
        return ReadResult::damaged("the tag is larger than the file");
    }
    if (version < 2 || version > 4)
        return ReadResult::damaged("version " + std::to_string(version) + " is not read");

    const std::uint8_t flags = head.u8(5);
    RawTexts raw;
    // Comments are decoded once the tag's code page is known; a tag seldom holds more than a
    // few, and the first ones are the user's.
    constexpr std::size_t kCommentLimit = 16;
    std::vector<std::string> comments;
    // Frames end where the tag ends, before a footer.
    const std::int64_t framesEnd = size - ((flags & id3v2::kFooter) ? 10 : 0);
    const auto walk = [&](ByteSource& tag, std::int64_t pos, std::int64_t end) {
        const std::size_t headerLength = id3v2::frameHeaderSize(version);
        const auto& ids = version == 2 ? kIdsV2 : kIds;
        while (pos < end) {
            const std::string frameHeader = tag.read(pos, headerLength);
            const id3v2::FrameHeader frame =
                id3v2::parseFrameHeader(version, flags, ByteView(frameHeader));
            if (frameHeader.size() < headerLength || frameHeader[0] < 'A' || frameHeader[0] > 'Z')
                break;
            const std::int64_t dataStart = pos + static_cast<std::int64_t>(headerLength);
            pos = dataStart + frame.size;
            const auto found = std::find(ids.begin(), ids.end(), frame.id);
            if (!frame.plain || found == ids.end())
                continue;
            // Unsynchronised data shrinks when restored: read enough stored bytes for 500.
            const std::size_t stored = frame.prefix + (frame.unsynchronised ? 2 : 1) * kRawSize;
            std::string data = id3v2::frameData(
                frame, tag.read(dataStart, static_cast<std::size_t>(std::min<std::int64_t>(
                                               frame.size, static_cast<std::int64_t>(stored)))));
            // The 500-byte buffer is zero-filled: an odd last UTF-16 byte pairs with a zero.
            data.resize(kRawSize, '\0');
            if (static_cast<std::uint8_t>(data.front()) > 3)
                continue;
            const auto index = static_cast<std::size_t>(found - ids.begin());
            if (index == kComment) {
                if (comments.size() < kCommentLimit)
                    comments.push_back(std::move(data));
                continue;
            }
            // A later frame with the same id replaces an earlier one.
            raw[index] = std::move(data);
        }
    };
    // An unreadable frame ends the walk; what was read is decoded all the same.
    bool brokeOff = false;
    try {
        const std::string extendedHead = source.read(10, 4);
        const std::uint64_t extended =
            id3v2::extendedHeaderSize(version, flags, ByteView(extendedHead));
        if (version < 4 && (flags & id3v2::kUnsynchronisation)) {
            // Up to 2.3 the whole tag is unsynchronised and its frame sizes count restored bytes.
            const std::string tag =
                id3v2::resynchronise(source.read(10, static_cast<std::size_t>(framesEnd - 10)));
            MemorySource restored(tag);
            walk(restored, static_cast<std::int64_t>(extended), restored.size());
        } else {
            walk(source, 10 + static_cast<std::int64_t>(extended), framesEnd);
        }
    } catch (const ReadError&) {
        brokeOff = true;
    }

    std::vector<std::string_view> eightBitTexts;
    for (std::size_t i = 0; i < raw.size(); ++i)
        id3v2::addEightBitStrings(raw[i], 1, eightBitTexts);
    for (const std::string& data : comments)
        id3v2::addEightBitStrings(data, 4, eightBitTexts);
    eightBit.setTagTexts(eightBitTexts);

    Described bestComment;
    int bestRank = 3;
    for (const std::string& data : comments) {
        Described described = decodeDescribed(data, 4, eightBit);
        if (const int rank = commentRank(described); rank < bestRank) {
            bestRank = rank;
            bestComment = std::move(described);
        }
    }
    title = firstChoice(raw, kTitle, kContentGroup, eightBit);
    artist = firstChoice(raw, kArtist, kOriginalArtist, eightBit);
    album = firstChoice(raw, kAlbum, kOriginalAlbum, eightBit);
    trackText = decodeText(raw[kTrack], eightBit);
    track = trackNumber(trackText);
    year = decodeText(raw[kYear], eightBit);
    if (year.empty())
        year = firstCharacters(decodeText(raw[kRecordingTime], eightBit), 4);
    genre = contentTypeText(decodeText(raw[kGenre], eightBit));
    comment = std::move(bestComment.text);
    composer = decodeText(raw[kComposer], eightBit);
    encoder = decodeText(raw[kEncoder], eightBit);
    rightsNotice = decodeText(raw[kRights], eightBit);
    language = decodeText(raw[kLanguage], eightBit);
    link = decodeDescribed(raw[kLink], 1, eightBit).text;
    sizeText = decodeText(raw[kSize], eightBit);
    return brokeOff ? ReadResult::readFailed() : ReadResult::read();
}

} // namespace korvane::tags

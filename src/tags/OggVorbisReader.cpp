#include "tags/OggVorbisReader.h"

#include "text/Cp1251.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <string_view>
#include <system_error>

namespace korvane::tags {
namespace {

constexpr std::int64_t kPageHeaderSize = 27; // the lacing values follow
constexpr std::int64_t kIdentificationSize = 30;
constexpr std::size_t kItemLimit = 250; // longer comments are cut, the walk goes on after them
// The last page is looked for in the final 50 windows of 241 bytes, starting 10 bytes before
// the end: about 12 KB.
constexpr std::int64_t kTailSize = 241 * 50 + 10;
constexpr std::int64_t kLastCandidate = 10;

constexpr std::string_view kCapture = "OggS";
constexpr std::string_view kIdentificationId = "\x01"
                                               "vorbis";
constexpr std::string_view kCommentId = "\x03"
                                        "vorbis";

// Index 0 is the vendor string; 1..9 the comment fields we keep.
enum Item {
    ItemVendor,
    ItemTitle,
    ItemArtist,
    ItemAlbum,
    ItemTrackNumber,
    ItemDate,
    ItemGenre,
    ItemComment,
    ItemPerformer,
    ItemDescription,
    ItemCount
};
constexpr std::array<std::string_view, ItemCount> kNames = {
    "",     "TITLE", "ARTIST",  "ALBUM",     "TRACKNUMBER",
    "DATE", "GENRE", "COMMENT", "PERFORMER", "DESCRIPTION"};

using VorbisTag = std::array<std::string, ItemCount>;

// Not a general decoder: a lead byte with bit 0x20 starts three bytes, any other lead byte two,
// and the text ends at the first byte that does not continue a sequence.
std::u16string decodeUtf8(std::string_view bytes) {
    std::u16string out;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            out += static_cast<char16_t>(lead);
            ++i;
            continue;
        }
        const std::size_t length = (lead & 0x20) ? 3 : 2;
        if (bytes.size() - i < length)
            break;
        std::uint32_t code = (lead & 0x20) ? (lead & 0x1F) : (lead & 0x3F);
        bool complete = true;
        for (std::size_t k = 1; k < length && complete; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            complete = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        if (!complete)
            break;
        out += static_cast<char16_t>(code);
        i += length;
    }
    return out;
}

void setItem(std::string_view text, VorbisTag& tag) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        if (tag[ItemVendor].empty())
            tag[ItemVendor] = std::string(text);
        return;
    }
    if (equals == 0)
        return;
    std::string name(text.substr(0, equals));
    for (char& c : name) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    const auto found = std::find(kNames.begin() + 1, kNames.end(), name);
    if (found == kNames.end())
        return;
    tag[static_cast<std::size_t>(found - kNames.begin())] =
        cp1251::fromUtf16(decodeUtf8(trimBlanks(text.substr(equals + 1))));
}

// The vendor string, the comment count and the comments, each with a 32-bit length. Lengths
// are unsigned: a negative one would step backwards and could walk the same bytes forever.
void readComments(ByteSource& source, std::int64_t position, VorbisTag& tag) {
    const std::int64_t end = source.size();
    std::int32_t count = 0;
    for (std::int64_t i = 0; i <= count && position < end; ++i) {
        const std::uint32_t length = ByteView(source.read(position, 4)).le32(0);
        position += 4;
        const std::string item = source.read(position, std::min<std::size_t>(length, kItemLimit));
        setItem(trimBlanks(item), tag);
        position += length;
        if (i == 0) {
            count = static_cast<std::int32_t>(ByteView(source.read(position, 4)).le32(0));
            position += 4;
        }
    }
}

// The granule position of the last page that starts in the final 12 KB.
std::int32_t lastGranule(ByteSource& source) {
    const std::int64_t size = source.size();
    const std::int64_t tailStart = std::max<std::int64_t>(0, size - kTailSize);
    const std::string tail = source.read(tailStart, static_cast<std::size_t>(size - tailStart));
    const ByteView view(tail);
    for (std::int64_t at = size - kLastCandidate; at >= tailStart; --at) {
        const auto offset = static_cast<std::size_t>(at - tailStart);
        if (view.startsWith(offset, kCapture))
            return static_cast<std::int32_t>(view.le32(offset + 6));
    }
    return 0;
}

} // namespace

bool OggVorbisReader::load(const std::filesystem::path& fileName) {
    reset();
    std::error_code reason;
    const auto file = FileSource::open(fileName, reason);
    if (!file)
        throw std::filesystem::filesystem_error("cannot open the file", fileName, reason);
    // The headers' small reads share one window, the last-page search another.
    ReadAheadSource source(*file);
    return load(source);
}

bool OggVorbisReader::load(ByteSource& source) {
    reset();
    const std::int64_t id3v2 = leadingId3v2Size(source);
    const std::string firstPage = source.read(id3v2, kPageHeaderSize);
    if (!ByteView(firstPage).startsWith(0, kCapture))
        return false;
    // The identification header is taken to be the first page's only packet.
    const std::int64_t identificationStart = id3v2 + kPageHeaderSize + ByteView(firstPage).u8(26);
    const std::string identificationBytes = source.read(identificationStart, kIdentificationSize);
    const ByteView identification(identificationBytes);
    if (!identification.startsWith(0, kIdentificationId))
        return false;

    VorbisTag tag;
    const std::int64_t secondPage = identificationStart + kIdentificationSize;
    const std::int64_t commentStart =
        secondPage + kPageHeaderSize + ByteView(source.read(secondPage, kPageHeaderSize)).u8(26);
    if (ByteView(source.read(commentStart, kCommentId.size())).startsWith(0, kCommentId))
        readComments(source, commentStart + static_cast<std::int64_t>(kCommentId.size()), tag);

    samples = lastGranule(source);
    fileSize = source.size();
    id3v2Size = id3v2;
    channels = identification.u8(11);
    sampleRate = static_cast<std::int32_t>(identification.le32(12));
    nominalBitRate =
        static_cast<std::uint16_t>(static_cast<std::int32_t>(identification.le32(20)) / 1000);
    title = tag[ItemTitle];
    artist = tag[ItemArtist].empty() ? tag[ItemPerformer] : tag[ItemArtist];
    album = tag[ItemAlbum];
    const std::string_view trackText = tag[ItemTrackNumber];
    const auto number = parseDecimal(trackText.substr(0, trackText.find('/')));
    // A number outside 32 bits is no number; of one that is, the low 8 bits are kept.
    if (number && *number == static_cast<std::int32_t>(*number))
        track = static_cast<std::uint8_t>(*number);
    date = tag[ItemDate];
    genre = tag[ItemGenre];
    comment = tag[ItemComment].empty() ? tag[ItemDescription] : tag[ItemComment];
    vendor = tag[ItemVendor];
    return true;
}

double OggVorbisReader::duration() const {
    if (samples > 0)
        return sampleRate == 0 ? 0.0 : static_cast<double>(samples) / sampleRate;
    if (nominalBitRate > 0 && channels > 0)
        return static_cast<double>(fileSize - id3v2Size) / nominalBitRate / channels / 125 * 2;
    return 0.0;
}

std::int32_t OggVorbisReader::bitRate() const {
    const double seconds = duration();
    if (!(seconds > 0))
        return 0;
    // Ties go to the even neighbour; a duration of a few samples gives rates past 32 bits.
    const double rate = std::nearbyint(static_cast<double>(fileSize - id3v2Size) / seconds / 125);
    return rate >= static_cast<double>(INT32_MAX) ? INT32_MAX : static_cast<std::int32_t>(rate);
}

} // namespace korvane::tags

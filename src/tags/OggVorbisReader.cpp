#include "tags/OggVorbisReader.h"

#include "tags/OggPages.h"
#include "tags/VorbisComment.h"
#include "text/Utf8.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <string_view>
#include <system_error>

namespace korvane::tags {
namespace {

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
constexpr std::string_view kSetupId = "\x05"
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

void setItem(std::string_view text, VorbisTag& tag, EightBitTexts& eightBit) {
    const auto field = splitComment(text);
    if (!field) {
        if (text.find('=') == std::string_view::npos && tag[ItemVendor].empty())
            tag[ItemVendor] = utf8::withReplacements(text);
        return;
    }
    const auto found = std::find_if(kNames.begin() + 1, kNames.end(), [&](std::string_view name) {
        return sameCommentName(field->name, name);
    });
    if (found == kNames.end())
        return;
    tag[static_cast<std::size_t>(found - kNames.begin())] =
        eightBit.decodeUtf8(trimBlanks(field->value));
}

// Item 0 is the vendor string; each item counts with its first 250 bytes only.
void readComments(std::string_view body, VorbisTag& tag, EightBitTexts& eightBit) {
    const VorbisComment comment = parseVorbisComment(body);
    setItem(trimBlanks(comment.vendor.substr(0, kItemLimit)), tag, eightBit);
    for (const std::string_view item : comment.items)
        setItem(trimBlanks(item.substr(0, kItemLimit)), tag, eightBit);
}

// The granule position of the last page that starts in the final 12 KB.
std::int32_t lastGranule(ByteSource& source) {
    const std::int64_t size = source.size();
    const std::int64_t tailStart = std::max<std::int64_t>(0, size - kTailSize);
    const std::string tail = source.read(tailStart, static_cast<std::size_t>(size - tailStart));
    const ByteView view(tail);
    for (std::int64_t at = size - kLastCandidate; at >= tailStart; --at) {
        const auto offset = static_cast<std::size_t>(at - tailStart);
        // The whole capture is compared only where its first letter stands: a comparison at
        // every byte of the tail cost more than the rest of the file's read (album totals read
        // every file).
        if (offset < tail.size() && tail[offset] == kCapture.front() &&
            view.startsWith(offset, kCapture))
            return static_cast<std::int32_t>(view.le32(offset + 6));
    }
    return 0;
}

} // namespace

ReadResult OggVorbisReader::load(const std::filesystem::path& fileName) {
    return loadFromFile(*this, fileName);
}

ReadResult OggVorbisReader::load(ByteSource& source) {
    return guardReads([&] { return parse(source); });
}

ReadResult OggVorbisReader::parse(ByteSource& source) {
    reset();
    const std::int64_t id3v2 = leadingId3v2Size(source);
    const auto firstPage = readOggPage(source, id3v2);
    if (!firstPage)
        return ReadResult::notThisFormat();
    // The identification header is the first page's first packet; the comment and setup
    // headers follow, each over as many pages as it needs.
    OggPacketReader packets(source, *firstPage);
    const auto identificationPacket = packets.next();
    if (!identificationPacket)
        return ReadResult::notThisFormat();
    const ByteView identification(identificationPacket->bytes);
    if (!identification.startsWith(0, kIdentificationId))
        return ReadResult::notThisFormat();

    VorbisTag tag;
    const auto commentPacket = packets.next();
    if (commentPacket && ByteView(commentPacket->bytes).startsWith(0, kCommentId))
        readComments(std::string_view(commentPacket->bytes).substr(kCommentId.size()), tag,
                     eightBit);
    // Audio starts after the page that ends the setup header; without one the whole file
    // after the ID3v2 tag counts, as it always did.
    const auto setupPacket =
        commentPacket && commentPacket->complete ? packets.next() : std::nullopt;
    const bool haveSetup = setupPacket && setupPacket->complete &&
                           ByteView(setupPacket->bytes).startsWith(0, kSetupId);
    const std::int64_t audioStart = haveSetup ? setupPacket->pageEnd : id3v2;

    samples = lastGranule(source);
    fileSize = source.size();
    id3v2Size = id3v2;
    audioBytes = fileSize - audioStart;
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
    return ReadResult::read();
}

double OggVorbisReader::duration() const {
    if (samples > 0)
        return sampleRate == 0 ? 0.0 : static_cast<double>(samples) / sampleRate;
    if (nominalBitRate > 0 && channels > 0)
        return static_cast<double>(audioBytes) / nominalBitRate / channels / 125 * 2;
    return 0.0;
}

std::int32_t OggVorbisReader::bitRate() const {
    const double seconds = duration();
    if (!(seconds > 0))
        return 0;
    // Ties go to the even neighbour; a duration of a few samples gives rates past 32 bits.
    const double rate = std::nearbyint(static_cast<double>(audioBytes) / seconds / 125);
    return rate >= static_cast<double>(INT32_MAX) ? INT32_MAX : static_cast<std::int32_t>(rate);
}

} // namespace korvane::tags

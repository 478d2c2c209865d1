#include "tags/OpusReader.h"

#include "tags/OggPages.h"
#include "tags/VorbisComment.h"

#include <string_view>

namespace korvane::tags {
namespace {

constexpr std::string_view kHeadMagic = "OpusHead";
constexpr std::string_view kTagsMagic = "OpusTags";
constexpr std::int32_t kDecodeRate = 48000;

} // namespace

ReadResult OpusReader::load(const std::filesystem::path& fileName) {
    return loadFromFile(*this, fileName);
}

ReadResult OpusReader::load(ByteSource& source) {
    return guardReads([&] { return parse(source); });
}

ReadResult OpusReader::parse(ByteSource& source) {
    reset();
    const std::int64_t id3v2 = leadingId3v2Size(source);
    const auto firstPage = readOggPage(source, id3v2);
    if (!firstPage)
        return ReadResult::notThisFormat();
    OggPacketReader packets(source, *firstPage);
    const auto headPacket = packets.next();
    if (!headPacket)
        return ReadResult::notThisFormat();
    const ByteView head(headPacket->bytes);
    // Versions 0 to 15 share the layout; a higher major version is another format.
    if (!head.startsWith(0, kHeadMagic) || head.u8(8) > 15)
        return ReadResult::notThisFormat();
    if (!head.fits(0, 19))
        return ReadResult::damaged("OpusHead is too short");

    OpusReader result(eightBit.choice());
    result.id3v2Size = id3v2;
    AudioProperties& sound = result.properties;
    sound.channels = head.u8(9);
    sound.sampleRate = kDecodeRate;
    result.preSkip = head.le16(10);
    result.inputSampleRate = static_cast<std::int32_t>(head.le32(12));

    // Audio starts after the page that ends OpusTags; without it, after OpusHead's page.
    std::int64_t audioStart = headPacket->pageEnd;
    const auto tagsPacket = packets.next();
    if (tagsPacket && ByteView(tagsPacket->bytes).startsWith(0, kTagsMagic)) {
        applyVorbisComment(
            parseVorbisComment(std::string_view(tagsPacket->bytes).substr(kTagsMagic.size())),
            sound, result.eightBit);
        if (tagsPacket->complete)
            audioStart = tagsPacket->pageEnd;
    }
    const auto granule = lastGranulePosition(source, firstPage->serial, audioStart);
    if (granule && *granule > result.preSkip && *granule < (std::uint64_t{1} << 62))
        sound.durationSeconds = static_cast<double>(*granule - result.preSkip) / kDecodeRate;
    sound.audioBytes = source.size() - audioStart;
    *this = std::move(result);
    return ReadResult::read();
}

} // namespace korvane::tags

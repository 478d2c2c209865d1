#include "tags/FlacReader.h"

#include "tags/VorbisComment.h"

namespace korvane::tags {
namespace {

constexpr std::int64_t kBlockHeaderSize = 4;
constexpr std::int64_t kStreamInfoSize = 34;
// Real files hold a handful of blocks; thousands of tiny ones are a hostile file.
constexpr int kBlockLimit = 1024;

enum BlockType { StreamInfo = 0, VorbisCommentBlock = 4, Invalid = 127 };

} // namespace

ReadResult FlacReader::load(const std::filesystem::path& fileName) {
    return loadFromFile(*this, fileName);
}

ReadResult FlacReader::load(ByteSource& source) {
    return guardReads([&] { return parse(source); });
}

ReadResult FlacReader::parse(ByteSource& source) {
    reset();
    const std::int64_t size = source.size();
    const std::int64_t id3v2 = leadingId3v2Size(source);
    if (!ByteView(source.read(id3v2, 4)).startsWith(0, "fLaC"))
        return ReadResult::notThisFormat();
    FlacReader result(eightBit.choice());
    result.id3v2Size = id3v2;
    std::int64_t position = id3v2 + 4;
    bool haveComment = false;
    for (int block = 0;; ++block) {
        const std::string headerBytes = source.read(position, kBlockHeaderSize);
        const ByteView header(headerBytes);
        if (block == kBlockLimit)
            return ReadResult::damaged("too many metadata blocks");
        if (!header.fits(0, kBlockHeaderSize))
            return ReadResult::damaged("the metadata ends early");
        const bool last = header.u8(0) & 0x80;
        const int type = header.u8(0) & 0x7F;
        const std::int64_t length = header.be24(1);
        position += kBlockHeaderSize;
        if (type == Invalid)
            return ReadResult::damaged("an invalid metadata block");
        if (length > size - position)
            return ReadResult::damaged("a metadata block runs past the end");
        // STREAMINFO comes first and nowhere else.
        if ((block == 0) != (type == StreamInfo))
            return ReadResult::damaged("STREAMINFO is not the first block");
        if (type == StreamInfo) {
            if (length < kStreamInfoSize)
                return ReadResult::damaged("STREAMINFO is too short");
            const std::string bytes = source.read(position, kStreamInfoSize);
            const ByteView info(bytes);
            // Sample rate 20 bits, channels - 1 3 bits, bits per sample - 1 5 bits, samples 36.
            result.properties.sampleRate = static_cast<std::int32_t>(info.be24(10) >> 4);
            result.properties.channels = ((info.u8(12) >> 1) & 0x07) + 1;
            result.bitsPerSample = (((info.u8(12) & 0x01) << 4) | (info.u8(13) >> 4)) + 1;
            result.totalSamples =
                (std::int64_t{info.u8(13) & 0x0F} << 32) | std::int64_t{info.be32(14)};
        } else if (type == VorbisCommentBlock && !haveComment) {
            const std::string bytes = source.read(position, static_cast<std::size_t>(length));
            applyVorbisComment(parseVorbisComment(bytes), result.properties, result.eightBit);
            haveComment = true;
        }
        position += length;
        if (last)
            break;
    }
    AudioProperties& sound = result.properties;
    if (sound.sampleRate > 0)
        sound.durationSeconds = static_cast<double>(result.totalSamples) / sound.sampleRate;
    sound.audioBytes = size - position;
    *this = std::move(result);
    return ReadResult::read();
}

} // namespace korvane::tags

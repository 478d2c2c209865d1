// Readers over a source whose reads fail past a given offset, as a failing disk would.

#include "tags/ApeTagReader.h"
#include "tags/CueSheetReader.h"
#include "tags/FlacReader.h"
#include "tags/Id3v1Reader.h"
#include "tags/Id3v2FrameReader.h"
#include "tags/Id3v2Reader.h"
#include "tags/MonkeysAudioReader.h"
#include "tags/Mp4Reader.h"
#include "tags/MpegAudioReader.h"
#include "tags/OggVorbisReader.h"
#include "tags/OpusReader.h"
#include "tags/WavPackReader.h"
#include "tags/WmaReader.h"

#include "TagBytes.h"

#include <gtest/gtest.h>

using namespace korvane::tags;
using namespace korvane::tags::test;

namespace {

class FailingSource final : public ByteSource {
public:
    // Reads that touch [failFrom, failTo) fail.
    FailingSource(std::string_view bytes, std::int64_t failFrom, std::int64_t failTo = INT64_MAX)
        : m_memory(bytes), m_failFrom(failFrom), m_failTo(failTo) {}
    std::int64_t size() const override { return m_memory.size(); }
    std::size_t readAt(std::int64_t offset, void* buffer, std::size_t count) override {
        if (offset + static_cast<std::int64_t>(count) > m_failFrom && offset < m_failTo)
            throw ReadError();
        return m_memory.readAt(offset, buffer, count);
    }

private:
    MemorySource m_memory;
    std::int64_t m_failFrom;
    std::int64_t m_failTo;
};

const std::string kTag =
    id3v2Tag(3, frameV3("TPE1", bytes({0}) + "First") + frameV3("TALB", bytes({0}) + "Second"));
const std::string kFile = kTag + mpegFrames(20) + id3v1Tag("t", "a", "b", "", "", 1);

} // namespace

bool readFailed(const ReadResult& result) {
    return result.isUnreadable() && result.reason() == "read error";
}

TEST(ReadFailures, ID3v2WalkSaysSoAndKeepsWhatItRead) {
    // The second frame's header lies past the failing offset.
    FailingSource source(kFile, 10 + 10 + 6 + 5);
    Id3v2Reader tag;
    EXPECT_TRUE(readFailed(tag.load(source)));
    EXPECT_EQ(tag.artist, "First");
    EXPECT_TRUE(tag.album.empty());

    FailingSource header(kFile, 5);
    EXPECT_TRUE(readFailed(tag.load(header)));
    EXPECT_FALSE(tag.exists);
}

TEST(ReadFailures, ID3v1SaysReadError) {
    FailingSource source(kFile, static_cast<std::int64_t>(kFile.size()) - 10);
    Id3v1Reader tag;
    EXPECT_TRUE(readFailed(tag.load(source)));
}

TEST(ReadFailures, EveryReaderSaysReadErrorAndNothingEscapes) {
    // Every read fails: no reader lets the source's exception out.
    FailingSource source(kFile, 0);
    EXPECT_TRUE(readFailed(OggVorbisReader().load(source)));
    EXPECT_TRUE(readFailed(FlacReader().load(source)));
    EXPECT_TRUE(readFailed(OpusReader().load(source)));
    EXPECT_TRUE(readFailed(Mp4Reader().load(source)));
    EXPECT_TRUE(readFailed(WavPackReader().load(source)));
    EXPECT_TRUE(readFailed(MonkeysAudioReader().load(source)));
    EXPECT_TRUE(readFailed(ApeTagReader().load(source)));
    EXPECT_TRUE(readFailed(CueSheetReader().load(source)));
    EXPECT_TRUE(readFailed(WmaReader().load(source)));
}

TEST(ReadFailures, MpegSaysReadErrorAndResets) {
    // The tags read fine, the first audio block does not.
    const auto audioStart = static_cast<std::int64_t>(kTag.size());
    FailingSource audio(kFile, audioStart + 100, audioStart + 200);
    MpegAudioReader mpeg;
    EXPECT_TRUE(readFailed(mpeg.load(audio)));
    EXPECT_FALSE(mpeg.id3v2.exists);
    EXPECT_EQ(mpeg.bitRate(), 0);
}

TEST(ReadFailures, Id3v2FrameReaderSaysStreamReadError) {
    FailingSource source(kFile, 20);
    Id3v2FrameReader tag;
    const ReadResult result = tag.load(source);
    EXPECT_TRUE(result.isDamaged());
    EXPECT_EQ(result.reason(), "Stream read error");
    EXPECT_FALSE(tag.header().hasTag);
}

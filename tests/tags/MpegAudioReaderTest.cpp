#include "tags/MpegAudioReader.h"

#include "TagBytes.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace korvane::tags;
using namespace korvane::tags::test;

namespace {

using Status = ReadResult::Status;

// A file without a frame is no MPEG audio.
MpegAudioReader load(const std::string& file, Status expected = Status::Read) {
    MemorySource source(file);
    MpegAudioReader mpeg;
    EXPECT_EQ(mpeg.load(source).status(), expected);
    return mpeg;
}

// A Xing header body: flags, frames, bytes, a 100-byte table, the scale in its last byte of 4,
// then 8 vendor bytes.
std::string xing(std::string_view id, std::uint32_t frames, std::uint32_t bytesTotal, int scale = 0,
                 std::string vendor = "LAME3.99") {
    std::string out = std::string(id) + be32(15) + be32(frames) + be32(bytesTotal) +
                      std::string(100, '\0') + bytes({0, 0, 0, scale});
    return out + vendor;
}
// VBRI: id, version, delay, quality at +9, bytes at +10, frames at +14.
std::string vbri(std::uint32_t frames, std::uint32_t bytesTotal, int quality) {
    return "VBRI" + be16(1) + be16(0) + bytes({0, quality}) + be32(bytesTotal) + be32(frames);
}

// The first frame carries `body` at `offset` after its header; more frames follow.
std::string streamWith(const std::string& body, std::size_t offset, std::string_view header4,
                       std::size_t length, int frames = 12) {
    std::string first = mpegFrame(header4, length, std::string(offset - 4, '\0') + body);
    return first + mpegFrames(frames - 1, header4, length);
}

} // namespace

TEST(MpegFrame, LengthBitrateAndSampleRate) {
    struct Case {
        const char* name;
        std::string header;
        int length, bitrate, sampleRate;
    };
    const Case cases[] = {
        {"MPEG 1 Layer III 128k 44100", bytes({0xFF, 0xFB, 0x90, 0x64}), 417, 128, 44100},
        {"the same, padded", bytes({0xFF, 0xFB, 0x92, 0x64}), 418, 128, 44100},
        {"MPEG 1 Layer I 288k 44100 padded", bytes({0xFF, 0xFF, 0x92, 0x00}), 317, 288, 44100},
        {"MPEG 1 Layer II 384k 32000", bytes({0xFF, 0xFD, 0xE8, 0x00}), 1728, 384, 32000},
        {"MPEG 2 Layer III 64k 22050", bytes({0xFF, 0xF3, 0x80, 0x00}), 208, 64, 22050},
        {"MPEG 2 Layer I 256k 16000", bytes({0xFF, 0xF7, 0xE8, 0x00}), 384, 256, 16000},
        {"MPEG 2.5 Layer III 64k 8000", bytes({0xFF, 0xE3, 0x88, 0x00}), 576, 64, 8000},
        {"MPEG 2.5 Layer II 160k 8000", bytes({0xFF, 0xE5, 0xE8, 0x00}), 2880, 160, 8000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto h = reinterpret_cast<const std::uint8_t*>(c.header.data());
        EXPECT_TRUE(isMpegFrameHeader(h[0], h[1], h[2], h[3]));
        const MpegFrameInfo frame = MpegFrameInfo::decode(h[0], h[1], h[2], h[3]);
        EXPECT_EQ(frame.length(), c.length);
        EXPECT_EQ(frame.bitRate(), c.bitrate);
        EXPECT_EQ(frame.sampleRate(), c.sampleRate);
    }
}

TEST(MpegFrame, HeaderValidity) {
    const std::pair<const char*, std::string> rejected[] = {
        {"no sync", bytes({0xFE, 0xFB, 0x90, 0x64})},
        {"sync bits of b1 incomplete", bytes({0xFF, 0xDB, 0x90, 0x64})},
        {"reserved version", bytes({0xFF, 0xEB, 0x90, 0x64})},
        {"layer 0", bytes({0xFF, 0xF9, 0x90, 0x64})},
        {"free format", bytes({0xFF, 0xFB, 0x00, 0x64})},
        {"bitrate index 15", bytes({0xFF, 0xFB, 0xF0, 0x64})},
        {"sample-rate index 3", bytes({0xFF, 0xFB, 0x9C, 0x64})},
        {"emphasis 2", bytes({0xFF, 0xFB, 0x90, 0x66})},
    };
    for (const auto& [name, h] : rejected) {
        SCOPED_TRACE(name);
        const auto b = reinterpret_cast<const std::uint8_t*>(h.data());
        EXPECT_FALSE(isMpegFrameHeader(b[0], b[1], b[2], b[3]));
    }
}

TEST(MpegAudioReader, FrameAfterTheID3v2Tag) {
    const std::string tag =
        id3v2Tag(3, frameV3("TPE1", bytes({0}) + "Artist") + frameV3("TSIZ", bytes({0}) + "4170"));
    const std::string file = tag + mpegFrames(10) + id3v1Tag("t", "a", "b", "1999", "", 17);
    const MpegAudioReader mpeg = load(file);
    EXPECT_TRUE(mpeg.frame.found);
    EXPECT_EQ(mpeg.audioStart, static_cast<std::int64_t>(tag.size()));
    EXPECT_EQ(mpeg.frame.position, mpeg.audioStart);
    EXPECT_EQ(mpeg.frame.size, 417);
    EXPECT_TRUE(mpeg.frame.xing);
    EXPECT_EQ(mpeg.fileLength, static_cast<std::int64_t>(file.size()));
    EXPECT_EQ(mpeg.audioEnd, mpeg.fileLength - 128);
    EXPECT_EQ(mpeg.declaredAudioSize, 4170);
    EXPECT_EQ(mpeg.bitRate(), 128);
    EXPECT_FALSE(mpeg.vbr.found);
    EXPECT_EQ(mpeg.id3v2.artist, "Artist");
    EXPECT_EQ(mpeg.id3v1.genreName(), "Rock");
    EXPECT_EQ(mpeg.frame.mode, 1);
    EXPECT_EQ(mpeg.frame.modeExtension, 2);
    EXPECT_TRUE(mpeg.frame.original);
    EXPECT_TRUE(mpeg.frame.protection == false);
}

TEST(MpegAudioReader, FrameSearch) {
    struct Case {
        const char* name;
        std::string file;
        bool found;
        std::int64_t start;
    };
    // A valid header whose successor one frame length later is no header.
    const std::string falseSync = kFrame128 + std::string(96, '\0');
    const Case cases[] = {
        {"false sync skipped", falseSync + mpegFrames(10), true, 100},
        {"free format never accepted", mpegFrames(20, bytes({0xFF, 0xFB, 0x00, 0x64}), 200), false,
         0},
        {"emphasis 2 never accepted", mpegFrames(20, bytes({0xFF, 0xFB, 0x90, 0x66})), false, 0},
        {"the last start examined in a block is 1729", std::string(1729, '\0') + mpegFrames(3),
         true, 1729},
        {"a start at 1730 waits for the next block", std::string(1730, '\0') + mpegFrames(10), true,
         1730 + 417 * 5},
        {"a frame in a later block", std::string(8000, '\0') + mpegFrames(5), true, 8000},
        {"the successor must lie inside the block",
         std::string(1729, '\0') + mpegFrames(1) + std::string(2000, '\0') + mpegFrames(6), true,
         1729 + 417 + 2000},
        {"a short file with one frame", mpegFrames(1), false, 0},
        {"only zero bytes", std::string(20000, '\0'), false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MpegAudioReader mpeg = load(c.file, c.found ? Status::Read : Status::NotThisFormat);
        EXPECT_EQ(mpeg.frame.found, c.found);
        EXPECT_EQ(mpeg.audioStart, c.start);
        if (!c.found) {
            EXPECT_EQ(mpeg.bitRate(), 0);
        }
    }
}

TEST(MpegAudioReader, VbrHeaders) {
    const std::string plain = kFrame128;
    const std::string padded = bytes({0xFF, 0xFB, 0x92, 0x64});
    const std::string mono = bytes({0xFF, 0xFB, 0x90, 0xC4});
    const std::string at48k = bytes({0xFF, 0xFB, 0x94, 0x64}); // 128k 48000 Hz: 384 bytes
    const std::string high = bytes({0xFF, 0xFB, 0xB0, 0x64});  // 192k: 626 bytes
    struct Case {
        const char* name;
        std::string file;
        bool found;
        std::string id;
        int bitrate;
        int scale;
    };
    const Case cases[] = {
        {"Xing 10000 frames, 4180000 bytes",
         streamWith(xing("Xing", 10000, 4180000, 57), 36, plain, 417), true, "Xing", 128, 57},
        {"the same with a padded first frame",
         streamWith(xing("Xing", 10000, 4180000), 36, padded, 418), true, "Xing", 128, 0},
        {"Xing with frames = 0 falls back to the table",
         streamWith(xing("Xing", 0, 4180000), 36, high, 626), true, "Xing", 192, 0},
        {"half rounds to even, down", streamWith(xing("Xing", 2, 771), 36, at48k, 384), true,
         "Xing", 128, 0},
        {"half rounds to even, up", streamWith(xing("Xing", 2, 777), 36, at48k, 384), true, "Xing",
         130, 0},
        {"single channel MPEG 1: offset 21",
         streamWith(xing("Xing", 10000, 4180000), 21, mono, 417), true, "Xing", 128, 0},
        {"VBRI at the Xing offset", streamWith(vbri(10000, 4180000, 75), 36, high, 626), true,
         "VBRI", 128, 75},
        {"Info marks no VBR; the rate is the stream's",
         streamWith(xing("Info", 10000, 4180000), 36, high, 626), false, "Info", 192, 0},
        // FFmpeg and LAME code the Info frame at a rate that holds the LAME tag: 56 kbit/s at
        // 22.05 kHz before a 48 kbit/s stream.
        {"an Info frame at another rate than the stream",
         mpegFrame(bytes({0xFF, 0xF3, 0x70, 0xC4}), 182,
                   std::string(13 - 4, '\0') + xing("Info", 100, 15673)) +
             mpegFrames(11, bytes({0xFF, 0xF3, 0x60, 0xC4}), 156),
         false, "Info", 48, 0},
        {"Xing at the wrong offset", streamWith(xing("Xing", 10000, 4180000), 21, high, 626), false,
         "", 192, 0},
        {"bytes fewer than frames give 0", streamWith(xing("Xing", 1000, 10), 36, plain, 417), true,
         "Xing", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MpegAudioReader mpeg = load(c.file);
        EXPECT_TRUE(mpeg.frame.found);
        EXPECT_EQ(mpeg.vbr.found, c.found);
        EXPECT_EQ(mpeg.vbr.id, c.id);
        EXPECT_EQ(mpeg.bitRate(), c.bitrate);
        EXPECT_EQ(mpeg.vbr.scale, c.scale);
    }
    const MpegAudioReader mpeg = load(streamWith(xing("Xing", 10000, 4180000), 36, plain, 417));
    EXPECT_EQ(mpeg.vbr.frames, 10000u);
    EXPECT_EQ(mpeg.vbr.bytes, 4180000u);
    EXPECT_EQ(mpeg.vbr.vendor, "LAME3.99");
    EXPECT_TRUE(mpeg.frame.xing); // side information of a Xing frame is zero
}

TEST(MpegAudioReader, EncoderMark) {
    const std::string frames = mpegFrames(30); // 12510 bytes
    const auto withMark = [&](std::size_t at, std::string_view mark) {
        std::string file = frames;
        file.replace(at, mark.size(), mark);
        return file;
    };
    struct Case {
        const char* name;
        std::string file;
        std::string mark;
    };
    const std::string v1 = id3v1Tag("t", "a", "b", "", "", 1);
    const Case cases[] = {
        {"LAME in the first block", withMark(2000, "LAME3.97"), "LAME3.97"},
        {"GOGO in the first block", withMark(3000, "GOGO-junk"), "GOGO"},
        {"LAME before the search range of the first block", withMark(1000, "LAME3.97"), ""},
        {"LAME only in the tail", withMark(frames.size() - 300, "LAME3.98"), "LAME3.98"},
        {"tail read stops short of the ID3v1 tag", withMark(frames.size() - 300, "LAME3.98") + v1,
         "LAME3.98"},
        {"no mark", frames, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(load(c.file).encoderMark, c.mark);
    }
}

TEST(MpegAudioReader, NoFrameResetsTheTags) {
    const std::string file = id3v2Tag(3, frameV3("TPE1", bytes({0}) + "A")) +
                             std::string(5000, '\0') + id3v1Tag("t", "a", "b", "", "", 1);
    const MpegAudioReader mpeg = load(file, Status::NotThisFormat);
    EXPECT_FALSE(mpeg.id3v2.exists);
    EXPECT_FALSE(mpeg.id3v1.exists);
    EXPECT_TRUE(mpeg.id3v2.artist.empty());
    EXPECT_EQ(mpeg.bitRate(), 0);
    EXPECT_EQ(mpeg.fileLength, 0);
    EXPECT_EQ(mpeg.frame.versionIndex, 1);
    EXPECT_EQ(mpeg.frame.emphasis, 2);
    EXPECT_EQ(mpeg.frame.mode, 4);

    const MpegAudioReader tiny = load("ID3", Status::NotThisFormat);
    EXPECT_EQ(tiny.fileLength, 0);
    MpegAudioReader missing;
    EXPECT_FALSE(missing.load("/nonexistent/korvane.mp3"));
    EXPECT_EQ(missing.frame.sampleRateIndex, 3);
}

TEST(MpegAudioReader, DeclaredAudioSize) {
    const std::pair<const char*, std::int64_t> cases[] = {
        {"12345", 12345}, {"12a", 0}, {"-5", -5}, {"99999999999", 99999999999LL}, {"", 0}};
    for (const auto& [text, value] : cases) {
        SCOPED_TRACE(text);
        const std::string tag = id3v2Tag(3, frameV3("TSIZ", bytes({0}) + text));
        EXPECT_EQ(load(tag + mpegFrames(4)).declaredAudioSize, value);
    }
}

namespace {

// A file of 5 GiB that is zero except for a few regions, to show 64-bit offsets.
class SparseSource final : public ByteSource {
public:
    SparseSource(std::int64_t size) : m_size(size) {}
    void put(std::int64_t offset, std::string bytes) { m_regions.push_back({offset, bytes}); }
    std::int64_t size() const override { return m_size; }
    std::size_t readAt(std::int64_t offset, void* buffer, std::size_t count) override {
        if (offset < 0 || offset >= m_size)
            return 0;
        count = static_cast<std::size_t>(std::min<std::int64_t>(count, m_size - offset));
        auto* out = static_cast<char*>(buffer);
        std::memset(out, 0, count);
        for (const auto& [start, bytes] : m_regions) {
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                const std::int64_t at = start + static_cast<std::int64_t>(i);
                if (at >= offset && at < offset + static_cast<std::int64_t>(count))
                    out[at - offset] = bytes[i];
            }
        }
        return count;
    }

private:
    std::int64_t m_size;
    std::vector<std::pair<std::int64_t, std::string>> m_regions;
};

} // namespace

TEST(MpegAudioReader, FilesOf5GiB) {
    const std::int64_t size = 5LL << 30;
    SparseSource source(size);
    source.put(0, mpegFrames(8));
    source.put(size - 1000, "LAME3.100");
    source.put(size - 128, id3v1Tag("Title", "Artist", "Album", "2020", "", 13));
    MpegAudioReader mpeg;
    ASSERT_TRUE(mpeg.load(source));
    EXPECT_EQ(mpeg.fileLength, size);
    EXPECT_EQ(mpeg.audioEnd, size - 128);
    EXPECT_EQ(mpeg.encoderMark, "LAME3.10");
    EXPECT_EQ(mpeg.id3v1.artist, "Artist");
}

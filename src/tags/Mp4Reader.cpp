#include "tags/Mp4Reader.h"

#include "tags/Id3v1Reader.h"
#include "tags/TagText.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace korvane::tags {
namespace {

constexpr std::int64_t kHeaderSize = 8;
constexpr std::int64_t kLargeHeaderSize = 16;
// A level of the tree holds at most this many boxes: real files hold a few dozen, fragmented
// ones a few thousand moof/mdat pairs.
constexpr int kSiblingLimit = 1 << 16;
constexpr std::size_t kTextLimit = 4096;
constexpr std::size_t kSampleEntryLimit = 256;

// iTunes item names begin with the copyright sign, byte 0xA9.
constexpr std::string_view kArtist = "\xA9"
                                     "ART";
constexpr std::string_view kAlbumArtist = "aART";
constexpr std::string_view kAlbum = "\xA9"
                                    "alb";
constexpr std::string_view kDay = "\xA9"
                                  "day";
constexpr std::string_view kGenre = "\xA9"
                                    "gen";
constexpr std::string_view kGenreCode = "gnre";
constexpr std::string_view kComment = "\xA9"
                                      "cmt";

// data box type indicators: UTF-8 text, and the implicit type that gnre uses for its number.
// iTunes writes no other text type.
constexpr std::uint32_t kUtf8 = 1;
constexpr std::uint32_t kImplicit = 0;

struct Box {
    std::string type;
    std::int64_t contentStart = 0;
    std::int64_t end = 0;
    std::int64_t contentSize() const { return end - contentStart; }
};

// Calls visit(box) for each box in [begin, end) until it returns false. A size of 0 runs to
// `end`, a size of 1 is followed by a 64-bit size; a box past `end` is cut to it; a size
// smaller than its header ends the walk (it would not move on).
template <typename Visit>
void forEachBox(ByteSource& source, std::int64_t begin, std::int64_t end, Visit visit) {
    std::int64_t at = begin;
    for (int count = 0; count < kSiblingLimit && end - at >= kHeaderSize; ++count) {
        const std::string head = source.read(at, kLargeHeaderSize);
        const ByteView view(head);
        if (view.size() < kHeaderSize)
            return;
        std::uint64_t size = view.be32(0);
        std::int64_t headerSize = kHeaderSize;
        if (size == 1) {
            if (view.size() < kLargeHeaderSize)
                return;
            size = view.be64(8);
            headerSize = kLargeHeaderSize;
        } else if (size == 0) {
            size = static_cast<std::uint64_t>(end - at);
        }
        // A header that runs past the parent (a 64-bit size in its last bytes) would give a box
        // of negative length.
        if (size < static_cast<std::uint64_t>(headerSize) || headerSize > end - at)
            return;
        Box box;
        box.type = std::string(view.bytes(4, 4));
        box.contentStart = at + headerSize;
        box.end = size > static_cast<std::uint64_t>(end - at)
                      ? end
                      : at + static_cast<std::int64_t>(size);
        if (!visit(box))
            return;
        at = box.end;
    }
}

// The first child of the given type, or nothing (a box with no content).
Box child(ByteSource& source, const Box& parent, std::string_view type) {
    Box found;
    forEachBox(source, parent.contentStart, parent.end, [&](const Box& box) {
        if (box.type != type)
            return true;
        found = box;
        return false;
    });
    return found;
}

bool exists(const Box& box) {
    return !box.type.empty();
}

std::string cutText(std::string_view bytes) {
    return std::string(trimBlanks(untilZero(bytes)));
}

// The value of an ilst item: its first data box, as text.
std::string itemText(ByteSource& source, const Box& item, EightBitTexts& eightBit) {
    const Box data = child(source, item, "data");
    if (!exists(data) || data.contentSize() < 8)
        return {};
    const std::string bytes = source.read(
        data.contentStart,
        8 + static_cast<std::size_t>(std::min<std::int64_t>(data.contentSize() - 8, kTextLimit)));
    const ByteView view(bytes);
    const std::uint32_t kind = view.be32(0) & 0xFFFFFF;
    const std::string_view value = view.bytes(8, kTextLimit);
    if (kind == kImplicit && item.type == kGenreCode) {
        // The ID3v1 genre code plus one.
        const std::uint16_t code = ByteView(value).be16(0);
        return code == 0 ? std::string() : std::string(id3v1GenreName(code - 1u));
    }
    return kind == kUtf8 ? eightBit.decode(cutText(value)) : std::string();
}

constexpr std::array<std::int32_t, 13> kAacSampleRates = {
    96000, 88200, 64000, 48000, 44100, 32000, 24000, 22050, 16000, 12000, 11025, 8000, 7350};
constexpr std::uint8_t kEsDescriptor = 0x03;
constexpr std::uint8_t kDecoderConfig = 0x04;
constexpr std::uint8_t kDecoderSpecificInfo = 0x05;

// An MPEG-4 descriptor at `at`: its tag, then a length of one to four bytes, seven bits each
// with the high bit saying more follow. Sets `content` to where its body starts.
bool descriptor(const ByteView& view, std::size_t at, std::uint8_t tag, std::size_t& content,
                std::size_t& length) {
    if (view.u8(at) != tag)
        return false;
    length = 0;
    std::size_t i = at + 1;
    for (int n = 0; n < 4 && i < view.size(); ++n, ++i) {
        length = (length << 7) | (view.u8(i) & 0x7F);
        if ((view.u8(i) & 0x80) == 0) {
            content = i + 1;
            return view.fits(content, length);
        }
    }
    return false;
}

// The AAC configuration in esds (the ES descriptor, its decoder configuration, the audio
// specific configuration): the sample entry's own channel count is 2 even for mono, and its
// rate cannot hold 96 kHz.
void readEsds(const ByteView& esds, std::int32_t& channels, std::int32_t& sampleRate) {
    std::size_t at = 0;
    std::size_t length = 0;
    // esds is a full box: version and flags first.
    if (!descriptor(esds, 4, kEsDescriptor, at, length))
        return;
    const std::uint8_t flags = esds.u8(at + 2);
    at += 3;
    if (flags & 0x80) // depends on another stream
        at += 2;
    if (flags & 0x40) // URL
        at += 1 + esds.u8(at);
    if (flags & 0x20) // OCR stream
        at += 2;
    if (!descriptor(esds, at, kDecoderConfig, at, length) || length < 13)
        return;
    if (!descriptor(esds, at + 13, kDecoderSpecificInfo, at, length) || length < 2)
        return;
    // Object type (5 bits, 31 escapes to 6 more), rate index (4 bits, 15 gives 24 explicit
    // bits), channel configuration (4 bits).
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < 8; ++i)
        bits = (bits << 8) | (i < length ? esds.u8(at + i) : 0);
    int used = 5;
    if ((bits >> 59) == 31)
        used += 6;
    const auto take = [&bits, &used](int count) {
        const std::uint64_t value = (bits >> (64 - used - count)) & ((1u << count) - 1);
        used += count;
        return static_cast<std::uint32_t>(value);
    };
    const std::uint32_t rateIndex = take(4);
    const std::uint32_t rate = rateIndex == 15                      ? take(24)
                               : rateIndex < kAacSampleRates.size() ? kAacSampleRates[rateIndex]
                                                                    : 0;
    const std::uint32_t configuration = take(4);
    if (rate > 0)
        sampleRate = static_cast<std::int32_t>(rate);
    // Configurations 1 to 6 are that many channels, 7 is 7.1; 0 leaves it to the sample entry.
    if (configuration >= 1 && configuration <= 6)
        channels = static_cast<std::int32_t>(configuration);
    else if (configuration == 7)
        channels = 8;
}

// The movie timescale (mvhd).
std::uint32_t movieTimescale(ByteSource& source, const Box& moov) {
    const Box mvhd = child(source, moov, "mvhd");
    const std::string bytes = source.read(mvhd.contentStart, 24);
    const ByteView movie(bytes);
    return !exists(mvhd) ? 0 : movie.u8(0) == 1 ? movie.be32(20) : movie.be32(12);
}

// The length of the track's edit list in seconds of the movie's timescale (mvhd): the sum of
// the segments that show media; 0 without one.
double editedSeconds(ByteSource& source, const Box& moov, const Box& trak) {
    constexpr std::uint32_t kEntryLimit = 64;
    const Box elst = child(source, child(source, trak, "edts"), "elst");
    const std::uint32_t movieScale = exists(elst) ? movieTimescale(source, moov) : 0;
    if (movieScale == 0)
        return 0;
    const std::string listBytes = source.read(
        elst.contentStart, static_cast<std::size_t>(std::min<std::int64_t>(
                               elst.contentSize(), 8 + 20 * std::int64_t{kEntryLimit})));
    const ByteView list(listBytes);
    const bool wide = list.u8(0) == 1; // 64-bit durations and times
    const std::size_t entrySize = wide ? 20 : 12;
    std::uint64_t total = 0;
    const std::uint32_t count = std::min(list.be32(4), kEntryLimit);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t at = 8 + i * entrySize;
        if (!list.fits(at, entrySize))
            break;
        const std::uint64_t segment = wide ? list.be64(at) : list.be32(at);
        // A media time of -1 is an empty edit: a pause before the track.
        const bool empty =
            wide ? list.be64(at + 8) == ~std::uint64_t{0} : list.be32(at + 4) == 0xFFFFFFFFu;
        if (!empty)
            total += segment;
    }
    return static_cast<double>(total) / movieScale;
}

// The whole length of a fragmented movie as mvex/mehd states it, in seconds; 0 without one.
double fragmentedSeconds(ByteSource& source, const Box& moov, const Box& mvex) {
    const Box mehd = child(source, mvex, "mehd");
    if (!exists(mehd))
        return 0;
    const std::string bytes = source.read(mehd.contentStart, 12);
    const ByteView view(bytes);
    const std::uint64_t length = view.u8(0) == 1 ? view.be64(4) : view.be32(4);
    const std::uint32_t scale = movieTimescale(source, moov);
    return scale > 0 ? static_cast<double>(length) / scale : 0;
}

// A full box's content, at most `limit` bytes of it.
std::string contentOf(ByteSource& source, const Box& box, std::int64_t limit) {
    return source.read(box.contentStart, static_cast<std::size_t>(std::clamp<std::int64_t>(
                                             box.contentSize(), 0, limit)));
}

// The sample sizes table (stsz) of a track: one size for every sample, or a size per sample.
// Nothing when the table is missing or claims more than it holds.
std::optional<std::uint64_t> sampleBytes(ByteSource& source, const Box& stbl) {
    constexpr std::int64_t kTableLimit = std::int64_t{1} << 26; // 16 M samples
    const Box stsz = child(source, stbl, "stsz");
    const std::string head = source.read(stsz.contentStart, 12);
    const ByteView view(head);
    if (!exists(stsz) || view.size() < 12)
        return std::nullopt;
    const std::uint32_t fixed = view.be32(4);
    const std::uint32_t count = view.be32(8);
    if (fixed != 0)
        return std::uint64_t{fixed} * count;
    if (std::int64_t{count} * 4 > std::min(stsz.contentSize() - 12, kTableLimit))
        return std::nullopt;
    const std::string table = source.read(stsz.contentStart + 12, std::size_t{count} * 4);
    const ByteView sizes(table);
    std::uint64_t total = 0;
    for (std::size_t at = 0; at + 4 <= sizes.size(); at += 4)
        total += sizes.be32(at);
    return total;
}

// What the movie fragments (moof) hold of one track: its samples' durations in the track's
// timescale and their bytes. A fragment's values come from its run (trun) sample by sample,
// else from its header's defaults (tfhd), else from the movie's defaults (trex).
struct Fragments {
    // Unsigned: lying counts may wrap them, and bytes past the media data are not taken.
    std::uint64_t duration = 0;
    std::uint64_t bytes = 0;
};

// tfhd and trex default flags, and trun's per-sample flags.
constexpr std::uint32_t kBaseDataOffset = 0x1;
constexpr std::uint32_t kDescriptionIndex = 0x2;
constexpr std::uint32_t kDefaultDuration = 0x8;
constexpr std::uint32_t kDefaultSize = 0x10;
constexpr std::uint32_t kDataOffset = 0x1;
constexpr std::uint32_t kFirstSampleFlags = 0x4;
constexpr std::uint32_t kSampleDuration = 0x100;
constexpr std::uint32_t kSampleSize = 0x200;
constexpr std::uint32_t kSampleFlags = 0x400;
constexpr std::uint32_t kCompositionOffset = 0x800;
constexpr std::int64_t kRunLimit = std::int64_t{1} << 24; // bytes of one trun read

void addRun(const ByteView& run, std::uint32_t defaultDuration, std::uint32_t defaultSize,
            Fragments& out) {
    const std::uint32_t flags = run.be32(0) & 0xFFFFFF;
    const std::uint32_t count = run.be32(4);
    std::size_t at = 8 + ((flags & kDataOffset) ? 4 : 0) + ((flags & kFirstSampleFlags) ? 4 : 0);
    const std::size_t entrySize =
        4 * (((flags & kSampleDuration) ? 1 : 0) + ((flags & kSampleSize) ? 1 : 0) +
             ((flags & kSampleFlags) ? 1 : 0) + ((flags & kCompositionOffset) ? 1 : 0));
    if (entrySize == 0) {
        out.duration += std::uint64_t{defaultDuration} * count;
        out.bytes += std::uint64_t{defaultSize} * count;
        return;
    }
    for (std::uint32_t i = 0; i < count && run.fits(at, entrySize); ++i, at += entrySize) {
        std::size_t field = at;
        out.duration += (flags & kSampleDuration) ? run.be32(field) : defaultDuration;
        field += (flags & kSampleDuration) ? 4 : 0;
        out.bytes += (flags & kSampleSize) ? run.be32(field) : defaultSize;
    }
}

Fragments fragmentsOf(ByteSource& source, const std::vector<Box>& moofs, const Box& mvex,
                      std::uint32_t trackId) {
    // trex: version and flags, track id, description index, duration, size, flags.
    std::uint32_t trexDuration = 0;
    std::uint32_t trexSize = 0;
    forEachBox(source, mvex.contentStart, mvex.end, [&](const Box& box) {
        const std::string bytes = box.type == "trex" ? source.read(box.contentStart, 20) : "";
        const ByteView trex(bytes);
        if (trex.size() < 20 || trex.be32(4) != trackId)
            return true;
        trexDuration = trex.be32(12);
        trexSize = trex.be32(16);
        return false;
    });
    Fragments out;
    for (const Box& moof : moofs) {
        forEachBox(source, moof.contentStart, moof.end, [&](const Box& traf) {
            if (traf.type != "traf")
                return true;
            const Box tfhd = child(source, traf, "tfhd");
            const std::string headerBytes = source.read(tfhd.contentStart, 40);
            const ByteView header(headerBytes);
            if (!exists(tfhd) || header.be32(4) != trackId)
                return true;
            // tfhd: version and flags, track id, then the fields its flags name, in order.
            const std::uint32_t flags = header.be32(0) & 0xFFFFFF;
            std::size_t at =
                8 + ((flags & kBaseDataOffset) ? 8 : 0) + ((flags & kDescriptionIndex) ? 4 : 0);
            std::uint32_t duration = trexDuration;
            std::uint32_t size = trexSize;
            if (flags & kDefaultDuration) {
                duration = header.be32(at);
                at += 4;
            }
            if (flags & kDefaultSize)
                size = header.be32(at);
            forEachBox(source, traf.contentStart, traf.end, [&](const Box& trun) {
                if (trun.type == "trun")
                    addRun(ByteView(contentOf(source, trun, kRunLimit)), duration, size, out);
                return true;
            });
            return true;
        });
    }
    return out;
}

} // namespace

ReadResult Mp4Reader::load(const std::filesystem::path& fileName) {
    return loadFromFile(*this, fileName);
}

ReadResult Mp4Reader::load(ByteSource& source) {
    return guardReads([&] { return parse(source); });
}

ReadResult Mp4Reader::parse(ByteSource& source) {
    reset();
    const std::int64_t fileSize = source.size();
    Box moov;
    std::string majorBrand;
    bool first = true;
    bool typed = false;
    std::int64_t media = 0;
    std::vector<Box> moofs;
    forEachBox(source, 0, fileSize, [&](const Box& box) {
        if (first && box.type == "ftyp") {
            typed = true;
            majorBrand = source.read(box.contentStart, 4);
        }
        first = false;
        if (box.type == "moov" && !exists(moov))
            moov = box;
        else if (box.type == "mdat")
            media += box.contentSize();
        else if (box.type == "moof")
            moofs.push_back(box);
        return typed;
    });
    if (!typed)
        return ReadResult::notThisFormat();
    if (!exists(moov))
        return ReadResult::damaged("no moov box");
    brand = majorBrand;
    mediaDataBytes = media;
    properties.audioBytes = media;

    // The first track whose handler is "soun", and whether the movie has other tracks.
    Box mdia;
    Box trak;
    Box mvex; // a fragmented movie's extension
    int tracks = 0;
    forEachBox(source, moov.contentStart, moov.end, [&](const Box& box) {
        if (box.type == "mvex" && !exists(mvex))
            mvex = box;
        if (box.type != "trak")
            return true;
        ++tracks;
        if (exists(trak))
            return true;
        const Box candidate = child(source, box, "mdia");
        const Box handler = child(source, candidate, "hdlr");
        // hdlr: version and flags, pre-defined, then the handler type.
        if (exists(handler) && source.read(handler.contentStart + 8, 4) == "soun") {
            mdia = candidate;
            trak = box;
        }
        return true;
    });
    const Box stbl = child(source, child(source, mdia, "minf"), "stbl");
    if (exists(mdia)) {
        const Box mdhd = child(source, mdia, "mdhd");
        const std::string header = source.read(mdhd.contentStart, 32);
        const ByteView view(header);
        if (exists(mdhd) && view.u8(0) == 1) { // 64-bit times
            timescale = view.be32(20);
            duration = view.be64(24);
        } else if (exists(mdhd)) {
            timescale = view.be32(12);
            duration = view.be32(16);
        }
        const Box stsd = child(source, stbl, "stsd");
        // stsd: version and flags, the entry count, then the first sample entry: six reserved
        // bytes, the data reference index, version, revision, vendor, channels, sample size,
        // compression id, packet size, the rate as 16.16.
        Box entry;
        if (exists(stsd)) {
            forEachBox(source, stsd.contentStart + 8, stsd.end, [&](const Box& box) {
                entry = box;
                return false;
            });
        }
        if (exists(entry)) {
            codec = entry.type;
            const std::string entryBytes = source.read(entry.contentStart, kSampleEntryLimit);
            const ByteView sample(entryBytes);
            properties.channels = sample.be16(16);
            bitsPerSample = sample.be16(18);
            properties.sampleRate = static_cast<std::int32_t>(sample.be32(24) >> 16);
            // ALAC keeps its own configuration in a child box of the same name: the rate that
            // 16 bits cannot hold (96 kHz) is there. Its "average bitrate" is the uncompressed
            // rate, and is not used.
            const Box config{entry.type, entry.contentStart + 28, entry.end};
            const Box esds = child(source, config, "esds");
            if (exists(esds)) {
                const std::string esdsBytes = source.read(
                    esds.contentStart,
                    static_cast<std::size_t>(std::min<std::int64_t>(esds.contentSize(), 256)));
                readEsds(ByteView(esdsBytes), properties.channels, properties.sampleRate);
            }
            if (codec == "alac") {
                const Box alac = child(source, config, "alac");
                const std::string alacBytes = source.read(alac.contentStart, 28);
                const ByteView cookie(alacBytes);
                if (exists(alac) && cookie.size() >= 28) {
                    bitsPerSample = cookie.u8(9);
                    properties.channels = cookie.u8(13);
                    properties.sampleRate = static_cast<std::int32_t>(cookie.be32(24));
                }
            }
        }
    }
    // A fragmented movie (mvex) holds few or no samples in moov; the rest follow in fragments.
    Fragments fragments;
    if (exists(mvex) && exists(trak)) {
        // tkhd: version and flags, two times (64-bit in version 1), then the track id.
        const std::string tkhd = source.read(child(source, trak, "tkhd").contentStart, 24);
        const ByteView track(tkhd);
        fragments =
            fragmentsOf(source, moofs, mvex, track.u8(0) == 1 ? track.be32(20) : track.be32(12));
        duration += fragments.duration;
    }
    if (timescale > 0)
        properties.durationSeconds = static_cast<double>(duration) / timescale;
    // The media holds the encoder's priming samples too; the edit list says what is played.
    // In a fragmented movie it covers the samples in moov only.
    const double played = editedSeconds(source, moov, trak);
    if (played > 0 && fragments.duration == 0)
        properties.durationSeconds = played;
    // The fragments' length as the movie header's extension states it (mehd, in the movie's
    // timescale), when it does.
    const double stated = fragmentedSeconds(source, moov, mvex);
    if (stated > 0)
        properties.durationSeconds = stated;
    // With a video (or any other) track beside the sound, the media data holds its bytes too:
    // the sound track's own sample sizes count.
    if (tracks > 1 && exists(trak)) {
        const std::uint64_t own = sampleBytes(source, stbl).value_or(0) + fragments.bytes;
        if (own > 0 && own <= static_cast<std::uint64_t>(media))
            properties.audioBytes = static_cast<std::int64_t>(own);
    }

    // meta is a full box (version and flags before its children) in iTunes files, a plain one
    // in QuickTime's: the children begin where "hdlr" is found.
    Box meta = child(source, child(source, moov, "udta"), "meta");
    if (exists(meta) && source.read(meta.contentStart + 4, 4) != "hdlr")
        meta.contentStart = std::min(meta.end, meta.contentStart + 4);
    const Box ilst = child(source, meta, "ilst");
    std::string artist;
    std::string textGenre;
    std::string codedGenre;
    std::string day;
    if (exists(ilst)) {
        forEachBox(source, ilst.contentStart, ilst.end, [&](const Box& item) {
            std::string* target = item.type == kArtist        ? &artist
                                  : item.type == kAlbumArtist ? &albumArtist
                                  : item.type == kAlbum       ? &properties.album
                                  : item.type == kDay         ? &day
                                  : item.type == kGenre       ? &textGenre
                                  : item.type == kGenreCode   ? &codedGenre
                                  : item.type == kComment     ? &properties.comment
                                                              : nullptr;
            if (target != nullptr && target->empty())
                *target = itemText(source, item, eightBit);
            return true;
        });
    }
    properties.artist = artist.empty() ? albumArtist : artist;
    properties.year = yearFromDate(day);
    properties.genre = textGenre.empty() ? codedGenre : textGenre;
    return ReadResult::read();
}

} // namespace korvane::tags

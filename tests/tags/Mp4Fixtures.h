#pragma once

// Byte-built MP4 boxes for the MP4 reader's tests, the damaged-file table and the fuzz seeds.
#include <cstdint>
#include <string>

namespace korvane::tags::fixtures {

inline std::string be(std::uint64_t value, int width) {
    std::string out;
    for (int i = width - 1; i >= 0; --i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

inline std::string box(const std::string& type, const std::string& content) {
    return be(8 + content.size(), 4) + type + content;
}
// The same with the 64-bit size (size field 1).
inline std::string largeBox(const std::string& type, const std::string& content) {
    return be(1, 4) + type + be(16 + content.size(), 8) + content;
}
inline std::string fullBox(const std::string& type, const std::string& content,
                           std::uint32_t versionAndFlags = 0) {
    return box(type, be(versionAndFlags, 4) + content);
}

// An iTunes item: the item box holding one data box of the given type indicator.
inline std::string ilstItem(const std::string& name, const std::string& value,
                            std::uint32_t type = 1) {
    return box(name, box("data", be(type, 4) + be(0, 4) + value));
}

inline std::string mdhd(std::uint32_t timescale, std::uint64_t duration, bool version1 = false) {
    if (version1)
        return fullBox("mdhd", be(0, 8) + be(0, 8) + be(timescale, 4) + be(duration, 8) + be(0, 4),
                       0x01000000);
    return fullBox("mdhd", be(0, 4) + be(0, 4) + be(timescale, 4) + be(duration, 4) + be(0, 4));
}

// An audio sample entry: reserved, data reference index, version, revision, vendor, channels,
// sample size, compression id, packet size, rate 16.16, then child boxes.
inline std::string sampleEntry(const std::string& codec, std::uint16_t channels, std::uint32_t rate,
                               const std::string& children = {}) {
    return box(codec, std::string(6, '\0') + be(1, 2) + be(0, 8) + be(channels, 2) + be(16, 2) +
                          be(0, 4) + be(rate << 16, 4) + children);
}

// The ALAC configuration: frame length, compatible version, bit depth, rice parameters,
// channels, max run, max frame bytes, average bitrate, rate.
inline std::string alacConfig(std::uint8_t bits, std::uint8_t channels, std::uint32_t rate) {
    return fullBox("alac", be(4096, 4) + be(0, 1) + be(bits, 1) + be(40, 1) + be(10, 1) +
                               be(14, 1) + be(channels, 1) + be(255, 2) + be(0, 4) +
                               be(1411200, 4) + be(rate, 4));
}

// esds with an AAC audio specific configuration (two bytes: object type, rate index,
// channel configuration), descriptor lengths in the four-byte form that encoders write.
inline std::string esds(std::uint8_t config0, std::uint8_t config1) {
    const auto descriptor = [](int tag, const std::string& body) {
        return be(tag, 1) + "\x80\x80\x80" + be(body.size(), 1) + body;
    };
    const std::string specific = descriptor(5, be(config0, 1) + be(config1, 1));
    const std::string decoder = descriptor(4, be(0x40, 1) + be(0x15, 1) + be(0, 3) + be(128000, 4) +
                                                  be(128000, 4) + specific);
    return fullBox("esds", descriptor(3, be(1, 2) + be(0, 1) + decoder));
}

// An edit list of one segment of `duration` movie units that starts at media time `start`.
inline std::string edits(std::uint32_t duration, std::uint32_t start) {
    return box("edts", fullBox("elst", be(1, 4) + be(duration, 4) + be(start, 4) + be(1 << 16, 4)));
}
inline std::string mvhd(std::uint32_t timescale, std::uint32_t duration) {
    return fullBox("mvhd", be(0, 4) + be(0, 4) + be(timescale, 4) + be(duration, 4) +
                               std::string(80, '\0'));
}

// A sound track; `tables` follow stsd in stbl, `header` (tkhd) comes first.
inline std::string soundTrack(const std::string& mdhdBox, const std::string& entry,
                              const std::string& edtsBox = {}, const std::string& tables = {},
                              const std::string& header = {}) {
    const std::string hdlr = fullBox("hdlr", be(0, 4) + "soun" + std::string(12, '\0') + '\0');
    const std::string stsd = fullBox("stsd", be(1, 4) + entry);
    return box("trak", header + edtsBox +
                           box("mdia", mdhdBox + hdlr + box("minf", box("stbl", stsd + tables))));
}

// tkhd version 0: version and flags, two times, the track id, then what the reader skips.
inline std::string tkhd(std::uint32_t trackId) {
    return fullBox("tkhd", be(0, 4) + be(0, 4) + be(trackId, 4) + std::string(72, '\0'), 3);
}

// The sample sizes table: one size for every sample (fixed), or one per sample.
inline std::string stsz(std::uint32_t fixed, std::uint32_t count, const std::string& sizes = {}) {
    return fullBox("stsz", be(fixed, 4) + be(count, 4) + sizes);
}

// The movie extension of a fragmented movie: the track's defaults (trex), and the whole
// length in the movie's timescale (mehd) when `length` is given.
inline std::string mvex(std::uint32_t trackId, std::uint32_t duration, std::uint32_t size,
                        std::uint64_t length = 0) {
    const std::string mehd = length == 0 ? "" : fullBox("mehd", be(length, 8), 0x01000000);
    return box("mvex", mehd + fullBox("trex", be(trackId, 4) + be(1, 4) + be(duration, 4) +
                                                  be(size, 4) + be(0, 4)));
}

// A movie fragment of one track: tfhd with the given defaults (0 leaves one out), and one run
// with per-sample (duration, size) pairs, or `count` samples that take the defaults.
inline std::string moof(std::uint32_t trackId, std::uint32_t duration, std::uint32_t size,
                        const std::string& pairs, std::uint32_t count) {
    const std::uint32_t flags = (duration ? 0x8 : 0) | (size ? 0x10 : 0);
    const std::string tfhd = fullBox(
        "tfhd", be(trackId, 4) + (duration ? be(duration, 4) : "") + (size ? be(size, 4) : ""),
        flags);
    const std::string trun = pairs.empty() ? fullBox("trun", be(count, 4))
                                           : fullBox("trun", be(count, 4) + pairs, 0x300);
    return box("moof", fullBox("mfhd", be(1, 4)) + box("traf", tfhd + trun));
}

inline std::string itunesMeta(const std::string& items) {
    const std::string hdlr = fullBox("hdlr", be(0, 4) + "mdir" + "appl" + std::string(9, '\0'));
    return box("udta", fullBox("meta", hdlr + box("ilst", items)));
}

inline std::string m4a(const std::string& moovContent, std::size_t mediaBytes) {
    return box("ftyp", "M4A " + be(0, 4) + "M4A isom") + box("moov", moovContent) +
           box("mdat", std::string(mediaBytes, '\x21'));
}

} // namespace korvane::tags::fixtures

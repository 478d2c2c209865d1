#pragma once

// Byte-built WMA (ASF) and Ogg Vorbis files for the tests of the two readers and of the
// command line that prints them.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace korvane::tags::fixtures {

inline std::string littleEndian(std::uint64_t value, int width) {
    std::string out;
    for (int i = 0; i < width; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

// The 16 stored bytes of a GUID written as text: the first three groups little-endian.
inline std::string guid(const std::string& text) {
    const auto hex = [&text](std::size_t at, std::size_t digits) {
        return std::stoull(text.substr(at, digits), nullptr, 16);
    };
    std::string out =
        littleEndian(hex(0, 8), 4) + littleEndian(hex(9, 4), 2) + littleEndian(hex(14, 4), 2);
    for (std::size_t at : {19, 21, 24, 26, 28, 30, 32, 34})
        out += static_cast<char>(hex(at, 2));
    return out;
}

inline const std::string kHeader = "75B22630-668E-11CF-A6D9-00AA0062CE6C";
inline const std::string kFileProperties = "8CABDCA1-A947-11CF-8EE4-00C00C205365";
inline const std::string kStreamProperties = "B7DC0791-A9B7-11CF-8EE6-00C00C205365";
inline const std::string kContentDescription = "75B22633-668E-11CF-A6D9-00AA0062CE6C";
inline const std::string kExtendedContentDescription = "D2D0A440-E307-11D2-97F0-00A0C95EA850";

inline std::string object(const std::string& id, const std::string& body) {
    return guid(id) + littleEndian(24 + body.size(), 8) + body;
}

// UTF-16LE with its terminating zero, as ASF stores texts.
inline std::string utf16(const std::u16string& text) {
    std::string out;
    for (char16_t c : text + u'\0')
        out += littleEndian(c, 2);
    return out;
}

inline std::string fileProperties(std::uint32_t maximumBitRate) {
    // File id, sizes, dates, durations, preroll, flags and packet sizes come first.
    return object(kFileProperties, std::string(76, '\0') + littleEndian(maximumBitRate, 4));
}

inline std::string streamProperties(std::uint16_t channels, std::uint32_t sampleRate,
                                    std::uint32_t averageBytesPerSecond) {
    // Stream type, error correction type, time offset, data lengths, flags, reserved; then the
    // wave format: format tag, channels, rate, bytes per second, block align, bits, extra size.
    return object(kStreamProperties,
                  std::string(54, '\0') + littleEndian(0x161, 2) + littleEndian(channels, 2) +
                      littleEndian(sampleRate, 4) + littleEndian(averageBytesPerSecond, 4) +
                      littleEndian(0x2E5, 2) + littleEndian(16, 2) + littleEndian(0, 2));
}

inline std::string contentDescription(const std::u16string& title, const std::u16string& author,
                                      const std::u16string& description = {}) {
    const std::string fields[] = {title.empty() ? "" : utf16(title),
                                  author.empty() ? "" : utf16(author), utf16(u"(c)"),
                                  description.empty() ? "" : utf16(description), ""};
    std::string body;
    for (const std::string& field : fields)
        body += littleEndian(field.size(), 2);
    for (const std::string& field : fields)
        body += field;
    return object(kContentDescription, body);
}

struct Descriptor {
    std::u16string name;
    std::uint16_t type; // 0 Unicode string, 1 bytes, 2 bool, 3 DWORD, 4 QWORD, 5 WORD
    std::string value;  // the stored bytes
};

inline std::string extendedDescription(const std::vector<Descriptor>& descriptors) {
    std::string body = littleEndian(descriptors.size(), 2);
    for (const Descriptor& d : descriptors) {
        const std::string name = utf16(d.name);
        body += littleEndian(name.size(), 2) + name + littleEndian(d.type, 2) +
                littleEndian(d.value.size(), 2) + d.value;
    }
    return object(kExtendedContentDescription, body);
}

inline Descriptor text(const std::u16string& name, const std::u16string& value) {
    return {name, 0, utf16(value)};
}

// A header object holding `objects`, and a little audio data after it.
inline std::string asf(const std::vector<std::string>& objects) {
    std::string body;
    for (const std::string& o : objects)
        body += o;
    return guid(kHeader) + littleEndian(30 + body.size(), 8) + littleEndian(objects.size(), 4) +
           "\x01\x02" + body + std::string(64, '\x11');
}

// A plausible 128 kbit/s stereo file with `more` objects after the stream.
inline std::string plausible(const std::vector<std::string>& more = {},
                             std::uint32_t bytesPerSecond = 16000) {
    std::vector<std::string> objects = {fileProperties(128000),
                                        streamProperties(2, 44100, bytesPerSecond)};
    objects.insert(objects.end(), more.begin(), more.end());
    return asf(objects);
}

// Ogg Vorbis

// One Ogg page holding `body` (CRC and serial left zero: the reader does not look at them).
inline std::string page(const std::string& body, std::uint64_t granule) {
    std::string lacing;
    std::size_t rest = body.size();
    while (rest >= 255) {
        lacing += '\xFF';
        rest -= 255;
    }
    lacing += static_cast<char>(rest);
    return std::string("OggS") + '\0' + '\x02' + littleEndian(granule, 8) + std::string(12, '\0') +
           static_cast<char>(lacing.size()) + lacing + body;
}

struct Ogg {
    std::string id3v2;
    std::uint8_t channels = 2;
    std::uint32_t sampleRate = 44100;
    std::uint32_t nominal = 128000;
    std::string vendor = "Test vendor 1.0";
    std::vector<std::string> comments;
    bool commentHeader = true;
    std::uint64_t lastGranule = 441000;
    std::size_t size = 0; // padded with zero bytes to this size when larger

    std::string identification() const {
        return std::string("\x01vorbis", 7) + littleEndian(0, 4) + static_cast<char>(channels) +
               littleEndian(sampleRate, 4) + littleEndian(0, 4) + littleEndian(nominal, 4) +
               littleEndian(0, 4) + '\xB8' + '\x01';
    }
    std::string commentBlock() const {
        std::string out = std::string("\x03vorbis", 7) + littleEndian(vendor.size(), 4) + vendor +
                          littleEndian(comments.size(), 4);
        for (const std::string& comment : comments)
            out += littleEndian(comment.size(), 4) + comment;
        return out + '\x01';
    }
    std::string bytes() const {
        std::string out = id3v2 + page(identification(), 0) +
                          page(commentHeader ? commentBlock() : std::string("\x05vorbis"), 0);
        const std::string last = page(std::string(100, '\x55'), lastGranule);
        if (out.size() + last.size() < size)
            out.resize(size - last.size(), '\0');
        return out + last;
    }
};

// An Ogg page with every header field given and the lacing values as written, whatever the
// body holds (CRC left zero).
inline std::string rawPage(std::uint8_t headerType, std::uint64_t granule, std::uint32_t serial,
                           const std::string& lacing, const std::string& body) {
    return std::string("OggS") + '\0' + static_cast<char>(headerType) + littleEndian(granule, 8) +
           littleEndian(serial, 4) + littleEndian(0, 4) + littleEndian(0, 4) +
           static_cast<char>(lacing.size()) + lacing + body;
}

// Packets laid into pages of at most `segments` lacing values, as an encoder lays them: a
// packet that does not fit goes on in the next page, which is flagged as continuing it. Every
// page gets `granule`.
inline std::string packetPages(const std::vector<std::string>& packets, std::size_t segments = 255,
                               std::uint32_t serial = 0, std::uint64_t granule = 0) {
    struct Segment {
        std::string bytes;
        bool startsPacket;
    };
    std::vector<Segment> all;
    for (const std::string& packet : packets) {
        std::size_t at = 0;
        do {
            const std::size_t length = std::min<std::size_t>(255, packet.size() - at);
            all.push_back({packet.substr(at, length), at == 0});
            at += length;
            // A packet of a multiple of 255 bytes ends with a segment of 0.
            if (length == 255 && at == packet.size())
                all.push_back({std::string(), false});
        } while (at < packet.size());
    }
    std::string out;
    for (std::size_t first = 0; first < all.size(); first += segments) {
        std::string lacing;
        std::string body;
        for (std::size_t i = first; i < std::min(all.size(), first + segments); ++i) {
            lacing += static_cast<char>(all[i].bytes.size());
            body += all[i].bytes;
        }
        const std::uint8_t type = (first == 0 ? 2 : 0) | (all[first].startsPacket ? 0 : 1);
        out += rawPage(type, granule, serial, lacing, body);
    }
    return out;
}

// An ID3v2.3 tag with `bodySize` zero bytes behind its header.
inline std::string id3v2Tag(std::size_t bodySize) {
    std::string tag = std::string("ID3\x03\x00\x00", 6);
    for (int shift : {21, 14, 7, 0})
        tag += static_cast<char>((bodySize >> shift) & 0x7F);
    return tag + std::string(bodySize, '\0');
}

} // namespace korvane::tags::fixtures

#pragma once

// Small byte builders for the audio reader tests: fixtures are made in the test, byte by byte.

#include "text/CodePages.h"
#include "text/Cp1251.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unistd.h>

namespace korvane::tags::test {

inline std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (const int v : values)
        out.push_back(static_cast<char>(v));
    return out;
}

inline std::string be16(std::uint32_t v) {
    return bytes({int(v >> 8 & 0xFF), int(v & 0xFF)});
}
inline std::string be24(std::uint32_t v) {
    return bytes({int(v >> 16 & 0xFF), int(v >> 8 & 0xFF), int(v & 0xFF)});
}
inline std::string be32(std::uint32_t v) {
    return bytes({int(v >> 24 & 0xFF), int(v >> 16 & 0xFF), int(v >> 8 & 0xFF), int(v & 0xFF)});
}
inline std::string syncsafe(std::uint32_t v) {
    return bytes({int(v >> 21 & 0x7F), int(v >> 14 & 0x7F), int(v >> 7 & 0x7F), int(v & 0x7F)});
}

// UTF-16 code units of a UTF-8 text, surrogate pairs for characters past the basic plane.
inline std::string utf16(std::string_view utf8, bool bigEndian) {
    std::string out;
    const auto unit = [&out, bigEndian](std::uint32_t u) {
        const std::string be = be16(u);
        out += bigEndian ? be : std::string{be[1], be[0]};
    };
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k)
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += length;
        if (code >= 0x10000) {
            unit(0xD800 + ((code - 0x10000) >> 10));
            unit(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            unit(code);
        }
    }
    return out;
}
inline std::string utf16le(std::string_view utf8) {
    return utf16(utf8, false);
}
inline std::string utf16be(std::string_view utf8) {
    return utf16(utf8, true);
}
inline std::string win1251(std::string_view utf8) {
    return cp1251::fromUtf8(utf8);
}
// A UTF-8 text in one of the 8-bit code pages; every character must be in it (basic plane).
inline std::string inCodePage(std::string_view utf8, codepage::Encoding encoding) {
    const codepage::CodePageTable& high = codepage::table(encoding);
    const std::string units = utf16be(utf8);
    std::string out;
    for (std::size_t i = 0; i + 1 < units.size(); i += 2) {
        const auto c = char16_t((static_cast<unsigned char>(units[i]) << 8) |
                                static_cast<unsigned char>(units[i + 1]));
        if (c < 0x80)
            out.push_back(static_cast<char>(c));
        for (std::size_t k = 0; c >= 0x80 && k < high.size(); ++k) {
            if (high[k] == c)
                out.push_back(static_cast<char>(0x80 + k));
        }
    }
    return out;
}

// An ID3v2 header; `size` is the tag size after the header.
inline std::string id3v2Header(int version, int flags, std::uint32_t size) {
    return "ID3" + bytes({version, 0, flags}) + syncsafe(size);
}
inline std::string id3v2Tag(int version, const std::string& frames, int flags = 0) {
    return id3v2Header(version, flags, static_cast<std::uint32_t>(frames.size())) + frames;
}
inline std::string frameV2(std::string_view id, const std::string& data) {
    return std::string(id) + be24(static_cast<std::uint32_t>(data.size())) + data;
}
inline std::string frameV3(std::string_view id, const std::string& data, int flags2 = 0) {
    return std::string(id) + be32(static_cast<std::uint32_t>(data.size())) + bytes({0, flags2}) +
           data;
}
inline std::string frameV4(std::string_view id, const std::string& data, int flags2 = 0) {
    return std::string(id) + syncsafe(static_cast<std::uint32_t>(data.size())) +
           bytes({0, flags2}) + data;
}

// 128 bytes: "TAG", title, artist, album, year, 30 comment bytes, genre.
inline std::string id3v1Tag(std::string_view title, std::string_view artist, std::string_view album,
                            std::string_view year, std::string comment30, int genre) {
    auto field = [](std::string_view text, std::size_t size) {
        std::string out(text.substr(0, size));
        out.resize(size, '\0');
        return out;
    };
    comment30.resize(30, '\0');
    return "TAG" + field(title, 30) + field(artist, 30) + field(album, 30) + field(year, 4) +
           comment30 + bytes({genre});
}

// One MPEG frame: the header and zero bytes up to `length`, with `body` placed after the header.
inline std::string mpegFrame(std::string_view header4, std::size_t length,
                             const std::string& body = {}) {
    std::string frame(header4);
    frame += body;
    frame.resize(length, '\0');
    return frame;
}
// 128 kbit/s, 44100 Hz, MPEG 1 Layer III, joint stereo: 417 bytes without padding.
inline const std::string kFrame128 = bytes({0xFF, 0xFB, 0x90, 0x64});
inline std::string mpegFrames(int count, std::string_view header4 = kFrame128,
                              std::size_t length = 417) {
    std::string out;
    for (int i = 0; i < count; ++i)
        out += mpegFrame(header4, length);
    return out;
}

// A file in the temp folder, removed with the object.
class TempFile {
public:
    explicit TempFile(const std::string& contents, const std::string& suffix = ".mp3")
        : m_path(std::filesystem::temp_directory_path() /
                 ("korvane_tags_" + std::to_string(::getpid()) + "_" + std::to_string(counter()++) +
                  suffix)) {
        std::ofstream(m_path, std::ios::binary) << contents;
    }
    ~TempFile() { std::filesystem::remove(m_path); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::filesystem::path& path() const { return m_path; }

private:
    static int& counter() {
        static int value = 0;
        return value;
    }
    std::filesystem::path m_path;
};

} // namespace korvane::tags::test

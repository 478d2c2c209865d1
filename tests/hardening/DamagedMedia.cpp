#include "DamagedMedia.h"

#include <algorithm>
#include <iterator>
#include <random>
#include <set>

namespace korvane::test {
namespace {

using namespace std::string_view_literals;

// ASF object GUIDs as stored (first three fields little-endian).
constexpr std::string_view kAsfHeader =
    "\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C"sv;
constexpr std::string_view kAsfFileProperties =
    "\xA1\xDC\xAB\x8C\x47\xA9\xCF\x11\x8E\xE4\x00\xC0\x0C\x20\x53\x65"sv;
constexpr std::string_view kAsfStreamProperties =
    "\x91\x07\xDC\xB7\xB7\xA9\xCF\x11\x8E\xE6\x00\xC0\x0C\x20\x53\x65"sv;
constexpr std::string_view kAsfContentDescription =
    "\x33\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C"sv;
constexpr std::string_view kAsfExtendedContent =
    "\x40\xA4\xD0\xD2\x07\xE3\xD2\x11\x97\xF0\x00\xA0\xC9\x5E\xA8\x50"sv;

constexpr int kOccurrences = 3;

int widthOf(FieldKind kind) {
    switch (kind) {
    case FieldKind::U8:
        return 1;
    case FieldKind::LE16:
        return 2;
    case FieldKind::BE24:
        return 3;
    case FieldKind::LE64:
        return 8;
    case FieldKind::Ascii6:
        return 6;
    default:
        return 4;
    }
}

void put(std::string& bytes, std::size_t at, FieldKind kind, std::uint64_t value) {
    const int width = widthOf(kind);
    if (at + static_cast<std::size_t>(width) > bytes.size())
        return;
    switch (kind) {
    case FieldKind::BE24:
    case FieldKind::BE32:
        for (int i = 0; i < width; ++i)
            bytes[at + i] = static_cast<char>(value >> (8 * (width - 1 - i)));
        break;
    case FieldKind::Syncsafe32:
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<char>((value >> (7 * (3 - i))) & 0x7F);
        break;
    case FieldKind::Ascii6: {
        const std::string digits = std::to_string(std::min<std::uint64_t>(value, 999999));
        const std::string padded = std::string(6 - digits.size(), '0') + digits;
        bytes.replace(at, 6, padded);
        break;
    }
    default:
        for (int i = 0; i < width; ++i)
            bytes[at + i] = static_cast<char>(value >> (8 * i));
    }
}

std::vector<std::size_t> occurrences(std::string_view seed, std::string_view marker) {
    std::vector<std::size_t> found;
    for (std::size_t at = seed.find(marker);
         at != std::string_view::npos && found.size() < static_cast<std::size_t>(kOccurrences);
         at = seed.find(marker, at + 1))
        found.push_back(at);
    return found;
}

std::string garbage(std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(count, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random() & 0xFF);
    return bytes;
}

} // namespace

const std::vector<SizeField>& knownSizeFields() {
    static const std::vector<SizeField> fields = {
        // ID3v2: the tag, frames of versions 3 and 4, frames of version 2.
        {"ID3", 6, FieldKind::Syncsafe32},
        {"TIT2", 4, FieldKind::BE32},
        {"TPE1", 4, FieldKind::BE32},
        {"TALB", 4, FieldKind::BE32},
        {"TCON", 4, FieldKind::BE32},
        {"COMM", 4, FieldKind::BE32},
        {"TSSE", 4, FieldKind::BE32},
        {"TYER", 4, FieldKind::BE32},
        {"TT2", 3, FieldKind::BE24},
        {"TP1", 3, FieldKind::BE24},
        // VBR headers and Lyrics3 v2.
        {"Xing", 8, FieldKind::BE32},
        {"Xing", 12, FieldKind::BE32},
        {"Info", 8, FieldKind::BE32},
        {"VBRI", 10, FieldKind::BE32},
        {"VBRI", 14, FieldKind::BE32},
        {"LYRICS200", -6, FieldKind::Ascii6},
        {"LYRICSBEGIN", 14, FieldKind::Ascii6},
        // Ogg pages: granule position, segment count; Vorbis headers: sample rate, vendor
        // length, comment count.
        {"OggS", 6, FieldKind::LE64},
        {"OggS", 26, FieldKind::U8},
        {"\x01vorbis", 12, FieldKind::LE32},
        {"\x03vorbis", 7, FieldKind::LE32},
        {"\x03vorbis", 11, FieldKind::LE32},
        // ASF: object sizes, the header's object count, the content descriptions' lengths.
        {kAsfHeader, 16, FieldKind::LE64},
        {kAsfHeader, 24, FieldKind::LE32},
        {kAsfFileProperties, 16, FieldKind::LE64},
        {kAsfStreamProperties, 16, FieldKind::LE64},
        {kAsfContentDescription, 16, FieldKind::LE64},
        {kAsfContentDescription, 24, FieldKind::LE16},
        {kAsfExtendedContent, 16, FieldKind::LE64},
        {kAsfExtendedContent, 24, FieldKind::LE16},
        // AVI chunks and lists.
        {"RIFF", 4, FieldKind::LE32},
        {"LIST", 4, FieldKind::LE32},
        {"avih", 4, FieldKind::LE32},
        {"strh", 4, FieldKind::LE32},
        {"strf", 4, FieldKind::LE32},
        {"movi", -4, FieldKind::LE32},
        {"idx1", 4, FieldKind::LE32},
        // MP4 boxes: the size in front of the type.
        {"ftyp", -4, FieldKind::BE32},
        {"moov", -4, FieldKind::BE32},
        {"mvhd", -4, FieldKind::BE32},
        {"trak", -4, FieldKind::BE32},
        {"mdia", -4, FieldKind::BE32},
        {"stsd", -4, FieldKind::BE32},
        {"stsz", -4, FieldKind::BE32},
        {"stco", -4, FieldKind::BE32},
        {"mdat", -4, FieldKind::BE32},
        // Matroska: EBML header, Segment, Tracks, Cluster (the first size byte).
        {"\x1A\x45\xDF\xA3", 4, FieldKind::U8},
        {"\x18\x53\x80\x67", 4, FieldKind::U8},
        {"\x16\x54\xAE\x6B", 4, FieldKind::U8},
        {"\x1F\x43\xB6\x75", 4, FieldKind::U8},
        // MPEG program stream pack and sequence headers: picture size and rate bytes.
        {"\x00\x00\x01\xB3"sv, 4, FieldKind::LE32},
        {"\x00\x00\x01\xBA"sv, 4, FieldKind::LE32},
    };
    return fields;
}

std::vector<Damaged> truncations(std::string_view seed, std::size_t everyUpTo) {
    std::set<std::size_t> lengths;
    for (std::size_t n = 0; n < std::min(seed.size(), everyUpTo); ++n)
        lengths.insert(n);
    for (std::size_t n = everyUpTo; n < seed.size(); n += std::max<std::size_t>(n / 16, 1))
        lengths.insert(n);
    for (const SizeField& field : knownSizeFields()) {
        for (const std::size_t at : occurrences(seed, field.marker)) {
            for (const std::size_t n :
                 {at, at + 1, at + field.marker.size(), at + field.marker.size() + 8})
                if (n < seed.size())
                    lengths.insert(n);
        }
    }
    if (!seed.empty())
        lengths.insert(seed.size() - 1);
    std::vector<Damaged> out;
    for (const std::size_t n : lengths)
        out.push_back({"cut to " + std::to_string(n) + " bytes", std::string(seed.substr(0, n))});
    return out;
}

std::vector<Damaged> brokenSizes(std::string_view seed) {
    std::vector<Damaged> out;
    for (const SizeField& field : knownSizeFields()) {
        for (const std::size_t marker : occurrences(seed, field.marker)) {
            if (field.offset < 0 && marker < static_cast<std::size_t>(-field.offset))
                continue;
            const std::size_t at = marker + static_cast<std::size_t>(field.offset);
            if (at + static_cast<std::size_t>(widthOf(field.kind)) > seed.size())
                continue;
            const std::uint64_t rest = seed.size() - at;
            const std::pair<const char*, std::uint64_t> values[] = {
                {"0", 0},
                {"0x7FFFFFFF", 0x7FFFFFFF},
                {"all ones", ~std::uint64_t{0}},
                {"just past the end", rest + 1},
                {"far past the end", rest * 64 + 4096},
            };
            for (const auto& [name, value] : values) {
                std::string bytes(seed);
                put(bytes, at, field.kind, value);
                out.push_back({"size at " + std::to_string(at) + " (marker " +
                                   std::to_string(marker) + ") set to " + name,
                               std::move(bytes)});
            }
        }
    }
    return out;
}

std::vector<Damaged> garbageAfterHeader(std::string_view seed) {
    std::vector<Damaged> out;
    unsigned random = 1;
    for (const std::size_t keep :
         {std::size_t{4}, std::size_t{10}, std::size_t{64}, std::size_t{512}, std::size_t{4096}}) {
        if (keep >= seed.size())
            break;
        const std::size_t rest = seed.size() - keep;
        const std::string head(seed.substr(0, keep));
        out.push_back(
            {"random bytes after " + std::to_string(keep), head + garbage(rest, random++)});
        out.push_back({"0xFF after " + std::to_string(keep), head + std::string(rest, '\xFF')});
        out.push_back({"zeros after " + std::to_string(keep), head + std::string(rest, '\0')});
    }
    out.push_back({"random bytes appended", std::string(seed) + garbage(65536, random++)});
    out.push_back({"random bytes only", garbage(seed.size(), random++)});
    return out;
}

std::vector<Damaged> allDamage(std::string_view seed, std::size_t everyUpTo) {
    std::vector<Damaged> out = truncations(seed, everyUpTo);
    std::vector<Damaged> sizes = brokenSizes(seed);
    std::vector<Damaged> tails = garbageAfterHeader(seed);
    out.insert(out.end(), std::make_move_iterator(sizes.begin()),
               std::make_move_iterator(sizes.end()));
    out.insert(out.end(), std::make_move_iterator(tails.begin()),
               std::make_move_iterator(tails.end()));
    return out;
}

} // namespace korvane::test

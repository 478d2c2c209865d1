#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Damaged copies of a good media file: what a collector's disk holds after an interrupted copy,
// a bad sector or a tool that wrote half a header.
namespace korvane::test {

struct Damaged {
    std::string what;
    std::string bytes;
};

// How a size or count field is stored.
enum class FieldKind { U8, LE16, LE32, LE64, BE24, BE32, Syncsafe32, Ascii6 };

// A size field found by a marker: the field starts `offset` bytes from the marker's first byte
// (negative for a box size in front of its type).
struct SizeField {
    std::string_view marker;
    int offset;
    FieldKind kind;
};

// The size fields of the formats Korvane reads: ID3v2 and its frames, Xing, VBRI and Lyrics3,
// Ogg pages and Vorbis headers, ASF objects, AVI chunks, MP4 boxes and Matroska elements.
const std::vector<SizeField>& knownSizeFields();

// The seed cut at many lengths: every length up to `everyUpTo`, then fewer and fewer, and just
// before and after every marker.
std::vector<Damaged> truncations(std::string_view seed, std::size_t everyUpTo);

// Every known size field of the seed (its first few occurrences) set to 0, 0x7FFFFFFF, all ones,
// just past the end of the file and far past it.
std::vector<Damaged> brokenSizes(std::string_view seed);

// A valid start followed by garbage instead of the rest: random bytes, 0xFF and zeros, after
// the first 4, 10, 64, 512 and 4096 bytes; and the whole seed with garbage appended.
std::vector<Damaged> garbageAfterHeader(std::string_view seed);

// All of the above.
std::vector<Damaged> allDamage(std::string_view seed, std::size_t everyUpTo);

} // namespace korvane::test

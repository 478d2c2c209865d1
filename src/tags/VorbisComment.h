#pragma once

#include "tags/AudioProperties.h"
#include "tags/TagText.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A Vorbis comment block, as Ogg Vorbis, Opus and FLAC store their tags: a vendor string, a
// count and that many NAME=value items, each behind a 32-bit little-endian length.
namespace korvane::tags {

struct VorbisComment {
    // Views into the parsed bytes, as stored.
    std::string_view vendor;
    std::vector<std::string_view> items;

    // The value of the first item of that name (ASCII letters in any case) that is not blank,
    // trimmed, as UTF-8 (EightBitTexts::decodeUtf8); empty when there is none. The first is the
    // main one: a file with two ARTIST items names two artists.
    std::string value(std::string_view name, EightBitTexts& eightBit) const;
};

// The block at the start of `body`. A length that runs past the end stops the walk, keeping the
// items before it; a count larger than the bytes left can hold costs no more than those bytes.
VorbisComment parseVorbisComment(std::string_view body);

struct CommentField {
    std::string_view name;
    std::string_view value;
};
// The tags the album details show: artist (ARTIST, else ALBUMARTIST, else PERFORMER), album,
// year (of DATE), genre and comment (COMMENT, else DESCRIPTION).
void applyVorbisComment(const VorbisComment& comment, AudioProperties& properties,
                        EightBitTexts& eightBit);

// An item split at its first "="; nothing when it has none or it starts with "=".
std::optional<CommentField> splitComment(std::string_view item);
// True when the names are equal with ASCII letters compared in any case.
bool sameCommentName(std::string_view name, std::string_view expected);

} // namespace korvane::tags

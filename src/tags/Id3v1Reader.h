#pragma once

#include "tags/ByteSource.h"
#include "tags/TagText.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace korvane::tags {

// The 128-byte ID3v1 tag (versions 1.0 and 1.1) at the end of a file and a Lyrics3 v2 block in
// front of it. Texts come out as UTF-8 (EightBitTexts); the short fields of the tag are read in
// one code page unless a field says clearly otherwise.
class Id3v1Reader {
public:
    explicit Id3v1Reader(codepage::Choice choice = codepage::Choice::Auto) : eightBit(choice) {}
    void reset() { *this = Id3v1Reader(eightBit.choice()); }
    // Read when the file ends in a tag or a Lyrics3 block; not this format without either.
    ReadResult load(const std::filesystem::path& fileName);
    ReadResult load(ByteSource& source);

    // Store the text (stored bytes) without trailing blanks, as UTF-8; the long field keeps it
    // when it exceeds 30 bytes.
    void setTitle(std::string_view text);
    void setArtist(std::string_view text);
    void setAlbum(std::string_view text);
    void setComment(std::string_view text);
    // Trailing blanks removed, then at most 4 characters.
    void setYear(std::string_view text);

    const std::string& fullArtist() const { return longArtist.empty() ? artist : longArtist; }
    const std::string& fullAlbum() const { return longAlbum.empty() ? album : longAlbum; }
    std::string genreName() const;
    std::int64_t lyricsTailSize() const { return lyricsSize > 0 ? lyricsSize + 15 : 0; }
    // Bytes at the end of the file that are not audio: the Lyrics3 block and the tag.
    std::int64_t tailSize() const { return lyricsTailSize() + (exists ? 128 : 0); }

    bool exists = false;
    std::uint8_t version = 1; // 1 = ID3v1.0, 2 = ID3v1.1
    std::string title;
    std::string artist;
    std::string album;
    std::string year;
    std::string comment;
    std::uint8_t track = 0;
    std::uint8_t genreCode = 255;
    bool lyricsFound = false;
    std::int64_t lyricsSize = 0;
    std::string longArtist;
    std::string longAlbum;
    std::string longTitle;
    std::string longComment;
    std::string image;
    std::string author;
    std::string lyrics;
    EightBitTexts eightBit;

private:
    ReadResult parse(ByteSource& source);
    void readLyricsFields(ByteSource& source, std::int64_t begin, std::int64_t end);
};

// The name of an ID3v1 genre code; empty from 192 up.
std::string_view id3v1GenreName(unsigned code);

// An ID3v2 content type with its genre references translated: "(17)" and a bare "17" give the
// name of genre 17, "(RX)" and "(CR)" give "Remix" and "Cover", "(17)Text" gives Text. A number
// that names no genre ("(255)", "(192)") gives no genre. A text whose parentheses are not a
// leading reference stays as written.
std::string contentTypeText(std::string_view text);

} // namespace korvane::tags

#pragma once

#include "tags/ByteSource.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace korvane::tags {

// The 128-byte ID3v1 tag (versions 1.0 and 1.1) at the end of a file and a Lyrics3 v2 block in
// front of it. Texts are 8-bit Windows-1251 bytes as stored.
class TID3v1 {
public:
    void Reset() { *this = TID3v1(); }
    // False only when the file cannot be opened or a read fails; a file without a tag gives true.
    bool Load(const std::filesystem::path& fileName);
    bool Load(ByteSource& source);

    // Store the text without trailing blanks; the long field keeps it when it exceeds 30
    // characters.
    void setTitle(std::string_view text);
    void setArtist(std::string_view text);
    void setAlbum(std::string_view text);
    void setComment(std::string_view text);
    // Trailing blanks removed, then at most 4 characters.
    void setYear(std::string_view text);

    const std::string& FullArtist() const { return LongArtist.empty() ? Artist : LongArtist; }
    const std::string& FullAlbum() const { return LongAlbum.empty() ? Album : LongAlbum; }
    std::string GenreName() const;
    std::int64_t LyricsTailSize() const { return LyricsSize > 0 ? LyricsSize + 15 : 0; }
    // Bytes at the end of the file that are not audio: the Lyrics3 block and the tag.
    std::int64_t TailSize() const { return LyricsTailSize() + (Exists ? 128 : 0); }

    bool Exists = false;
    std::uint8_t Version = 1; // 1 = ID3v1.0, 2 = ID3v1.1
    std::string Title;
    std::string Artist;
    std::string Album;
    std::string Year;
    std::string Comment;
    std::uint8_t Track = 0;
    std::uint8_t GenreCode = 255;
    bool LyricsFound = false;
    std::int64_t LyricsSize = 0;
    std::string LongArtist;
    std::string LongAlbum;
    std::string LongTitle;
    std::string LongComment;
    std::string Image;
    std::string Author;
    std::string Lyrics;

private:
    void readLyricsFields(ByteSource& source, std::int64_t begin, std::int64_t end);
};

// The name of an ID3v1 genre code; empty from 148 up.
std::string_view id3v1GenreName(unsigned code);

} // namespace korvane::tags

#include "tags/Id3v1Reader.h"

#include "tags/TagText.h"

#include <array>
#include <memory>
#include <optional>
#include <utility>

namespace korvane::tags {
namespace {

// Codes 0 to 191 (79 and up are the Winamp extensions that taggers write today); the comment
// ending a row is the code of its first name.
// clang-format off
constexpr std::array<std::string_view, 192> kGenreNames = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", // 0
    "Hip-Hop", "Jazz", "Metal", "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", // 7
    "Reggae", "Rock", "Techno", "Industrial", "Alternative", "Ska", "Death Metal", // 16
    "Pranks", "Soundtrack", "Euro-Techno", "Ambient", "Trip-Hop", "Vocal", // 23
    "Jazz+Funk", "Fusion", "Trance", "Classical", "Instrumental", "Acid", "House", // 29
    "Game", "Sound Clip", "Gospel", "Noise", "AlternRock", "Bass", "Soul", "Punk", // 36
    "Space", "Meditative", "Instrumental Pop", "Instrumental Rock", "Ethnic", // 44
    "Gothic", "Darkwave", "Techno-Industrial", "Electronic", "Pop-Folk", // 49
    "Eurodance", "Dream", "Southern Rock", "Comedy", "Cult", "Gangsta", "Top 40", // 54
    "Christian Rap", "Pop/Funk", "Jungle", "Native American", "Cabaret", "New Wave", // 61
    "Psychadelic", "Rave", "Showtunes", "Trailer", "Lo-Fi", "Tribal", "Acid Punk", // 67
    "Acid Jazz", "Polka", "Retro", "Musical", "Rock & Roll", "Hard Rock", "Folk", // 74
    "Folk-Rock", "National Folk", "Swing", "Fast Fusion", "Bebob", "Latin", // 81
    "Revival", "Celtic", "Bluegrass", "Avantgarde", "Gothic Rock", // 87
    "Progressive Rock", "Psychedelic Rock", "Symphonic Rock", "Slow Rock", // 92
    "Big Band", "Chorus", "Easy Listening", "Acoustic", "Humour", "Speech", // 96
    "Chanson", "Opera", "Chamber Music", "Sonata", "Symphony", "Booty Bass", // 102
    "Primus", "Porn Groove", "Satire", "Slow Jam", "Club", "Tango", "Samba", // 108
    "Folklore", "Ballad", "Power Ballad", "Rhythmic Soul", "Freestyle", "Duet", // 115
    "Punk Rock", "Drum Solo", "A capella", "Euro-House", "Dance Hall", "Goa", // 121
    "Drum & Bass", "Club-House", "Hardcore", "Terror", "Indie", "BritPop", // 127
    "Negerpunk", "Polsk Punk", "Beat", "Christian Gangsta Rap", "Heavy Metal", // 133
    "Black Metal", "Crossover", "Contemporary Christian", "Christian Rock", // 138
    "Merengue", "Salsa", "Thrash Metal", "Anime", "JPop", "Synthpop", // 142
    "Abstract", "Art Rock", "Baroque", "Bhangra", "Big Beat", "Breakbeat", // 148
    "Chillout", "Downtempo", "Dub", "EBM", "Eclectic", "Electro", // 154
    "Electroclash", "Emo", "Experimental", "Garage", "Global", "IDM", // 160
    "Illbient", "Industro-Goth", "Jam Band", "Krautrock", "Leftfield", "Lounge", // 166
    "Math Rock", "New Romantic", "Nu-Breakz", "Post-Punk", "Post-Rock", // 172
    "Psytrance", "Shoegaze", "Space Rock", "Trop Rock", "World Music", // 177
    "Neoclassical", "Audiobook", "Audio Theatre", "Neue Deutsche Welle", // 182
    "Podcast", "Indie Rock", "G-Funk", "Dubstep", "Garage Rock", "Psybient", // 186
};
// clang-format on

constexpr std::int64_t kTagSize = 128;
constexpr std::int64_t kTrailerSize = 15; // six size digits and "LYRICS200"
constexpr std::string_view kLyricsBegin = "LYRICSBEGIN";
constexpr std::size_t kLongLimit = 30;

// A fixed-size field: zero-terminated, padded with zeros or blanks.
std::string_view fieldText(std::string_view bytes) {
    return trimRightBlanks(untilZero(bytes));
}

// The long field holds texts of more than 30 stored bytes (Lyrics3 fields).
void storeWithLong(EightBitTexts& eightBit, std::string& field, std::string& longField,
                   std::string_view text) {
    const std::string_view stored = trimRightBlanks(text);
    field = eightBit.decode(stored);
    if (stored.size() > kLongLimit)
        longField = field;
    else
        longField.clear();
}

// Lyrics3 lyrics use CR or CR LF line ends; both become CR LF.
std::string normaliseLineEnds(std::string_view text) {
    return replaceAll(replaceAll(trimBlanks(text), "\r", "\r\n"), "\r\n\n", "\r\n");
}

} // namespace

std::string_view id3v1GenreName(unsigned code) {
    return code < kGenreNames.size() ? kGenreNames[code] : std::string_view();
}

namespace {

// A genre code of one to three digits naming one of the 192 genres.
std::optional<std::string_view> genreByNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 3 ||
        digits.find_first_not_of("0123456789") != digits.npos)
        return std::nullopt;
    const std::string_view name = id3v1GenreName(static_cast<unsigned>(*parseDecimal(digits)));
    return name.empty() ? std::nullopt : std::optional(name);
}

// The name of a reference "(17)", "(RX)" or "(CR)" at the start of the text, and its length.
// A number that names no genre ("(255)", the ID3v1 code for none) is a reference to nothing:
// its name is empty.
std::optional<std::pair<std::string_view, std::size_t>> leadingReference(std::string_view text) {
    if (text.size() < 3 || text[0] != '(' || text[1] == '(')
        return std::nullopt;
    const std::size_t close = text.find(')');
    if (close == std::string_view::npos)
        return std::nullopt;
    const std::string_view inner = text.substr(1, close - 1);
    std::optional<std::string_view> name = genreByNumber(inner);
    if (!name && !inner.empty() && inner.find_first_not_of("0123456789") == inner.npos)
        name = std::string_view();
    if (inner == "RX")
        name = "Remix";
    else if (inner == "CR")
        name = "Cover";
    if (!name)
        return std::nullopt;
    return std::pair(*name, close + 1);
}

} // namespace

std::string contentTypeText(std::string_view text) {
    if (const auto name = genreByNumber(text))
        return std::string(*name);
    std::string_view first;
    std::string_view rest = text;
    bool referenced = false;
    while (const auto reference = leadingReference(rest)) {
        if (first.empty())
            first = reference->first;
        referenced = true;
        rest.remove_prefix(reference->second);
    }
    if (!referenced)
        return std::string(text);
    rest = trimBlanks(rest);
    if (rest.empty())
        return std::string(first);
    // "((" escapes a text that begins with a parenthesis.
    if (rest.substr(0, 2) == "((")
        rest.remove_prefix(1);
    return std::string(rest);
}

std::string Id3v1Reader::genreName() const {
    return std::string(id3v1GenreName(genreCode));
}

void Id3v1Reader::setTitle(std::string_view text) {
    storeWithLong(eightBit, title, longTitle, text);
}
void Id3v1Reader::setArtist(std::string_view text) {
    storeWithLong(eightBit, artist, longArtist, text);
}
void Id3v1Reader::setAlbum(std::string_view text) {
    storeWithLong(eightBit, album, longAlbum, text);
}
void Id3v1Reader::setComment(std::string_view text) {
    storeWithLong(eightBit, comment, longComment, text);
}
void Id3v1Reader::setYear(std::string_view text) {
    year = eightBit.decode(trimRightBlanks(text).substr(0, 4));
}

ReadResult Id3v1Reader::load(const std::filesystem::path& fileName) {
    return loadFromFile(*this, fileName);
}

ReadResult Id3v1Reader::load(ByteSource& source) {
    return guardReads([&] { return parse(source); });
}

ReadResult Id3v1Reader::parse(ByteSource& source) {
    reset();
    // A Lyrics3 block without the tag counts: taggers wrote them apart.
    const auto found = [this] {
        return exists || lyricsFound ? ReadResult::read() : ReadResult::notThisFormat();
    };
    const std::int64_t fileSize = source.size();
    if (fileSize >= kTagSize) {
        const std::string tag = source.read(fileSize - kTagSize, kTagSize);
        const ByteView view(tag);
        if (tag.size() == kTagSize && view.startsWith(0, "TAG")) {
            exists = true;
            const std::uint8_t b125 = view.u8(125);
            const std::uint8_t b126 = view.u8(126);
            const bool v11 = (b125 == 0 && b126 != 0) || (b125 == 0x20 && b126 != 0x20);
            version = v11 ? 2 : 1;
            const std::array<std::string_view, 4> texts = {
                fieldText(view.bytes(3, 30)), fieldText(view.bytes(33, 30)),
                fieldText(view.bytes(63, 30)), fieldText(view.bytes(97, v11 ? 28 : 30))};
            eightBit.setTagTexts(texts);
            setTitle(fieldText(view.bytes(3, 30)));
            setArtist(fieldText(view.bytes(33, 30)));
            setAlbum(fieldText(view.bytes(63, 30)));
            setYear(untilZero(view.bytes(93, 4)));
            setComment(fieldText(view.bytes(97, v11 ? 28 : 30)));
            if (v11)
                track = b126;
            genreCode = view.u8(127);
        }
    }

    const std::int64_t trailerOffset = fileSize - kTrailerSize - (exists ? kTagSize : 0);
    if (trailerOffset < 0)
        return found();
    const std::string trailer = source.read(trailerOffset, kTrailerSize);
    if (!ByteView(trailer).startsWith(6, "LYRICS200"))
        return found();
    const auto size = parseDecimal(trailer.substr(0, 6));
    lyricsSize = size && *size > 0 ? *size : 0;
    if (lyricsSize == 0)
        return found();
    const std::int64_t begin = trailerOffset - lyricsSize;
    if (begin >= 0 && source.read(begin, kLyricsBegin.size()) == kLyricsBegin) {
        lyricsFound = true;
        readLyricsFields(source, begin + static_cast<std::int64_t>(kLyricsBegin.size()),
                         trailerOffset);
    } else {
        lyricsSize = 0;
    }
    return found();
}

// Fields of a 3-character id and a 5-digit size; the walk stays inside the block, so a size
// that claims more than the block holds cannot pull the trailer or the tag into a field.
void Id3v1Reader::readLyricsFields(ByteSource& source, std::int64_t begin, std::int64_t end) {
    std::int64_t pos = begin;
    while (end - pos >= 8) {
        const std::string header = source.read(pos, 8);
        if (header.size() < 8)
            return;
        const std::string_view digits = std::string_view(header).substr(3, 5);
        const auto size = parseDecimal(digits);
        if (!size || *size < 0 || digits.front() == '+' || digits.front() == '-')
            return;
        pos += 8;
        const std::int64_t length = std::min(*size, end - pos);
        const std::string data = source.read(pos, static_cast<std::size_t>(length));
        pos += length;
        const std::string_view id = std::string_view(header).substr(0, 3);
        const std::string_view trimmed = trimBlanks(data);
        if (id == "IND")
            continue;
        if (id == "LYR")
            lyrics = eightBit.decode(normaliseLineEnds(data));
        else if (id == "INF")
            setComment(trimmed);
        else if (id == "AUT")
            author = eightBit.decode(trimmed);
        else if (id == "EAL")
            setAlbum(trimmed);
        else if (id == "EAR")
            setArtist(trimmed);
        else if (id == "ETT")
            setTitle(trimmed);
        else if (id == "IMG")
            image = eightBit.decode(data);
        else
            return;
    }
}

} // namespace korvane::tags

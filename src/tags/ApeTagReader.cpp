#include "tags/ApeTagReader.h"

#include "tags/TagText.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace korvane::tags {
namespace {

constexpr std::int64_t kFooterSize = 32;
constexpr std::int64_t kId3v1Size = 128;
constexpr std::string_view kPreamble = "APETAGEX";
constexpr std::uint32_t kHasHeader = 0x80000000u;
// Item flags bits 1-2: 0 UTF-8 text, 1 binary, 2 a link (text too), 3 reserved.
constexpr std::uint32_t kItemKind = 0x6;
constexpr std::uint32_t kBinaryItem = 0x2;
// Keys are 2 to 255 ASCII characters; real tags hold a few dozen items; longer texts are cut.
constexpr std::size_t kKeyLimit = 256;
constexpr std::uint32_t kItemLimit = 4096;
constexpr std::size_t kValueLimit = 4096;

enum Field {
    FieldArtist,
    FieldAlbumArtist,
    FieldAlbum,
    FieldYear,
    FieldDate,
    FieldGenre,
    FieldComment,
    FieldCount
};
struct Key {
    std::string_view name; // in lower case: keys compare without regard to case
    Field field;
};
// FFmpeg writes the year as "date" and the album artist as "album_artist"; taggers write
// "Album Artist" or "AlbumArtist".
constexpr std::array<Key, 9> kKeys = {{{"artist", FieldArtist},
                                       {"album artist", FieldAlbumArtist},
                                       {"albumartist", FieldAlbumArtist},
                                       {"album_artist", FieldAlbumArtist},
                                       {"album", FieldAlbum},
                                       {"year", FieldYear},
                                       {"date", FieldDate},
                                       {"genre", FieldGenre},
                                       {"comment", FieldComment}}};

int fieldOf(std::string_view key) {
    std::string lower(key);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    const auto found = std::find_if(kKeys.begin(), kKeys.end(),
                                    [&lower](const Key& entry) { return entry.name == lower; });
    return found == kKeys.end() ? -1 : static_cast<int>(found->field);
}

} // namespace

ReadResult ApeTagReader::load(const std::filesystem::path& fileName) {
    return loadFromFile(*this, fileName);
}

ReadResult ApeTagReader::load(ByteSource& source) {
    return guardReads([&] { return parse(source); });
}

ReadResult ApeTagReader::parse(ByteSource& source) {
    reset();
    const std::int64_t fileSize = source.size();
    if (fileSize >= kId3v1Size &&
        ByteView(source.read(fileSize - kId3v1Size, 3)).startsWith(0, "TAG"))
        id3v1Size = kId3v1Size;
    const std::int64_t footerStart = fileSize - id3v1Size - kFooterSize;
    if (footerStart < 0)
        return ReadResult::notThisFormat();
    const std::string footerBytes = source.read(footerStart, kFooterSize);
    const ByteView footer(footerBytes);
    if (!footer.startsWith(0, kPreamble))
        return ReadResult::notThisFormat();
    const std::uint32_t tagVersion = footer.le32(8);
    const std::int64_t bodySize = footer.le32(12); // items and footer
    const std::uint32_t flags = footer.le32(20);
    const std::int64_t headerSize = (tagVersion >= 2000 && (flags & kHasHeader)) ? kFooterSize : 0;
    const std::int64_t itemsStart = footerStart + kFooterSize - bodySize;
    if (bodySize < kFooterSize || itemsStart - headerSize < 0)
        return ReadResult::damaged("the tag is larger than the file");

    exists = true;
    version = tagVersion;
    itemCount = footer.le32(16);
    start = itemsStart - headerSize;
    size = bodySize + headerSize;

    std::array<std::string, FieldCount> stored;
    std::int64_t position = itemsStart;
    // Each item is at least a 8-byte head, a one-byte key and its terminator: the walk ends
    // at the footer whatever the count and the sizes claim.
    for (std::uint32_t i = 0; i < std::min(itemCount, kItemLimit) && position < footerStart; ++i) {
        const std::string head = source.read(position, 8 + kKeyLimit);
        const ByteView view(head);
        const std::uint32_t valueSize = view.le32(0);
        const std::uint32_t itemFlags = view.le32(4);
        const std::string_view rest = view.bytes(8, kKeyLimit);
        const std::size_t keyEnd = rest.find('\0');
        if (keyEnd == std::string_view::npos || keyEnd == 0)
            break;
        const std::int64_t valueStart = position + 8 + static_cast<std::int64_t>(keyEnd) + 1;
        if (valueSize > footerStart - valueStart)
            break;
        const int field = fieldOf(rest.substr(0, keyEnd));
        if (field >= 0 && (itemFlags & kItemKind) != kBinaryItem && stored[field].empty()) {
            const std::string value =
                source.read(valueStart, std::min<std::size_t>(valueSize, kValueLimit));
            // Several values are separated by zero bytes: the first one stands for the item.
            stored[field] = trimBlanks(untilZero(value));
        }
        position = valueStart + valueSize;
    }
    const std::vector<std::string_view> texts(stored.begin(), stored.end());
    eightBit.setTagTexts(texts);
    std::array<std::string, FieldCount> fields;
    for (std::size_t i = 0; i < fields.size(); ++i)
        fields[i] = eightBit.decode(stored[i]);
    albumArtist = fields[FieldAlbumArtist];
    // The album artist and the date stand in for what the tag lacks, as in the other formats.
    artist = fields[FieldArtist].empty() ? albumArtist : fields[FieldArtist];
    album = fields[FieldAlbum];
    year = fields[FieldYear].empty() ? fields[FieldDate] : fields[FieldYear];
    genre = fields[FieldGenre];
    comment = fields[FieldComment];
    return ReadResult::read();
}

std::int64_t trailingTagsSize(const ApeTagReader& tag) {
    return tag.id3v1Size + tag.size;
}

} // namespace korvane::tags
